#pragma once

#include <QString>
#include <vector>

#include "rules/position.h"
#include "uci/uci_line.h"

namespace xq::analysis {

// A score as players read it: from red's side whoever is to move, in pawns ("+0.35", "-1.20",
// "0.00"), or who mates in how many moves ("红 3 步杀", "黑 1 步杀").
QString scoreText(const uci::Score& fromSideToMove, int sideToMove);
// The same score from red's side in centipawns, a mate counted as ±kMateCentipawns less the moves
// to it, for graphs and for weighing moves.
inline constexpr int kMateCentipawns = 10'000;
int redCentipawns(const uci::Score& fromSideToMove, int sideToMove);
// Moves from a position in Chinese notation, blank-separated ("炮二平五 马8进7").
QString movesText(const Position& from, const std::vector<Move>& moves);
// Nodes a second as people say it: "850 千/秒", "1.2 百万/秒".
QString speedText(long long nodesPerSecond);

}  // namespace xq::analysis
