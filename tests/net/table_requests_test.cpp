#include <gtest/gtest.h>

#include <cstring>

#include "../support/bytes.h"
#include "net/codec.h"
#include "net/table_requests.h"

namespace xq::tablemsg {
namespace {

using xq::test::Bytes;
using xq::test::Text;

const Request* requestOf(const ParsedRequest& parsed) {
    return std::get_if<Request>(&parsed);
}

QByteArray chunkFrame(std::uint8_t seat, qint32 total, qint32 before, int moves) {
    QByteArray c = Bytes({23, 3, seat});
    c.append(QByteArray(8, '\0'));
    PutLongToCmd(total, c, 3);
    PutLongToCmd(before, c, 7);
    c.append(QByteArray(4 * moves, '\x05'));
    return c;
}

TEST(TableRequests, EachKindEncodesToItsBytesAndParsesBack) {
    const QStringList chat = {"我", "所有人",  "我", "所有人", "12:00:00",
                              "",   "#000000", "",   "0",      ""};
    const struct {
        const char* name;
        Request request;
        QByteArray bytes;
    } cases[] = {
        {"login", Login{true}, Bytes({130, 0, 53, 48, 48, 96, 68, 82, 65, 75, 96, 49})},
        {"login, nobody watches", Login{false}, QByteArray("\x82\x00", 2) + "500`DRAK`0"},
        {"table begun", TableBegun{}, Bytes({130, 1})},
        {"raise hand", RaiseHand{1}, Bytes({18, 1})},
        {"move", Move{1, 0x90, 17, 0x80, 0, {0, 1, 2}},
         Bytes({19, 0, 1, 0x90, 17, 0x80, 0, 0, 1, 2})},
        {"draw offer", Ask{Topic::Draw, 0}, Bytes({21, 0, 0})},
        {"resign", Resign{1, false}, Bytes({22, 0, 1})},
        {"time-out", Resign{1, true}, Bytes({22, 1, 1})},
        {"undo", Ask{Topic::Undo, 0}, Bytes({20, 0, 0})},
        {"load", Ask{Topic::Load, 1}, Bytes({23, 0, 1})},
        {"agree", Answer{Topic::Undo, true, 1}, Bytes({20, 2, 1})},
        {"refuse", Answer{Topic::Load, false, 0}, Bytes({23, 1, 0})},
        {"abandoned", LoadAbandoned{1}, Bytes({23, 3, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"chunk", RecordChunk{0, 300, 250, {QiPuItem{0x77, 19, 0x74, 0}, QiPuItem{1, 2, 0x22, 3}}},
         Bytes({23, 3, 0, 0, 0, 1, 44, 0, 0, 0, 250, 0x77, 19, 0x74, 0, 1, 2, 0x22, 3})},
        {"hand up", HandUp{"ab"}, Bytes({112, 1, 'a', 'b'})},
        {"leave", Leave{"ab"}, Bytes({110, 0, 'a', 'b'})},
        {"owner settings", OwnerSettings{"ab", "1`2"},
         Bytes({112, 0, 'a', 'b', '`', '1', '`', '2'})},
        {"chinese name", HandUp{"红方"}, Text({112, 1}, "红方")},
        {"chat", Chat{chat}, Text({1}, chat.join(u'`'))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encode(c.request), c.bytes) << c.name;
        const ParsedRequest parsed = parseRequest(c.bytes);
        const Request* back = requestOf(parsed);
        ASSERT_NE(back, nullptr) << c.name << ": " << std::get<Refusal>(parsed).reason;
        EXPECT_TRUE(*back == c.request) << c.name;
    }
}

TEST(TableRequests, AnEmptyNameOrTextIsNothingToSend) {
    EXPECT_EQ(encode(Leave{""}), QByteArray());
    EXPECT_EQ(encode(HandUp{""}), QByteArray());
    EXPECT_EQ(encode(Chat{}), QByteArray());
}

TEST(TableRequests, ChatKeepsAllTenFields) {
    const QStringList fields = {"我", "所有人",  "我", "所有人", "12:00:00",
                                "",   "#000000", "",   "0",      ""};
    const QByteArray cmd = encode(Chat{fields});
    ASSERT_FALSE(cmd.isEmpty());
    EXPECT_EQ(byteAt(cmd, 0), 1);
    EXPECT_EQ(cmd.count('`'), 9);
    EXPECT_EQ(CmdToString(cmd, 1).split(u'`'), fields);
}

TEST(TableRequests, TheServerTakesWhatItAlwaysTook) {
    // A move's byte 1 was never read; a give-up is any chunk whose total is 0; the owner's name
    // ends at the first "`".
    const ParsedRequest move = parseRequest(Bytes({19, 7, 0, 0x77, 19, 0x74, 0, 0, 0, 0}));
    ASSERT_NE(requestOf(move), nullptr);
    EXPECT_TRUE((*requestOf(move) == Request{Move{0, 0x77, 19, 0x74, 0, {0, 0, 0}}}));
    for (const QByteArray& giveUp : {chunkFrame(1, 0, 0, 0), chunkFrame(1, 0, 9, 3)}) {
        const ParsedRequest p = parseRequest(giveUp);
        ASSERT_NE(requestOf(p), nullptr);
        EXPECT_TRUE((*requestOf(p) == Request{LoadAbandoned{1}}));
    }
    const ParsedRequest terms = parseRequest(Text({112, 0}, "甲`1`2`3"));
    ASSERT_NE(requestOf(terms), nullptr);
    EXPECT_TRUE((*requestOf(terms) == Request{OwnerSettings{"甲", "1`2`3"}}));
    // Totals and the order of chunks are the upload's to judge, not the frame's.
    const ParsedRequest negative = parseRequest(chunkFrame(0, -1, 0, 1));
    ASSERT_NE(requestOf(negative), nullptr);
    EXPECT_EQ(std::get<RecordChunk>(*requestOf(negative)).total, -1);
}

TEST(TableRequests, MalformedFramesAreRefusedWithTheirHead) {
    const QByteArray brokenText = Bytes({112, 1, 'a', 0xB0});  // a lead byte and nothing after
    QByteArray longChat = Text({1}, "a`b`a`b`12:00:00`") + QByteArray(2040, 'x') + "`#0`0`0`";
    const struct {
        const char* name;
        QByteArray frame;
        int code;
        int sub;   // -1: none
        int seat;  // -1: none
        const char* reason;
    } cases[] = {
        {"empty", {}, 0, -1, -1, "empty"},
        {"unknown code", Bytes({99, 1}), 99, 1, -1, "unknown message"},
        {"short move", Bytes({19, 0, 0, 1, 2, 3, 4, 5, 6}), 19, 0, -1, "move must be 10 bytes"},
        {"long move", Bytes({19, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}), 19, 0, -1,
         "move must be 10 bytes"},
        {"move of seat 2", Bytes({19, 0, 2, 1, 2, 3, 4, 5, 6, 7}), 19, 0, -1, "bad seat"},
        {"raised hand of seat 9", Bytes({18, 9}), 18, 9, -1, "bad seat"},
        {"raised hand with a tail", Bytes({18, 0, 0}), 18, 0, -1, "raised hand must be 2 bytes"},
        {"long request", Bytes({20, 0, 0, 0}), 20, 0, -1, "request must be 3 bytes"},
        {"request of seat 3", Bytes({21, 0, 3}), 21, 0, -1, "bad seat"},
        {"load failure is the server's", Bytes({23, 4, 0}), 23, 4, -1, "unknown request"},
        {"resignation sub-code 2", Bytes({22, 2, 0}), 22, 2, -1, "unknown resignation"},
        {"hand up without a name", Bytes({112, 1}), 112, 1, -1, "no name"},
        {"hand up, broken text", brokenText, 112, 1, -1, "name is not code page 936"},
        {"terms without a name", Text({112, 0}, "12"), 112, 0, -1, "owner settings without a name"},
        {"hand up sub-code 5", Text({112, 5}, "a"), 112, 5, -1, "unknown message"},
        {"chat of nine fields", Text({1}, "a`b`a`b`12:00:00`x`#0`0`0"), 1, 'a', -1,
         "chat needs ten fields"},
        {"chat too long", longChat, 1, 'a', -1, "chat line too long"},
        {"chat, broken text", Bytes({1, 'a', 0x81}), 1, 'a', -1, "chat line is not code page 936"},
        {"login, bad permission", QByteArray("\x82\x00", 2) + "500`DRAK`2", 130, 0, -1,
         "login permission is not 0 or 1"},
        {"login, long", QByteArray("\x82\x00", 2) + "500`DRAK`10", 130, 0, -1, "malformed login"},
        {"begun with a tail", Bytes({130, 1, 0}), 130, 1, -1, "unknown message"},
        {"chunk without a seat", Bytes({23, 3}), 23, 3, -1, "record chunk without a seat"},
        {"chunk of seat 2", chunkFrame(2, 3, 0, 1), 23, 3, -1, "bad seat"},
        {"chunk, short header", Bytes({23, 3, 1, 0, 0, 0, 1}), 23, 3, 1,
         "record chunk header too short"},
        {"chunk, no moves", chunkFrame(0, 3, 0, 0), 23, 3, 0,
         "record chunk body is not 1 to 50 moves"},
        {"chunk, broken move", chunkFrame(0, 3, 0, 1) + Bytes({1, 2}), 23, 3, 0,
         "record chunk body is not 1 to 50 moves"},
        {"chunk, 51 moves", chunkFrame(1, 60, 0, 51), 23, 3, 1,
         "record chunk body is not 1 to 50 moves"},
    };
    for (const auto& c : cases) {
        const ParsedRequest parsed = parseRequest(c.frame);
        const auto* r = std::get_if<Refusal>(&parsed);
        ASSERT_NE(r, nullptr) << c.name;
        EXPECT_EQ(r->code, c.code) << c.name;
        EXPECT_EQ(r->sub ? int(*r->sub) : -1, c.sub) << c.name;
        EXPECT_EQ(r->seat ? int(*r->seat) : -1, c.seat) << c.name;
        EXPECT_STREQ(r->reason, c.reason) << c.name;
    }
}

TEST(RecordChunks, FiftyMovesAChunkWithTotalAndOffset) {
    QiPuHistory history{QiPuItem{}};
    for (int k = 1; k <= 120; ++k) {
        history.push_back(
            QiPuItem{static_cast<std::uint8_t>(k), 17, static_cast<std::uint8_t>(k + 1), 0});
    }
    std::vector<QByteArray> chunks;
    for (const RecordChunk& chunk : recordChunks(1, history))
        chunks.push_back(encode(chunk));
    ASSERT_EQ(chunks.size(), 3u);
    const struct { int size, offset; } expected[] = {{211, 0}, {211, 50}, {91, 100}};
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const QByteArray& c = chunks[i];
        EXPECT_EQ(c.size(), expected[i].size);
        EXPECT_EQ(c.left(3), Bytes({23, 3, 1}));
        std::int32_t total = 0, offset = 0;
        ASSERT_TRUE(GetLongFromCmd(total, c, 3));
        ASSERT_TRUE(GetLongFromCmd(offset, c, 7));
        EXPECT_EQ(total, 120);
        EXPECT_EQ(offset, expected[i].offset);
        EXPECT_EQ(byteAt(c, 11), expected[i].offset + 1) << "first move carried";
    }
    EXPECT_EQ(byteAt(chunks[2], 90 - 3), 120);

    EXPECT_TRUE(recordChunks(0, QiPuHistory{QiPuItem{}}).empty());
    history.resize(51);
    EXPECT_EQ(recordChunks(0, history).size(), 1u);
    history.push_back(QiPuItem{});
    EXPECT_EQ(recordChunks(0, history).size(), 2u);
}

}  // namespace
}  // namespace xq::tablemsg
