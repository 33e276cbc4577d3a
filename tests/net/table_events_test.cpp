#include <gtest/gtest.h>

#include "../support/bytes.h"
#include "net/table_events.h"

namespace xq::tablemsg {
namespace {

using test::Bytes;
using test::Text;

const QString kRow = QStringLiteral("乙`10001`1000`1000``3`66`0`2`1`0`0`5`1`0`0");
const QString kTerms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");

TEST(TableEvents, EveryEventEncodesToItsBytesAndReadsBack) {
    struct Case {
        const char* name;
        Event event;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"spectator", SpectatorArrival{kRow}, Text({130, 0}, kRow)},
        {"reset", TableReset{}, Bytes({130, 1})},
        {"list", UserList{{kRow, kRow}}, Text({130, 2}, kRow + u'\n' + kRow)},
        {"empty list", UserList{}, Bytes({130, 2})},
        {"identity", Identity{QStringLiteral("丙"), QStringLiteral("甲")}, Text({130, 3}, "丙`甲")},
        {"arrival", Arrival{kRow}, Text({130, 4}, kRow)},
        {"hide", WindowHidden{true}, Bytes({130, 5, 1})},
        {"back", BackOnline{QStringLiteral("乙")}, Text({108, 0}, "乙")},
        {"offline", WentOffline{QStringLiteral("乙")}, Text({108, 3}, "乙")},
        {"spectator left", SpectatorLeft{QStringLiteral("丙")}, Text({108, 4}, "丙")},
        {"row", RowChanged{kRow}, Text({108, 6}, kRow)},
        {"left", LeftTable{QStringLiteral("乙")}, Text({110, 0}, "乙")},
        {"waiting", waitingForPlayers(), Text({111, 0}, "1`0`0`0`0")},
        {"owner's stage", settingsStage(0, false, kTerms),
         Text({111, 0}, QStringLiteral("1`0`0`1`0`1`0`") + kTerms)},
        {"agreeing stage", settingsStage(1, true, kTerms),
         Text({111, 0}, QStringLiteral("1`1`0`0`0`1`1`") + kTerms)},
        {"hand", HandsUp{1, QStringLiteral("乙"), std::nullopt}, Text({112, 1}, "乙")},
        {"hand with terms", HandsUp{1, QStringLiteral("甲"), kTerms},
         Text({112, 1}, QStringLiteral("甲`") + kTerms)},
        {"room chat", RoomChat{QStringLiteral("公告")}, Text({105, 0, 0}, "公告")},
        {"waiting snapshot",
         WaitingSnapshot{{true, false}, {258, 3}, {0, 10, 0}, {0, 0, 30}, 1, 50},
         Bytes({109, 0, 0, 0, 1, 0, 1, 3, 0, 3, 0, 10, 0, 0, 0, 30, 1, 50})},
        {"running snapshot",
         RunningSnapshot{0,
                         1,
                         {0, 30, 0},
                         {0, 0, 30},
                         {0, 0},
                         {Triple{0, 0, 5}, Triple{0, 0, 0}},
                         {QiPuItem{0x77, 19, 0x74, 0}}},
         Bytes({109, 0, 1, 0, 0, 1, 0, 30, 0, 0,    0,  30,   0,
                0,   0, 0, 0, 0, 5, 0, 0,  0, 0x77, 19, 0x74, 0})},
        {"chat",
         ChatRelay{QStringLiteral("乙`所有人`乙`所有人`12:00:00`你好`#000000`0`0`").split(u'`')},
         Text({1}, "乙`所有人`乙`所有人`12:00:00`你好`#000000`0`0`")},
        {"cannot continue", CannotContinue{1, QStringLiteral("断线")}, Text({5, 0, 1}, "断线")},
        {"game start", GameStart{1, 1, {0, 10, 0}, {0, 0, 20}},
         Bytes({17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 10, 0, 0, 0, 20})},
        {"ready", Ready{0}, Bytes({18, 0})},
        {"echo", MoveEcho{0, 0x77, 19, 0x74, 0, {0, 1, 15}},
         Bytes({19, 0, 0, 0x77, 19, 0x74, 0, 0, 1, 15})},
        {"undo asked", Negotiation{20, 0, 1}, Bytes({20, 0, 1})},
        {"draw refused", Negotiation{21, 1, 0}, Bytes({21, 1, 0})},
        {"load failed", Negotiation{23, 4, 1}, Bytes({23, 4, 1})},
        {"record", RecordMoves{{QiPuItem{0x77, 19, 0x74, 0}, QiPuItem{0x01, 2, 0x22, 0}}},
         Bytes({23, 3, 0x77, 19, 0x74, 0, 0x01, 2, 0x22, 0})},
        {"notice", Notice{QStringLiteral("走法无效")}, Text({24}, "走法无效")},
        {"game end", GameEnd{100, -100, 1, QStringLiteral("认输")},
         Text({25, 0, 0, 0, 100, 255, 255, 255, 156, 1}, "认输")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encode(c.event), c.bytes) << c.name;
        const ParsedEvent parsed = parseEvent(c.bytes);
        const Event* back = std::get_if<Event>(&parsed);
        ASSERT_NE(back, nullptr) << c.name << ": " << std::get<Refusal>(parsed).reason;
        EXPECT_TRUE(*back == c.event) << c.name;
        EXPECT_EQ(codeOf(parsed), static_cast<std::uint8_t>(c.bytes[0])) << c.name;
    }
}

TEST(TableEvents, MalformedFramesAreRefusedWithTheirCode) {
    struct Case {
        const char* name;
        QByteArray frame;
        std::uint8_t code;
        std::optional<std::uint8_t> sub;
    };
    const QByteArray start = Bytes({17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 10, 0, 0, 0, 20});
    const QByteArray echo = Bytes({19, 0, 0, 0x77, 19, 0x74, 0, 0, 1, 15});
    QByteArray echoFromNoSeat = echo, echoOffBoard = echo, echoFileOff = echo;
    echoFromNoSeat[2] = 2;
    echoOffBoard[5] = static_cast<char>(0xA4);
    echoFileOff[3] = 0x79;
    const Case cases[] = {
        {"empty", {}, 0, std::nullopt},
        {"user message without sub-code", Bytes({130}), 130, std::nullopt},
        {"unknown user message", Bytes({130, 9}), 130, 9},
        {"identity of one field", Text({130, 3}, "丙"), 130, 3},
        {"identity of broken text", Bytes({130, 3, 0xB1}), 130, 3},
        {"window without flag", Bytes({130, 5}), 130, 5},
        {"presence without sub-code", Bytes({108}), 108, std::nullopt},
        {"unknown presence", Text({108, 2}, "乙"), 108, 2},
        {"leave of another sub-code", Text({110, 1}, "乙"), 110, 1},
        {"stage without sub-code", Bytes({111}), 111, std::nullopt},
        {"hand without a name", Bytes({112, 1}), 112, 1},
        {"hand of broken text", Bytes({112, 1, 0xD2}), 112, 1},
        {"snapshot too short", Bytes({109, 0}), 109, 0},
        {"chat of nine fields", Text({1}, "乙`所有人`乙`所有人`12:00:00`你好`#000000`0`0"), 1,
         0xD2},
        {"cannot continue, short", Bytes({5, 0}), 5, 0},
        {"cannot continue, no seat", Text({5, 0, 2}, "断线"), 5, 0},
        {"game start, short", start.left(18), 17, 0},
        {"game start, long", start + Bytes({0}), 17, 0},
        {"ready, long", Bytes({18, 0, 0}), 18, 0},
        {"ready from no seat", Bytes({18, 2}), 18, 2},
        {"echo, short", echo.left(9), 19, 0},
        {"echo, long", echo + Bytes({0}), 19, 0},
        {"echo from no seat", echoFromNoSeat, 19, 0},
        {"echo off the board", echoOffBoard, 19, 0},
        {"echo off the files", echoFileOff, 19, 0},
        {"undo, short", Bytes({20, 2}), 20, 2},
        {"load, short", Bytes({23, 3}), 23, 3},
        {"game end, short", Bytes({25, 0, 0, 0, 100, 0, 0, 0, 0}), 25, 0},
        {"resignation", Bytes({22, 0, 1}), 22, 0},
        {"unknown code", Bytes({113, 0}), 113, 0},
    };
    for (const Case& c : cases) {
        const ParsedEvent parsed = parseEvent(c.frame);
        const Refusal* r = std::get_if<Refusal>(&parsed);
        ASSERT_NE(r, nullptr) << c.name;
        EXPECT_EQ(r->code, c.code) << c.name;
        EXPECT_EQ(r->sub, c.sub) << c.name;
        EXPECT_NE(std::string(r->reason), "") << c.name;
    }
}

// Frames no server writes, taken the way the clients always took them.
TEST(TableEvents, LooseFramesReadAsTheClientsTookThem) {
    struct Case {
        const char* name;
        QByteArray frame;
        Event event;
    };
    const Case cases[] = {
        {"broken text reads as empty", Bytes({108, 3, 0xD2}), WentOffline{}},
        {"no text at all", Bytes({110, 0}), LeftTable{}},
        {"a reset with bytes after it", Bytes({130, 1, 7}), TableReset{}},
        {"any flag byte hides", Bytes({130, 5, 9, 9}), WindowHidden{true}},
        {"a stage of any sub-code", Text({111, 4}, "1`0"), TableSettings{{"1", "0"}}},
        {"room chat without its two bytes", Bytes({105}), RoomChat{}},
        {"a name and an empty terms field", Text({112, 0}, "甲`"), HandsUp{0, "甲", QString()}},
        {"bytes after the seat", Bytes({20, 2, 1, 0}), Negotiation{20, 2, 1, true}},
        {"a load answer from any seat", Bytes({23, 2, 7}), Negotiation{23, 2, 7}},
        {"a half move after the record", Bytes({23, 3, 0x77, 19, 0x74, 0, 0x01, 2}),
         RecordMoves{{QiPuItem{0x77, 19, 0x74, 0}}}},
        {"a record of one stray byte", Bytes({23, 3, 0x77}), RecordMoves{}},
        {"a tally byte pair above the clamp", Bytes({109, 0, 0, 0, 0, 0, 255, 255}),
         WaitingSnapshot{{}, {255 * 255 + 255, 0}, {}, {}, 0, 0, 3}},
        {"a waiting snapshot cut in a triple", Bytes({109, 0, 0, 0, 1, 1, 0, 2, 0, 3, 0, 10}),
         WaitingSnapshot{{true, true}, {2, 3}, {0, 10, 0}, {}, 0, 0, 6}},
        {"a running snapshot cut in its header", Bytes({109, 0, 1, 0, 1, 11}),
         RunningSnapshot{1, 11, {}, {}, {}, {}, {}, 2}},
        {"a running snapshot with a move cut short",
         Bytes({109, 0, 5, 0, 0, 1, 0, 30, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0x77, 19}),
         RunningSnapshot{0,
                         1,
                         {0, 30, 0},
                         {0, 0, 30},
                         {},
                         {Triple{0, 0, 5}, Triple{}},
                         {},
                         RunningSnapshot::kFields,
                         QiPuItem{0x77, 19, 0, 0}}},
        {"a game end with a broken reason", Bytes({25, 0, 0, 0, 1, 0, 0, 0, 2, 2, 0xB1}),
         GameEnd{1, 2, 2, QString()}},
    };
    for (const Case& c : cases) {
        const ParsedEvent parsed = parseEvent(c.frame);
        const Event* e = std::get_if<Event>(&parsed);
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_TRUE(*e == c.event) << c.name;
    }
}

TEST(TableEvents, RowsTheServerKeepsEncodedGoOnAsTheyAre) {
    const QByteArray watchers = encodeCp936(kRow + u'\n' + kRow);
    EXPECT_EQ(encodeUserList({kRow}, watchers), encode(UserList{{kRow, kRow, kRow}}));
    EXPECT_EQ(encodeUserList({}, watchers), encode(UserList{{kRow, kRow}}));
    EXPECT_EQ(encodeUserList({kRow}, {}), encode(UserList{{kRow}}));
    EXPECT_EQ(encodeSpectatorArrival(encodeCp936(kRow)), encode(SpectatorArrival{kRow}));
}

TEST(TableEvents, TalliesAndHistories) {
    EXPECT_EQ(tallyBytes(258), (std::array<std::uint8_t, 2>{1, 3}));
    EXPECT_EQ(tallyBytes(-4), (std::array<std::uint8_t, 2>{0, 0}));
    EXPECT_TRUE(movesOf(QiPuHistory{QiPuItem{}}).empty()) << "the placeholder is no move";
    EXPECT_TRUE(movesOf(QiPuHistory{}).empty());
    EXPECT_EQ(movesOf(QiPuHistory{QiPuItem{}, QiPuItem{1, 2, 3, 4}}),
              (std::vector<QiPuItem>{QiPuItem{1, 2, 3, 4}}));
}

}  // namespace
}  // namespace xq::tablemsg
