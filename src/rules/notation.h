#pragma once

#include <cstdint>
#include <string>

namespace xq {

// "一".."十" for 1..10, the empty text otherwise. UTF-8.
std::string GetChineseNum(long n);

// One-character piece name (UTF-8); empty for an empty code, a side above 1 or a kind above 7.
std::string GetQiZiName(std::uint8_t code);

// One line of Chinese move notation, e.g. "红1 ：炮二平五" (UTF-8). The captured piece does not
// change the text. Empty when moveNo <= 0 or the code names no piece.
std::string GetQiPuText(int fromRank, int fromFile, std::uint8_t code, int toRank, int toFile,
                        std::uint8_t captured, long moveNo);

// The move number shown for the ply-th half-move (1-based): red's move and black's reply share it.
constexpr long moveNumberOfPly(long ply) {
    return (ply - 1) / 2 + 1;
}

}  // namespace xq
