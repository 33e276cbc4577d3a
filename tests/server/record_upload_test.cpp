#include <gtest/gtest.h>

#include "../support/chunk_frames.h"
#include "net/table_requests.h"
#include "rules/fen.h"
#include "server/board_game.h"
#include "server/record_upload.h"
#include "table_harness.h"

namespace xq::server {
namespace {

using test::Bytes;

// A frame as the table hands it on: a chunk, the player's giving up, or a malformed chunk.
RecordUpload::Step Feed(RecordUpload& up, const Cmd& frame) {
    const auto parsed = tablemsg::parseRequest(frame);
    const auto* request = std::get_if<tablemsg::Request>(&parsed);
    if (const auto* chunk = request ? std::get_if<tablemsg::RecordChunk>(request) : nullptr)
        return up.add(*chunk);
    if (request && std::holds_alternative<tablemsg::LoadAbandoned>(*request)) return up.giveUp();
    return RecordUpload::Step::Refused;
}

Cmd Chunk(qint32 total, qint32 before, int moves) {
    Cmd c = Bytes({23, 3, 0});
    c.append(QByteArray(8, '\0'));
    PutLongToCmd(total, c, 3);
    PutLongToCmd(before, c, 7);
    c.append(QByteArray(4 * moves, '\x01'));
    return c;
}

TEST(RecordUploadTest, ChunksMustComeInOrderWithOneTotal) {
    using S = RecordUpload::Step;
    struct Case {
        const char* name;
        std::vector<Cmd> chunks;
        S last;
        std::size_t moves;
    };
    const Case cases[] = {
        {"one chunk", {Chunk(3, 0, 3)}, S::Complete, 3},
        {"three chunks",
         {Chunk(120, 0, 50), Chunk(120, 50, 50), Chunk(120, 100, 20)},
         S::Complete,
         120},
        {"part way", {Chunk(120, 0, 50)}, S::NeedMore, 50},
        {"given up", {Chunk(0, 0, 0) + Bytes({0})}, S::GivenUp, 0},
        {"given up later", {Chunk(120, 0, 50), Chunk(0, 0, 0)}, S::GivenUp, 50},
        {"out of order", {Chunk(120, 0, 50), Chunk(120, 100, 20)}, S::Refused, 50},
        {"repeated", {Chunk(120, 0, 50), Chunk(120, 0, 50)}, S::Refused, 50},
        {"total changes", {Chunk(120, 0, 50), Chunk(121, 50, 50)}, S::Refused, 50},
        {"more than total", {Chunk(10, 0, 11)}, S::Refused, 0},
        {"more than 50", {Chunk(60, 0, 51)}, S::Refused, 0},
        {"no moves", {Chunk(3, 0, 0)}, S::Refused, 0},
        {"broken move", {Chunk(3, 0, 1) + Bytes({1, 2})}, S::Refused, 0},
        {"total too big", {Chunk(2001, 0, 1)}, S::Refused, 0},
        {"negative total", {Chunk(-1, 0, 1)}, S::Refused, 0},
        {"short header", {Bytes({23, 3, 0, 0, 0, 0, 1})}, S::Refused, 0},
        {"after the end", {Chunk(1, 0, 1), Chunk(1, 1, 1)}, S::Refused, 1},
    };
    for (const Case& c : cases) {
        RecordUpload up;
        S step = S::NeedMore;
        for (const Cmd& chunk : c.chunks)
            step = Feed(up, chunk);
        EXPECT_EQ(step, c.last) << c.name;
        EXPECT_EQ(up.moves().size(), c.moves) << c.name;
    }
}

TEST(RecordUploadTest, TheClientsChunkingOf120MovesIsAccepted) {
    QiPuHistory h;
    resetQiPu(h);
    for (int i = 0; i < 120; ++i)
        AddQiPu(h, 9, 1, 18, 7, 2, 0);
    RecordUpload up;
    RecordUpload::Step step = RecordUpload::Step::NeedMore;
    const auto chunks = xq::test::ChunkFrames(0, h);
    ASSERT_EQ(chunks.size(), 3u);
    for (const Cmd& c : chunks)
        step = Feed(up, c);
    EXPECT_EQ(step, RecordUpload::Step::Complete);
    EXPECT_EQ(up.moves().back(), (QiPuItem{packPoint(9, 1), 18, packPoint(7, 2), 0}));
}

std::vector<QiPuItem> Record(std::initializer_list<test::Step> steps) {
    QiPan board{};
    InitQiPan(board);
    std::vector<QiPuItem> moves;
    for (const test::Step& s : steps) {
        const Piece p = board[s[0]][s[1]];
        moves.push_back(QiPuItem{packPoint(s[0], s[1]), p, packPoint(s[2], s[3]), 0});
        board[s[2]][s[3]] = p;
        board[s[0]][s[1]] = 0;
    }
    return moves;
}

TEST(RecordCheckTest, ARecordMustReplayFromTheOpening) {
    const auto good = Record({{7, 7, 7, 4}, {0, 1, 2, 2}, {7, 4, 3, 4}});
    const auto history = checkRecord(good);
    ASSERT_TRUE(history.has_value());
    ASSERT_EQ(history->size(), 4u);
    EXPECT_EQ((*history)[3].bteEatQiZi, 7) << "the captured black pawn comes from the board";

    auto wrongPiece = good;
    wrongPiece[1].bteQiZi = 3;
    auto offBoard = good;
    offBoard[0].bteToPos = packPoint(7, 9);
    auto blackFirst = Record({{0, 1, 2, 2}});
    auto illegal = Record({{9, 0, 5, 1}});
    auto emptyFrom = good;
    emptyFrom[2].bteFromPos = packPoint(5, 5);
    for (const auto& bad : {wrongPiece, offBoard, blackFirst, illegal, emptyFrom})
        EXPECT_FALSE(checkRecord(bad).has_value());

    // A record that takes a king, or leaves the side to move without a move, is refused.
    EXPECT_FALSE(checkRecord(Record(test::kKingCaptureLine)).has_value());
    EXPECT_FALSE(checkRecord(Record(test::kMateLine)).has_value());
    EXPECT_TRUE(checkRecord(Record({{7, 7, 7, 6}, {2, 1, 2, 6}, {7, 6, 3, 6}, {0, 3, 1, 4}})));
}

TEST(BoardGameTest, TheSideWithoutAMoveLosesByMateOrStalemate) {
    struct Case {
        const char* fen;
        const char16_t* reason;  // nullptr: the game goes on
    };
    const Case cases[] = {
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b", nullptr},
        {"3k5/4R4/3R5/9/9/9/9/9/9/4K4 b", u"被将死"},  // two chariots
        {"3k5/9/9/9/9/9/9/9/9/3R1K3 b", nullptr},      // the king steps aside
        {"4k4/3P1P3/9/9/9/9/9/9/9/3K5 b", u"困毙"},    // walled in by pawns
    };
    for (const Case& c : cases) {
        const auto pos = parseFen(c.fen);
        ASSERT_TRUE(pos.has_value()) << c.fen;
        const auto why = stuckReason(pos->toQiPan(), pos->sideToMove());
        if (c.reason) {
            ASSERT_TRUE(why.has_value()) << c.fen;
            EXPECT_EQ(*why, QString::fromUtf16(c.reason)) << c.fen;
        } else {
            EXPECT_FALSE(why.has_value()) << c.fen;
        }
    }
}

TEST(BoardGameTest, UndoTakesBackTwoHalfMovesAndRestoresCaptures) {
    BoardGame g;
    g.start(1);
    EXPECT_EQ(g.toMove(), 1);
    EXPECT_EQ(g.sideOf(1), kRed);
    const QiPan opening = g.board();
    EXPECT_FALSE(g.undoTwo());
    ASSERT_FALSE(g.refusal(1, packPoint(7, 7), packPoint(7, 4)));
    g.play(packPoint(7, 7), packPoint(7, 4));
    ASSERT_FALSE(g.refusal(0, packPoint(0, 1), packPoint(2, 2)));
    g.play(packPoint(0, 1), packPoint(2, 2));
    const QiPan afterTwo = g.board();
    ASSERT_FALSE(g.refusal(1, packPoint(7, 4), packPoint(3, 4)));
    EXPECT_EQ(g.play(packPoint(7, 4), packPoint(3, 4)).bteEatQiZi, 7);
    ASSERT_FALSE(g.refusal(0, packPoint(0, 0), packPoint(1, 0)));
    g.play(packPoint(0, 0), packPoint(1, 0));
    EXPECT_TRUE(g.undoTwo());
    EXPECT_EQ(g.board(), afterTwo);
    EXPECT_EQ(g.toMove(), 1);
    EXPECT_TRUE(g.undoTwo());
    EXPECT_EQ(g.board(), opening);
    EXPECT_EQ(g.halfMoves(), 0);
}

}  // namespace
}  // namespace xq::server
