#include <gtest/gtest.h>

#include <QList>

#include "net/frame.h"

namespace xq {
namespace {

QByteArray Len(std::uint32_t n) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((n >> (24 - 8 * i)) & 0xFF);
    return b;
}

TEST(FrameReader, SplitsAStreamFedInAnyPieces) {
    const QByteArray stream =
        encodeFrame("abc") + encodeFrame(QByteArray(300, 'x')) + encodeFrame("z");
    for (int piece : {1, 2, 3, 5, 7, 1000}) {
        FrameReader reader;
        QList<QByteArray> frames;
        for (qsizetype i = 0; i < stream.size(); i += piece) {
            ASSERT_TRUE(reader.feed(
                QByteArrayView(stream).sliced(i, qMin<qsizetype>(piece, stream.size() - i))));
            while (reader.hasFrame())
                frames.append(reader.takeFrame());
        }
        EXPECT_EQ(frames, (QList<QByteArray>{"abc", QByteArray(300, 'x'), "z"})) << piece;
        EXPECT_EQ(reader.pendingBytes(), 0);
    }
}

TEST(FrameReader, LengthOutsideTheLimitsBreaksTheStream) {
    const struct {
        QByteArray bytes;
        bool ok;
    } cases[] = {
        {Len(0), false},
        {Len(kMaxFrame + 1), false},
        {Len(0xFFFFFFFF), false},
        {Len(kMaxFrame), true},  // the largest frame is fine while it is still arriving
        {encodeFrame("a") + Len(0), false},
    };
    for (const auto& c : cases) {
        FrameReader reader;
        EXPECT_EQ(reader.feed(c.bytes), c.ok) << c.bytes.toHex().data();
        EXPECT_EQ(reader.broken(), !c.ok);
        if (!c.ok) EXPECT_FALSE(reader.feed(encodeFrame("later")));
    }
    EXPECT_EQ(encodeFrame("hi"), Len(2) + "hi");
}

}  // namespace
}  // namespace xq
