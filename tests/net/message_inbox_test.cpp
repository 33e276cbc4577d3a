#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>

#include "socket/message_inbox.h"

namespace xq {
namespace {

struct Recorder {
    explicit Recorder(MessageInbox& inbox) {
        QObject::connect(&inbox, &MessageInbox::message,
                         [this](const QByteArray& m) { events << QString::fromLatin1(m); });
        QObject::connect(&inbox, &MessageInbox::ended, [this](bool failed) {
            events << (failed ? QStringLiteral("failed") : QStringLiteral("closed"));
        });
    }
    QStringList events;
};

void RunEvents(int turns = 20) {
    for (int i = 0; i < turns; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

TEST(MessageInbox, HandsOutOnePerTurnInOrderThenTheEnd) {
    MessageInbox inbox;
    Recorder r(inbox);
    inbox.push("a");
    inbox.push("b");
    inbox.finish(false);
    inbox.push("late");  // nothing counts after the end
    EXPECT_TRUE(r.events.isEmpty()) << "never from inside the call that pushes";
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    RunEvents();
    EXPECT_EQ(r.events, (QStringList{"a", "b", "closed"}));
    inbox.finish(true);
    RunEvents();
    EXPECT_EQ(r.events.size(), 3) << "the end is told once";
}

TEST(MessageInbox, HeldMessagesAndTheEndWaitForTheLastRelease) {
    MessageInbox inbox;
    Recorder r(inbox);
    // The first message's handler holds the inbox, as a move being applied does, and waits in a
    // nested loop while the rest arrives.
    QObject::connect(&inbox, &MessageInbox::message, [&](const QByteArray& m) {
        if (m != "move") return;
        inbox.hold();
        inbox.hold();  // holds nest
        inbox.push("reply");
        inbox.push("end of game");
        inbox.finish(false);
        RunEvents();
        r.events << QStringLiteral("during: %1").arg(r.events.size());
        inbox.release();
        RunEvents();
        r.events << QStringLiteral("one release: %1").arg(r.events.size());
        inbox.release();
        inbox.release();  // one too many does no harm
    });
    inbox.push("move");
    inbox.push("queued before the hold");
    RunEvents(40);
    EXPECT_EQ(r.events, (QStringList{"move", "during: 1", "one release: 2",
                                     "queued before the hold", "reply", "end of game", "closed"}));
    EXPECT_FALSE(inbox.held());
}

}  // namespace
}  // namespace xq
