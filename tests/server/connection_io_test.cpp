// The pieces a connection is made of: the capped frame cutter, the output queue and the
// connection caps.

#include <gtest/gtest.h>

#include <array>

#include "net/frame.h"
#include "server/connection_caps.h"
#include "server/inbound_frames.h"
#include "server/output_queue.h"

namespace xq::server {
namespace {

TEST(InboundFramesTest, FramesComeWholeHoweverTheBytesAreCut) {
    const QByteArray stream =
        encodeFrame("hello") + encodeFrame(QByteArray(300, 'x')) + encodeFrame("z");
    for (qsizetype piece : {1, 2, 3, 5, 7, 64, 1000}) {
        InboundFrames in;
        QList<QByteArray> got;
        for (qsizetype at = 0; at < stream.size(); at += piece) {
            in.append(QByteArrayView(stream).sliced(at, std::min(piece, stream.size() - at)));
            QByteArray f;
            InboundFrames::Next next;
            while ((next = in.next(300, f)) == InboundFrames::Next::Frame)
                got.append(f);
            ASSERT_EQ(next, InboundFrames::Next::More) << "piece " << piece;
        }
        EXPECT_EQ(got, (QList<QByteArray>{"hello", QByteArray(300, 'x'), "z"})) << piece;
        EXPECT_EQ(in.pendingBytes(), 0);
    }
}

TEST(InboundFramesTest, ALengthOverTheLimitBreaksAsSoonAsItIsAnnounced) {
    const struct {
        QByteArray bytes;
        std::uint32_t limit;
        int framesBefore;
    } cases[] = {
        {QByteArray("\x00\x00\x00\x0d", 4), 12, 0},  // only the header of 13 bytes has come
        {QByteArray("\x00\x00\x00\x00", 4), 12, 0},  // an empty frame
        {QByteArray("\x00\x10\x00\x01", 4), kMaxFrame, 0},
        {encodeFrame("ok") + QByteArray("\x00\x00\x08\x01", 4), 2048, 1},
    };
    for (const auto& c : cases) {
        InboundFrames in;
        in.append(c.bytes);
        QByteArray f;
        int frames = 0;
        InboundFrames::Next next;
        while ((next = in.next(c.limit, f)) == InboundFrames::Next::Frame)
            ++frames;
        EXPECT_EQ(next, InboundFrames::Next::Broken) << c.bytes.toHex().toStdString();
        EXPECT_EQ(frames, c.framesBefore);
    }
    // The limit is the caller's for each frame: the same bytes pass a larger one.
    InboundFrames in;
    in.append(encodeFrame(QByteArray(13, 'a')));
    QByteArray f;
    EXPECT_EQ(in.next(12, f), InboundFrames::Next::Broken);
    EXPECT_EQ(in.next(13, f), InboundFrames::Next::Frame);
}

TEST(OutputQueueTest, GathersSharedFramesAndResumesInsideAFrame) {
    OutputQueue q;
    const QByteArray a(1000, 'a'), b(3000, 'b'), c(10, 'c');
    for (const QByteArray& f : {a, b, c})
        ASSERT_TRUE(q.push(f));
    std::array<QByteArrayView, OutputQueue::kMaxParts> parts;
    ASSERT_EQ(q.gather(parts.data()), 3);
    EXPECT_EQ(parts[0].data(), a.constData()) << "shared, not copied";
    EXPECT_EQ(parts[1].data(), b.constData());

    q.consume(1500);  // the kernel took a and half of b
    ASSERT_EQ(q.gather(parts.data()), 2);
    EXPECT_EQ(parts[0].data(), b.constData() + 500);
    EXPECT_EQ(parts[0].size(), 2500);
    EXPECT_EQ(q.queuedBytes(), 2510);
    q.consume(2510);
    EXPECT_TRUE(q.empty());
    EXPECT_EQ(q.gather(parts.data()), 0);

    // Many frames: one call takes at most kMaxParts of them.
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(q.push(c));
    EXPECT_EQ(q.gather(parts.data()), OutputQueue::kMaxParts);
    for (int i = 0; i < 99; ++i)
        q.consume(10);
    ASSERT_EQ(q.gather(parts.data()), 1);
    EXPECT_EQ(parts[0].size(), 10);
}

TEST(OutputQueueTest, RefusesPastTheBacklogCap) {
    OutputQueue q;
    const QByteArray frame(64 * 1024, 'x');
    const int fit = static_cast<int>(OutputQueue::kMaxBacklog / frame.size());
    for (int i = 0; i < fit; ++i)
        ASSERT_TRUE(q.push(frame)) << i;
    EXPECT_FALSE(q.push(frame));
    EXPECT_FALSE(q.push("x"));
    q.consume(frame.size());
    EXPECT_TRUE(q.push(frame)) << "room again once the kernel took some";
}

}  // namespace
}  // namespace xq::server
