// The settings boxes show what the table holds and sends: a received value is shown whole
// whatever its length, each box is wide enough for the longest value it takes, and typing stops
// where the box's length ends.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

#include "../support/bytes.h"
#include "net/table_requests.h"
#include "ui/game_set_dialog.h"
#include "window_fixture.h"

namespace xq {
namespace {

using xq::test::Text;

// Where the text cursor is drawn, after the box has been painted with it at this position.
int CursorX(QLineEdit* edit, int position) {
    edit->setCursorPosition(position);
    edit->grab();  // painting is where the box scrolls its text to keep the cursor in view
    return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
}

// The box shows its whole text: its width fits the area the style gives the text, and the cursor
// after the last character stands a whole text's width right of the cursor before the first, so
// nothing has scrolled out of view.
void ExpectShownWhole(QLineEdit* edit) {
    const QString text = edit->text();
    const int advance = edit->fontMetrics().horizontalAdvance(text);
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QRect area = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    EXPECT_LE(advance, area.width()) << text.toStdString() << " in " << edit->width() << " px";
    const int start = CursorX(edit, 0);
    EXPECT_NEAR(CursorX(edit, static_cast<int>(text.size())) - start, advance, 1)
        << text.toStdString() << " scrolled in " << edit->width() << " px";
}

const QString kOwnerStage = QStringLiteral("1`0`0`1`0`1`0`");
const QString kAgreementStage = QStringLiteral("1`1`0`0`0`1`1`");

// The escape penalty (box 1, 0 to 50) as received: n characters that read as 5.
QString Penalty(int n) {
    return QString(n - 1, u'0') + u'5';
}
QString Terms(const QString& penalty) {
    return QStringLiteral("100`1000`10`") + penalty + QStringLiteral("`50`0`0`30`0`0`30");
}

TEST(GameSetBoxes, AReceivedValueIsShownWholeAndIsWhatIsSentOrRefused) {
    for (const bool owner : {true, false}) {
        for (int n = 1; n <= 12; ++n) {
            SCOPED_TRACE((owner ? "owner form, " : "agreement form, ") + std::to_string(n));
            WindowFixture f;
            f.window->show();
            Table& table = f.window->table();
            const QString terms = Terms(Penalty(n));
            table.DoRoomMsg(Text({111, 0}, (owner ? kOwnerStage : kAgreementStage) + terms));
            GameSetDialog* dialog = f.window->gameSetDialog();
            ASSERT_NE(dialog, nullptr);
            QLineEdit* box = dialog->box(1);
            EXPECT_EQ(box->text(), Penalty(n));
            EXPECT_EQ(table.gameSet.txtUser[1], box->text());
            ExpectShownWhole(box);

            QString warning;
            dialog->showWarning = [&](const QString& w) { warning = w; };
            dialog->button(0)->click();
            if (!owner) {
                // Agreeing agrees to the terms as shown.
                ASSERT_EQ(f.sent.size(), 1u);
                EXPECT_EQ(f.sent[0], tablemsg::encode(tablemsg::HandUp{"红方"}));
            } else if (n <= 8) {
                ASSERT_EQ(f.sent.size(), 1u);
                EXPECT_EQ(f.sent[0], tablemsg::encode(tablemsg::OwnerSettings{"红方", terms}));
            } else {
                EXPECT_EQ(warning, "每个输入区域的数字不能超过 8 位！");
                EXPECT_TRUE(f.sent.empty());
            }
        }
    }
}

TEST(GameSetBoxes, EachBoxShowsTheLongestValueItTakes) {
    WindowFixture f;
    f.window->show();
    Table& table = f.window->table();
    table.DoRoomMsg(Text({111, 0}, kOwnerStage + Terms(Penalty(10))));
    GameSetDialog* dialog = f.window->gameSetDialog();
    ASSERT_NE(dialog, nullptr);
    const QFontMetrics metrics(dialog->box(0)->font());
    QChar widest = u'0';
    for (char16_t c = u'0'; c <= u'9'; ++c) {
        if (metrics.horizontalAdvance(QChar(c)) > metrics.horizontalAdvance(widest)) widest = c;
    }
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        QLineEdit* box = dialog->box(i);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        // Typing stops at the box's length: 8 digits, or the length of a longer value received.
        const int length = i == 1 ? 10 : 8;
        QTest::keyClicks(box, QString(12, widest));
        EXPECT_EQ(box->text(), QString(length, widest));
        EXPECT_EQ(table.gameSet.txtUser[static_cast<std::size_t>(i)], box->text());
        ExpectShownWhole(box);
        // Shortened, it still takes no more than it had.
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, QString(3, widest));
        EXPECT_EQ(box->text().size(), length);
        EXPECT_EQ(table.gameSet.txtUser[static_cast<std::size_t>(i)], box->text());
    }
}

}  // namespace
}  // namespace xq
