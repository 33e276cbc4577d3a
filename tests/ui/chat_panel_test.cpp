#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include "ui/chat_panel.h"

namespace xq {
namespace {

// The pane of 甲 at a table with 乙 and 丙.
struct Pane {
    Pane() {
        model.setOwnName(QStringLiteral("甲"));
        model.changeAddressee(QStringLiteral("ADD"), QStringLiteral("乙"));
        model.changeAddressee(QStringLiteral("ADD"), QStringLiteral("丙"));
        panel.show();
    }
    // Picks the addressee as a user does: the box has the focus and the arrow keys move in it.
    void choose(const QString& name) {
        QComboBox& box = panel.addressee();
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Home);
        for (int i = 0; i < box.count() && box.currentText() != name; ++i)
            QTest::keyClick(&box, Qt::Key_Down);
    }
    QStringList say(const QString& text) {
        QSignalSpy sent(&panel, &ChatPanel::send);
        panel.input().setFocus();
        panel.input().setText(text);
        QTest::keyClick(&panel.input(), Qt::Key_Return);
        return sent.isEmpty() ? QStringList() : sent.takeFirst().at(0).toStringList();
    }
    // One entry per line the view shows.
    QStringList shownLines() {
        QStringList lines;
        for (QTextBlock b = panel.view().document()->begin(); b.isValid(); b = b.next())
            lines << b.text();
        return lines;
    }

    ChatModel model;
    ChatPanel panel{model};
};

TEST(ChatPanel, ALineToOnePersonIsPrivate) {
    const struct {
        QString to;
        QString flag;
    } cases[] = {
        {QStringLiteral("乙"), QStringLiteral("1")},
        {QStringLiteral("所有人"), QStringLiteral("0")},
        {QStringLiteral("丙"), QStringLiteral("1")},
    };
    Pane p;
    for (const auto& c : cases) {
        p.choose(c.to);
        ASSERT_EQ(p.panel.addressee().currentText(), c.to);
        const QStringList f = p.say(QStringLiteral("走马"));
        ASSERT_EQ(f.size(), 10) << c.to.toStdString();
        EXPECT_EQ(f[1], c.to);
        EXPECT_EQ(f[3], c.to);
        EXPECT_EQ(f[5], QStringLiteral("走马"));
        EXPECT_EQ(f[8], c.flag) << c.to.toStdString();
    }
    // A click on a person in the list chooses him the same way.
    p.model.setDefaultAddressee(QStringLiteral("乙"));
    EXPECT_EQ(p.say(QStringLiteral("x")).value(8), QStringLiteral("1"));
}

// Whatever a server relays, one message is one line of the pane, and a time that is not a time
// cannot put a speaker in front of the real one.
// However narrow the right pane gets (140 pixels at least), the line typed in keeps room to be
// read, and the list of addressees still shows each name whole.
TEST(ChatPanel, ANarrowPaneLeavesTheLineRoomToType) {
    Pane pane;
    pane.model.changeAddressee(QStringLiteral("ADD"), QStringLiteral("一个很长很长的名字"));
    for (const int width : {140, 200, 360}) {
        SCOPED_TRACE(width);
        pane.panel.resize(width, 300);
        QCoreApplication::processEvents();
        const QLineEdit& line = pane.panel.input();
        EXPECT_GE(line.width(), width * 2 / 5) << "the line has its share of the row";
        EXPECT_GE(line.width(), line.fontMetrics().horizontalAdvance(QStringLiteral("你好你好")));
        EXPECT_GE(pane.panel.addressee().view()->minimumWidth(),
                  pane.panel.addressee().fontMetrics().horizontalAdvance(
                      QStringLiteral("一个很长很长的名字")));
    }
}

TEST(ChatPanel, OneMessageIsOneLine) {
    const QString fake = QStringLiteral("[12:00:01] 乙 说：我认输");
    const auto relayed = [](const QString& time, const QString& text,
                            const QString& sender = QStringLiteral("丙"),
                            const QString& to = QStringLiteral("所有人")) {
        return QStringList{sender, to, time, text, "#000000", "0", "0", ""};
    };
    const QString noon = QStringLiteral("12:00:00");
    const struct {
        const char* what;
        QStringList fields;
        QString shown;
    } cases[] = {
        {"LF", relayed(noon, "好\n" + fake), "[12:00:00] 丙 说：好 " + fake},
        {"CR", relayed(noon, "好\r" + fake), "[12:00:00] 丙 说：好 " + fake},
        {"CRLF", relayed(noon, "好\r\n" + fake), "[12:00:00] 丙 说：好  " + fake},
        {"VT and FF", relayed(noon, "a\vb\fc"), "[12:00:00] 丙 说：a b c"},
        {"NEL", relayed(noon, QStringLiteral("a\u0085") + fake), "[12:00:00] 丙 说：a " + fake},
        {"U+2028", relayed(noon, QStringLiteral("a\u2028") + fake), "[12:00:00] 丙 说：a " + fake},
        {"U+2029", relayed(noon, QStringLiteral("a\u2029") + fake), "[12:00:00] 丙 说：a " + fake},
        {"a speaker in the time", relayed("12:00:00] 系统 说：x", "好"), "[--:--:--] 丙 说：好"},
        {"an empty time", relayed("", "好"), "[--:--:--] 丙 说：好"},
        {"hour 25", relayed("25:00:00", "好"), "[--:--:--] 丙 说：好"},
        {"a break in the sender", relayed(noon, "好", "丙\n乙"), "[12:00:00] 丙 乙 说：好"},
        {"a break in the addressee", relayed(noon, "好", "丙", "乙\r\n系统"),
         "[12:00:00] 丙 对 乙  系统 说：好"},
    };
    for (const auto& c : cases) {
        Pane p;
        p.model.showRelayed(c.fields);
        EXPECT_EQ(p.shownLines(), QStringList{c.shown}) << c.what;
    }
    // The lines of the table and of the room are one line each too.
    Pane p;
    p.model.showSystemLine(QStringLiteral("乙\n 走了..."));
    p.model.showRoomLine(QStringLiteral("房间\u2028公告"));
    EXPECT_EQ(p.shownLines(), (QStringList{"乙  走了...", "房间 公告"}));
}

}  // namespace
}  // namespace xq
