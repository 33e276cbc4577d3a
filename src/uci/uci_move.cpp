#include "uci/uci_move.h"

namespace xq::uci {
namespace {

void appendPoint(std::string& out, int square, RankBase base) {
    out += static_cast<char>('a' + fileOfSquare(square));
    // Rank 0 of the board is black's back rank; engines count from red's.
    out += std::to_string(kRanks - 1 - rankOfSquare(square) + (base == RankBase::One ? 1 : 0));
}

// One point at the front of `text`, consumed; nothing when there is none.
std::optional<int> takePoint(std::string_view& text, RankBase base) {
    if (text.size() < 2 || text[0] < 'a' || text[0] > 'i') return std::nullopt;
    const int file = text[0] - 'a';
    std::size_t digits = 1;
    // Only "10" has two digits, and only when ranks start at 1.
    if (base == RankBase::One && text.size() >= 3 && text[1] == '1' && text[2] == '0') digits = 2;
    if (text[1] < '0' || text[1] > '9') return std::nullopt;
    const int written = digits == 2 ? 10 : text[1] - '0';
    const int fromRed = base == RankBase::One ? written - 1 : written;
    if (fromRed < 0 || fromRed >= kRanks) return std::nullopt;
    text.remove_prefix(1 + digits);
    return squareOf(kRanks - 1 - fromRed, file);
}

}  // namespace

std::string moveText(Move m, RankBase base) {
    std::string out;
    appendPoint(out, m.from, base);
    appendPoint(out, m.to, base);
    return out;
}

std::optional<Move> parseMove(std::string_view text, RankBase base) {
    const auto from = takePoint(text, base);
    const auto to = from ? takePoint(text, base) : std::nullopt;
    if (!to || !text.empty() || *from == *to) return std::nullopt;
    return Move{static_cast<std::uint8_t>(*from), static_cast<std::uint8_t>(*to)};
}

}  // namespace xq::uci
