#include <gtest/gtest.h>

#include "../support/bytes.h"
#include "net/codec.h"
#include "net/messages.h"

namespace xq {
namespace {

using xq::test::Bytes;

TEST(Messages, FixedLayouts) {
    const struct {
        const char* name;
        Cmd got;
        Cmd expected;
    } cases[] = {
        {"table begun", msg::TableBegun(), Bytes({130, 1})},
        {"raise hand", msg::RaiseHand(1), Bytes({18, 1})},
        {"move", msg::Move(1, 0x90, 17, 0x80, 0, {0, 1, 2}),
         Bytes({19, 0, 1, 0x90, 17, 0x80, 0, 0, 1, 2})},
        {"draw offer", msg::DrawOffer(0), Bytes({21, 0, 0})},
        {"resign", msg::Resign(1), Bytes({22, 0, 1})},
        {"time-out", msg::TimeOut(1), Bytes({22, 1, 1})},
        {"undo", msg::UndoRequest(0), Bytes({20, 0, 0})},
        {"load", msg::LoadRequest(1), Bytes({23, 0, 1})},
        {"agree", msg::Answer(20, true, 1), Bytes({20, 2, 1})},
        {"refuse", msg::Answer(23, false, 0), Bytes({23, 1, 0})},
        {"abandoned", msg::LoadAbandoned(1), Bytes({23, 3, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"hand up", msg::HandUp("ab"), Bytes({112, 1, 'a', 'b'})},
        {"leave", msg::LeaveTable("ab"), Bytes({110, 0, 'a', 'b'})},
        {"owner settings", msg::OwnerSettings("ab", "1`2"),
         Bytes({112, 0, 'a', 'b', '`', '1', '`', '2'})},
        {"leave without a name", msg::LeaveTable(""), Cmd()},
        {"hand up without a name", msg::HandUp(""), Cmd()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.name;
}

TEST(Messages, ChatKeepsAllTenFields) {
    const QStringList fields = {"我", "所有人",  "我", "所有人", "12:00:00",
                                "",   "#000000", "",   "0",      ""};
    const Cmd cmd = msg::Chat(fields);
    ASSERT_FALSE(cmd.isEmpty());
    EXPECT_EQ(ByteAt(cmd, 0), 1);
    EXPECT_EQ(cmd.count('`'), 9);
    EXPECT_EQ(CmdToString(cmd, 1).split(u'`'), fields);
}

TEST(RecordChunks, FiftyMovesAChunkWithTotalAndOffset) {
    QiPuHistory history{QiPuItem{}};
    for (int k = 1; k <= 120; ++k) {
        history.push_back(
            QiPuItem{static_cast<std::uint8_t>(k), 17, static_cast<std::uint8_t>(k + 1), 0});
    }
    const auto chunks = msg::RecordChunks(1, history);
    ASSERT_EQ(chunks.size(), 3u);
    const struct { int size, offset; } expected[] = {{211, 0}, {211, 50}, {91, 100}};
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const Cmd& c = chunks[i];
        EXPECT_EQ(c.size(), expected[i].size);
        EXPECT_EQ(c.left(3), Bytes({23, 3, 1}));
        std::int32_t total = 0, offset = 0;
        ASSERT_TRUE(GetLongFromCmd(total, c, 3));
        ASSERT_TRUE(GetLongFromCmd(offset, c, 7));
        EXPECT_EQ(total, 120);
        EXPECT_EQ(offset, expected[i].offset);
        EXPECT_EQ(ByteAt(c, 11), expected[i].offset + 1) << "first move carried";
    }
    EXPECT_EQ(ByteAt(chunks[2], 90 - 3), 120);

    EXPECT_TRUE(msg::RecordChunks(0, QiPuHistory{QiPuItem{}}).empty());
    history.resize(51);
    EXPECT_EQ(msg::RecordChunks(0, history).size(), 1u);
    history.push_back(QiPuItem{});
    EXPECT_EQ(msg::RecordChunks(0, history).size(), 2u);
}

}  // namespace
}  // namespace xq
