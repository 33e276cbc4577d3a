#include <gtest/gtest.h>

#include "net/cp936.h"
#include "server/hello.h"
#include "server/output_queue.h"

namespace xq::server {
namespace {

TEST(HelloTest, OnlyAProperHelloNamesTheUser) {
    const QByteArray prefix("XQTABLE/1`");
    EXPECT_EQ(parseHello(prefix + EncodeCp936(u"张三")), QStringLiteral("张三"));
    EXPECT_EQ(parseHello(prefix + QByteArray(32, 'a')), QString(32, u'a'));
    const QByteArray bad[] = {
        prefix,
        prefix + QByteArray(33, 'a'),
        prefix + " ann",
        prefix + "ann ",
        prefix + "a`b",
        prefix + "a\tb",
        prefix + "a\x01",
        prefix + "ann\xd5",  // broken last character
        QByteArray("XQTABLE/2`ann"),
        QByteArray("xqtable/1`ann"),
        QByteArray("\x82\x00"
                   "500`DRAK`1",
                   12),
    };
    for (const QByteArray& frame : bad)
        EXPECT_FALSE(parseHello(frame).has_value()) << frame.toStdString();
}

TEST(HelloTest, TheLoginIsExactlyTheClientsMessage) {
    EXPECT_EQ(parseLogin(QByteArray("\x82\x00"
                                    "500`DRAK`1",
                                    12)),
              true);
    EXPECT_EQ(parseLogin(QByteArray("\x82\x00"
                                    "500`DRAK`0",
                                    12)),
              false);
    for (const QByteArray& frame : {QByteArray("\x82\x00"
                                               "500`DRAK`2",
                                               12),
                                    QByteArray("\x82\x00"
                                               "500`DRAK`",
                                               11),
                                    QByteArray("\x82\x00"
                                               "500`DRAK`10",
                                               13),
                                    QByteArray("\x82\x01"
                                               "500`DRAK`1",
                                               12),
                                    QByteArray("\x82\x00"
                                               "501`DRAK`1",
                                               12),
                                    QByteArray()})
        EXPECT_FALSE(parseLogin(frame).has_value());
}

TEST(OutputQueueTest, FeedsTheSocketInChunksAndRefusesPastTheBacklogCap) {
    OutputQueue q;
    const QByteArray frame(40 * 1024, 'x');
    ASSERT_TRUE(q.push(frame, 0));
    ASSERT_TRUE(q.push(frame, 0));
    ASSERT_TRUE(q.push(frame, 0));
    qint64 written = 0;
    q.pump(0, [&](const QByteArray& f) {
        written += f.size();
        EXPECT_EQ(f.constData(), frame.constData()) << "shared, not copied";
    });
    EXPECT_EQ(written, 2 * frame.size()) << "stops once the socket holds a chunk";
    EXPECT_EQ(q.queuedBytes(), frame.size());

    // The socket's own buffer counts towards the cap.
    EXPECT_FALSE(q.push(frame, OutputQueue::kMaxBacklog - frame.size()));
    EXPECT_EQ(q.queuedBytes(), frame.size());
    q.pump(0, [&](const QByteArray& f) { written += f.size(); });
    EXPECT_TRUE(q.empty());
}

}  // namespace
}  // namespace xq::server
