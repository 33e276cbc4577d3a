#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/described_move.h"

namespace xq {

// A move in Chinese notation (UTF-8), e.g. "炮二平五", "马8进7", "前车进一", "中兵平四", and for
// pawns on two shared files "前五进一" (the file takes the name's place). Red counts with Chinese
// numerals, black with digits, as the move list does.
std::string chineseMoveText(const DescribedMove& d, int side);

// Reads Chinese notation as people write it: either side's numerals, full-width digits,
// traditional characters (進 後 車 馬 帥 將 砲 …), either side's piece names and blanks anywhere.
// "前兵五进一" with name and file is read too. Nothing for text that is not such a move.
std::optional<DescribedMove> parseChineseMove(std::string_view text);

}  // namespace xq
