#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "ui/plain_message.h"

namespace xq {
namespace {

// Reads the text label of the next message box when it shows, then closes it with Escape (No).
struct BoxReader : QObject {
    BoxReader() { qApp->installEventFilter(this); }
    ~BoxReader() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = event->type() == QEvent::Show ? qobject_cast<QMessageBox*>(watched) : nullptr;
        if (box == nullptr || seen) return false;
        seen = true;
        QTimer::singleShot(0, this, [this, b = QPointer<QMessageBox>(box)] {
            if (b.isNull()) return;
            if (const auto* label = b->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                shown = label->text();
                width = label->sizeHint().width();
                textWidth = label->fontMetrics().horizontalAdvance(label->text());
            }
            b->reject();
        });
        return false;
    }
    bool seen = false;
    QString shown;
    int width = 0;
    int textWidth = 0;
};

// A path or a server's word with markup in it is shown as the characters it is made of.
TEST(PlainMessages, MarkupInTheTextShowsAsText) {
    const QString text = QStringLiteral("<b>/tmp/x</b>.pgn");
    const struct {
        const char* name;
        std::function<void()> show;
    } boxes[] = {
        {"warning", [&] { warnPlain(nullptr, QStringLiteral("系统提示"), text); }},
        {"question", [&] { EXPECT_FALSE(askPlain(nullptr, QStringLiteral("系统提示"), text)); }},
    };
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.name);
        BoxReader reader;
        b.show();
        ASSERT_TRUE(reader.seen);
        EXPECT_EQ(reader.shown, text);
        EXPECT_GE(reader.width, reader.textWidth) << "the tags are shown, not read";
    }
}

}  // namespace
}  // namespace xq
