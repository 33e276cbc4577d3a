#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/described_move.h"

namespace xq {

// A move in WXF notation: piece letter K A E H R C P, the file left, "+" advance, "-" retreat or
// "." sideways, and the target, e.g. "C2.5", "H8+7". Of two pieces on one file the front one is
// "+R", the rear one "-R" in place of the file ("+R+1"); three to five pawns on one file are
// numbered from the front ("2P.4"). Pawns keep the file when another file also holds two or more
// of them ("+P5+1").
std::string wxfMoveText(const DescribedMove& d);

// Reads WXF as people write it: letters in either case, N for the horse, B for the elephant,
// G for the king, "=" for sideways, and the front/rear sign after the letter ("R+.5") too.
std::optional<DescribedMove> parseWxfMove(std::string_view text);

}  // namespace xq
