#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "net/cp936.h"
#include "records/pgn_file.h"
#include "records/pgn_reader.h"
#include "records/pgn_writer.h"
#include "records/record_file.h"
#include "records/record_load.h"
#include "rules/fen.h"
#include "rules/iccs.h"

namespace xq {
namespace {

// A game from a start position and moves in coordinates.
GameRecord Game(const char* fen, std::initializer_list<const char*> moves) {
    GameRecord g;
    g.start = *parseFen(fen);
    Position pos = g.start;
    for (const char* text : moves) {
        const Move m = *parseIccsMove(text);
        const Piece piece = pos.at(m.from);
        const Piece taken = pos.makeMove(m);
        g.moves.push_back(QiPuItem{packPoint(rankOfSquare(m.from), fileOfSquare(m.from)), piece,
                                   packPoint(rankOfSquare(m.to), fileOfSquare(m.to)), taken});
    }
    return g;
}

// The moves of a game in coordinates, blank-separated.
std::string Moves(const GameRecord& g) {
    std::string out;
    for (long k = 1; k <= qiPuUpperBound(g.moves); ++k) {
        const QiPuMove m = *GetQiPu(g.moves, k);
        if (!out.empty()) out += ' ';
        out += moveToText(Move{static_cast<std::uint8_t>(squareOf(m.fromRank, m.fromFile)),
                               static_cast<std::uint8_t>(squareOf(m.toRank, m.toFile))});
    }
    return out;
}

QString Text(const GameRecord& g, MoveNotation notation) {
    QByteArray out;
    EXPECT_TRUE(writePgn(g, notation, &out));
    return QString::fromUtf8(out);
}

constexpr const char* kOpening = kStartFen.data();

TEST(Pgn, WritesTagsAndNumberedMovesInEachNotation) {
    GameRecord g = Game(kOpening, {"h2e2", "h9g7", "h0g2"});
    g.tags = {{"Red", "张三"}, {"Event", "友谊赛"}, {"Opening", "中炮"}, {"Format", "old"}};
    const QString tags =
        "[Game \"Chinese Chess\"]\n[Event \"友谊赛\"]\n[Red \"张三\"]\n[Opening \"中炮\"]\n"
        "[Result \"*\"]\n";
    const struct {
        MoveNotation notation;
        const char* format;
        const char* moves;
    } cases[] = {
        {MoveNotation::Iccs, "ICCS", "1. h2e2 h9g7\n2. h0g2\n"},
        {MoveNotation::Chinese, "Chinese", "1. 炮二平五 马8进7\n2. 马二进三\n"},
        {MoveNotation::Wxf, "WXF", "1. C2.5 H8+7\n2. H2+3\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(Text(g, c.notation),
                  tags + "[Format \"" + c.format + "\"]\n\n" + QString::fromUtf8(c.moves) + "*\n");
    }
}

TEST(Pgn, AGameThatBlackOpensCarriesItsStartAndNumbersFromBlack) {
    const char* fen = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1";
    GameRecord g = Game(fen, {"h7e7", "h2e2", "b9c7"});
    g.result = "0-1";
    EXPECT_EQ(Text(g, MoveNotation::Chinese),
              QString("[Game \"Chinese Chess\"]\n[Result \"0-1\"]\n[FEN \"") + fen +
                  "\"]\n[Format \"Chinese\"]\n\n1... 炮8平5\n2. 炮二平五 马2进3\n0-1\n");
}

TEST(Pgn, EveryGameReadsBackAsWrittenInEveryNotation) {
    const GameRecord games[] = {
        Game(kOpening, {}),
        Game(kOpening, {"h2e2", "h9g7", "h0g2", "i9h9", "i0h0", "b9c7", "e2e6", "g6g5"}),
        Game("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b",
             {"h7e7", "h2e2", "e7e3"}),
        // Front and rear chariots.
        Game("4k4/9/9/9/9/R8/9/R8/9/3K5 w", {"a4a5", "e9e8", "a2a4", "e8e9", "a5a8"}),
        // Front, middle and rear pawns, then two on one file.
        Game("3k5/9/4P4/4P4/4P4/9/9/9/9/5K3 w", {"e6d6", "d9e9", "e7e8", "e9e8"}),
        // Pawns on two shared files.
        Game("3k5/9/9/2P3P2/2P3P2/9/9/9/9/5K3 w", {"c6c7", "d9e9", "g5f5", "e9d9", "c5b5"}),
        // A king that takes the chariot checking it.
        Game("5k3/9/9/9/9/9/9/9/4r4/4K4 w", {"e0e1", "f9f8", "e1d1"}),
    };
    int index = 0;
    for (const GameRecord& g : games) {
        for (MoveNotation n : {MoveNotation::Iccs, MoveNotation::Chinese, MoveNotation::Wxf}) {
            SCOPED_TRACE(testing::Message()
                         << "game " << index << ", notation " << static_cast<int>(n));
            GameRecord read;
            PgnError error;
            ASSERT_TRUE(readPgn(Text(g, n), read, &error))
                << error.line << " " << error.text.toStdString();
            EXPECT_EQ(read.moves, g.moves);
            EXPECT_EQ(toFen(read.start), toFen(g.start));
            EXPECT_EQ(read.result, "*");
        }
        ++index;
    }
}

struct HandWritten {
    const char* name;
    const char* text;
    const char* moves;
    const char* result;
};

TEST(Pgn, HandWrittenGamesInEachNotation) {
    const char* game = "h2e2 h9g7 h0g2 i9h9 i0h0 b9c7";
    const HandWritten cases[] = {
        {"coordinates with comments, glued numbers and a variation",
         "[Event \"友谊赛\"]\n[Red \"甲\"]\n\n1. h2e2 {中炮} h9g7\n2.h0g2   ; to the end of the "
         "line\n"
         "   i9h9 (2... b9c7 3. b0c2) 3. I0-H0?! $1\nb9c7\n\n1-0\n",
         game, "1-0"},
        {"Chinese with full-width digits, CR LF and a comment across lines",
         "[Game \"Chinese Chess\"]\r\n[Format \"Chinese\"]\r\n\r\n1. 炮二平五 马８进７ "
         "{开\r\n局}\r\n"
         "2. 马二进三\r\n   车９平８\r\n3．车一平二 马２进３ 0-1\r\n",
         game, "0-1"},
        {"WXF in either case", "[Format \"WXF\"]\n1. C2.5 H8+7 2. H2+3 R9.8\n3. R1.2 h2+3 *\n",
         game, "*"},
        {"notations mixed, result from the tag",
         "[Result \"1/2-1/2\"]\n1. 炮二平五 h9g7 2. H2+3 车9平8\n", "h2e2 h9g7 h0g2 i9h9",
         "1/2-1/2"},
        {"only the first game of a collection", "1. h2e2 *\n\n[Event \"next\"]\n1. b0c2 *\n",
         "h2e2", "*"},
        {"moves without tags or result, no line end", "h2e2 h9g7", "h2e2 h9g7", ""},
    };
    for (const HandWritten& c : cases) {
        SCOPED_TRACE(c.name);
        GameRecord read;
        PgnError error;
        ASSERT_TRUE(readPgn(QString::fromUtf8(c.text), read, &error))
            << "line " << error.line << ": " << error.text.toStdString();
        EXPECT_EQ(Moves(read), c.moves);
        EXPECT_EQ(read.result, c.result);
        EXPECT_TRUE(read.startsFromOpening());
    }
}

TEST(Pgn, MovesThatCannotBeReadAreRefusedWithTheirLine) {
    const struct {
        const char* name;
        const char* text;
        PgnError::Fault fault;
        int line;
        const char* word;
    } cases[] = {
        {"a move from an empty point", "1. h2e2 h9g7\n2. h2h3\n", PgnError::IllegalMove, 2, "h2h3"},
        {"black moving first", "1... h9g7\n", PgnError::IllegalMove, 1, "h9g7"},
        {"a cannon that is gone", "1. 炮二平五 马8进7\n\n2. 炮二平五\n", PgnError::IllegalMove, 3,
         "炮二平五"},
        {"either chariot", "[FEN \"4k4/9/9/9/9/R8/9/R8/9/3K5 w\"]\n\n1. 车九进一\n",
         PgnError::AmbiguousMove, 3, "车九进一"},
        {"either front pawn", "[FEN \"3k5/9/9/2P3P2/2P3P2/9/9/9/9/5K3 w\"]\n1. +P+1\n",
         PgnError::AmbiguousMove, 2, "+P+1"},
        {"no move at all", "1. h2e2\n  xyz\n", PgnError::NotAMove, 2, "xyz"},
        {"a FEN without kings", "[FEN \"9/9/9/9/9/9/9/9/9/9 w\"]\n1. h2e2\n", PgnError::BadFen, 1,
         "9/9/9/9/9/9/9/9/9/9 w"},
        {"a tag without quotes", "[Event 友谊赛]\n1. h2e2\n", PgnError::BadTag, 1,
         "[Event 友谊赛]"},
        {"a comment left open", "1. h2e2\n{never\nends\n", PgnError::Unclosed, 2, "{"},
        {"a variation left open", "1. h2e2 (1... b9c7\n", PgnError::Unclosed, 1, "("},
        {"nothing but a comment", "\n{only words}\n", PgnError::NoGame, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GameRecord read = Game(kOpening, {"h2e2"});
        PgnError error;
        EXPECT_FALSE(readPgn(QString::fromUtf8(c.text), read, &error));
        EXPECT_EQ(error.fault, c.fault);
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.text, QString::fromUtf8(c.word));
        EXPECT_EQ(Moves(read), "h2e2") << "a refused text leaves the game as it was";
    }
    GameRecord read;
    PgnError error;
    ASSERT_FALSE(readPgn("[FEN \"4k4/9/9/9/9/9/9/9/9/9 w\"]", read, &error));
    EXPECT_FALSE(error.reason.isEmpty()) << "the FEN reader's reason is kept";
}

TEST(Pgn, ARecordThatBreaksTheRulesIsNotWritten) {
    GameRecord g = Game(kOpening, {"h2e2", "h9g7"});
    g.moves[2].bteQiZi = 3;  // the record claims a cannon moved
    QByteArray out = "untouched";
    long bad = 0;
    EXPECT_FALSE(writePgn(g, MoveNotation::Iccs, &out, &bad));
    EXPECT_EQ(bad, 2);
    EXPECT_EQ(out, "untouched");
    // Two red moves in a row.
    GameRecord twice = Game(kOpening, {"h2e2"});
    twice.moves.push_back(QiPuItem{packPoint(9, 1), 18, packPoint(7, 2), 0});
    EXPECT_FALSE(writePgn(twice, MoveNotation::Chinese, &out, &bad));
    EXPECT_EQ(bad, 2);
}

TEST(Pgn, FilesInCodePage936AndUtf8AndByExtension) {
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.filePath(name);
    };
    const QString text = "[Red \"张三\"]\r\n1. 炮二平五 马8进7\r\n";
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"gbk.pgn", encodeCp936(text)},
        {"utf8.pgn", text.toUtf8()},
        {"bom.pgn", "\xEF\xBB\xBF" + text.toUtf8()},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        GameRecord g;
        ASSERT_TRUE(loadGameRecord(write(f.name, f.bytes), g));
        EXPECT_EQ(Moves(g), "h2e2 h9g7");
        EXPECT_EQ(g.tag("Red"), "张三");
    }
    // The extension decides: PGN text in a .drak file is no record, and .drak text is read.
    GameRecord g = Game(kOpening, {"h2e2"});
    PgnError error;
    EXPECT_FALSE(loadGameRecord(write("pgn.drak", text.toUtf8()), g, &error));
    EXPECT_EQ(error.fault, PgnError::Unreadable);
    ASSERT_TRUE(loadGameRecord(write("game.DRAK", "119#19#116#0\r\n1#2#34#0\r\n"), g));
    EXPECT_EQ(Moves(g), "h2e2 b9c7");
    EXPECT_FALSE(loadGameRecord(write("game.txt", "红1 ：炮二平五\r\n"), g, &error));
    EXPECT_FALSE(loadGameRecord(dir.filePath("missing.pgn"), g, &error));
    EXPECT_EQ(error.fault, PgnError::Unreadable);
    EXPECT_EQ(Moves(g), "h2e2 b9c7");
}

}  // namespace
}  // namespace xq
