#include "rules/iccs.h"

namespace xq {
namespace {

// One point: file letter a..i and rank digit 0..9 counted from red's side.
std::optional<int> parsePoint(char fileChar, char rankChar) {
    const char lower =
        (fileChar >= 'A' && fileChar <= 'Z') ? static_cast<char>(fileChar + 32) : fileChar;
    if (lower < 'a' || lower > 'i' || rankChar < '0' || rankChar > '9') return std::nullopt;
    return squareOf(kRanks - 1 - (rankChar - '0'), lower - 'a');
}

}  // namespace

std::optional<Move> parseIccsMove(std::string_view text) {
    const bool dashed = text.size() == 5 && text[2] == '-';
    if (text.size() != 4 && !dashed) return std::nullopt;
    const std::size_t second = dashed ? 3 : 2;
    const auto from = parsePoint(text[0], text[1]);
    const auto to = parsePoint(text[second], text[second + 1]);
    if (!from || !to || *from == *to) return std::nullopt;
    return Move{static_cast<std::uint8_t>(*from), static_cast<std::uint8_t>(*to)};
}

}  // namespace xq
