#include <gtest/gtest.h>

#include "rules/iccs.h"
#include "uci/uci_line.h"
#include "uci/uci_move.h"

namespace xq::uci {
namespace {

TEST(UciMoveTest, BothStylesNameTheSameMovesAndRefuseWhatIsNone) {
    const struct {
        const char* iccs;
        const char* fromOne;
    } same[] = {
        {"h2e2", "h3e3"},   // the red cannon to the centre
        {"h9g7", "h10g8"},  // a black horse out, from black's back rank
        {"a0a9", "a1a10"},  // a red chariot along the whole file
        {"i9i8", "i10i9"}, {"e0e1", "e1e2"},
    };
    for (const auto& c : same) {
        const auto m = parseIccsMove(c.iccs);
        ASSERT_TRUE(m) << c.iccs;
        EXPECT_EQ(moveText(*m, RankBase::Zero), c.iccs);
        EXPECT_EQ(moveText(*m, RankBase::One), c.fromOne);
        EXPECT_EQ(parseMove(c.iccs, RankBase::Zero), m) << c.iccs;
        EXPECT_EQ(parseMove(c.fromOne, RankBase::One), m) << c.fromOne;
    }
    const struct {
        const char* text;
        RankBase base;
    } none[] = {
        {"h0", RankBase::Zero},   {"h2e2x", RankBase::Zero}, {"j2e2", RankBase::Zero},
        {"h2h2", RankBase::Zero}, {"a0a10", RankBase::Zero}, {"a11a1", RankBase::One},
        {"a0a1", RankBase::One},  {"H2E2", RankBase::Zero},  {"", RankBase::One},
        {"h10", RankBase::One},   {"h3e3 ", RankBase::One},  {"e2e10x", RankBase::One},
    };
    for (const auto& c : none)
        EXPECT_FALSE(parseMove(c.text, c.base)) << '"' << c.text << '"';
}

TEST(UciLineTest, EngineLinesAreReadAndNoiseIsNotTrusted) {
    EXPECT_TRUE(std::holds_alternative<UciOk>(parseLine("uciok")));
    EXPECT_TRUE(std::holds_alternative<ReadyOk>(parseLine("readyok\r")));
    EXPECT_TRUE(std::holds_alternative<Other>(parseLine("Fairy-Stockfish 11.1 by F. Fichter")));
    EXPECT_TRUE(std::holds_alternative<Other>(parseLine("")));
    EXPECT_TRUE(std::holds_alternative<Other>(parseLine("bestmove")));

    const auto id = std::get<IdLine>(parseLine("id name Pikafish 2023 dev"));
    EXPECT_EQ(id.key, "name");
    EXPECT_EQ(id.value, "Pikafish 2023 dev");

    const auto skill = std::get<OptionDecl>(
        parseLine("option name Skill Level type spin default 20 min -20 max 20"));
    EXPECT_EQ(skill.name, "Skill Level");
    EXPECT_EQ(skill.type, "spin");
    EXPECT_EQ(skill.defaultValue, "20");
    EXPECT_EQ(skill.min, -20);
    EXPECT_EQ(skill.max, 20);
    const auto variant = std::get<OptionDecl>(
        parseLine("option name UCI_Variant type combo default chess var chess var xiangqi"));
    EXPECT_EQ(variant.vars, (std::vector<std::string>{"chess", "xiangqi"}));
    const auto broken = std::get<OptionDecl>(parseLine("option name Hash type spin min x max"));
    EXPECT_FALSE(broken.min);
    EXPECT_FALSE(broken.max);

    const auto info = std::get<Info>(parseLine(
        "info depth 12 seldepth 18 multipv 2 score cp -35 lowerbound nodes 123456 nps 99000 "
        "hashfull 3 time 1250 pv h2e2 h9g7 h0g2"));
    EXPECT_EQ(info.depth, 12);
    EXPECT_EQ(info.selDepth, 18);
    EXPECT_EQ(info.multiPv, 2);
    ASSERT_TRUE(info.score);
    EXPECT_EQ(info.score->kind, Score::Centipawns);
    EXPECT_EQ(info.score->value, -35);
    EXPECT_TRUE(info.score->bound);
    EXPECT_EQ(info.nodes, 123456);
    EXPECT_EQ(info.nps, 99000);
    EXPECT_EQ(info.timeMs, 1250);
    EXPECT_EQ(info.pv, (std::vector<std::string>{"h2e2", "h9g7", "h0g2"}));

    const auto mate = std::get<Info>(parseLine("info depth 5 score mate -2 pv a0a1"));
    EXPECT_EQ(mate.score->kind, Score::Mate);
    EXPECT_EQ(mate.score->value, -2);
    // Numbers that are none, or too large, are left out; so is a score of an unknown kind.
    const auto noisy =
        std::get<Info>(parseLine("info depth 99999999999 nodes 12x score wdl 1 2 3 nps -"));
    EXPECT_FALSE(noisy.depth);
    EXPECT_FALSE(noisy.nodes);
    EXPECT_FALSE(noisy.score);
    EXPECT_FALSE(noisy.nps);
    const auto text = std::get<Info>(parseLine("info string NNUE evaluation using nn.bin"));
    EXPECT_EQ(text.text, "NNUE evaluation using nn.bin");
    std::string longPv = "info depth 1 pv";
    for (int i = 0; i < 500; ++i)
        longPv += " h2e2";
    EXPECT_EQ(std::get<Info>(parseLine(longPv)).pv.size(), Info::kMaxPv);

    const auto best = std::get<BestMove>(parseLine("bestmove h2e2 ponder h9g7"));
    EXPECT_EQ(best.move, "h2e2");
    EXPECT_EQ(best.ponder, "h9g7");
    EXPECT_TRUE(std::get<BestMove>(parseLine("bestmove (none)")).move.empty());
    EXPECT_TRUE(std::get<BestMove>(parseLine("bestmove 0000")).move.empty());
}

}  // namespace
}  // namespace xq::uci
