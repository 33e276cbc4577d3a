#include "rules/wxf_move.h"

namespace xq {
namespace {

constexpr std::string_view kWxfLetters = " RHCKAEP";  // index = kind

int wxfKindOfLetter(char c) {
    switch (c) {
        case 'R':
        case 'r':
            return kChariot;
        case 'H':
        case 'h':
        case 'N':
        case 'n':
            return kHorse;
        case 'C':
        case 'c':
            return kCannon;
        case 'K':
        case 'k':
        case 'G':
        case 'g':
            return kKing;
        case 'A':
        case 'a':
            return kAdvisor;
        case 'E':
        case 'e':
        case 'B':
        case 'b':
            return kElephant;
        case 'P':
        case 'p':
            return kPawn;
        default:
            return 0;
    }
}

bool isDirection(char c) {
    return c == '+' || c == '-' || c == '.' || c == '=';
}

int Digit(char c) {
    return (c >= '1' && c <= '9') ? c - '0' : 0;
}

}  // namespace

std::string wxfMoveText(const DescribedMove& d) {
    std::string out;
    if (d.kind == kPawn && d.among >= 3 && d.mark != Mark::None) {
        const int place = d.mark == Mark::Front    ? 1
                          : d.mark == Mark::Middle ? 2
                          : d.mark == Mark::Rear   ? d.among
                                                   : d.ordinal;
        out += static_cast<char>('0' + place);
    } else if (d.mark == Mark::Front || d.mark == Mark::Rear) {
        out += d.mark == Mark::Front ? '+' : '-';
    }
    out += kWxfLetters[static_cast<std::size_t>(d.kind & 7)];
    if (d.file != 0) out += static_cast<char>('0' + d.file);
    out += d.direction;
    out += std::to_string(d.target);
    return out;
}

std::optional<DescribedMove> parseWxfMove(std::string_view text) {
    DescribedMove d;
    std::size_t i = 0;
    auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
    if (at(0) == '+' || at(0) == '-') {
        d.mark = at(0) == '+' ? Mark::Front : Mark::Rear;
        ++i;
    } else if (Digit(at(0)) != 0 && wxfKindOfLetter(at(1)) != 0) {
        d.mark = Mark::Ordinal;
        d.ordinal = Digit(at(0));
        ++i;
    }
    d.kind = wxfKindOfLetter(at(i));
    if (d.kind == 0) return std::nullopt;
    ++i;
    if (d.mark == Mark::None && (at(i) == '+' || at(i) == '-') && isDirection(at(i + 1))) {
        d.mark = at(i) == '+' ? Mark::Front : Mark::Rear;
        ++i;
    }
    if (Digit(at(i)) != 0) d.file = Digit(at(i++));
    if (!isDirection(at(i))) return std::nullopt;
    d.direction = at(i) == '=' ? '.' : at(i);
    ++i;
    d.target = Digit(at(i));
    if (d.target == 0 || i + 1 != text.size()) return std::nullopt;
    if (d.mark == Mark::None && d.file == 0) return std::nullopt;
    return d;
}

}  // namespace xq
