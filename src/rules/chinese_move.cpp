#include "rules/chinese_move.h"

#include <array>
#include <vector>

#include "rules/notation.h"

namespace xq {
namespace {

enum class TokenKind { Name, Number, Mark, Direction };

struct Token {
    TokenKind kind;
    int value;  // piece kind, number, Mark or direction character
};

struct Word {
    std::string_view text;
    Token token;
};

constexpr Token Name(int kind) {
    return {TokenKind::Name, kind};
}
constexpr Token Number(int n) {
    return {TokenKind::Number, n};
}
constexpr Token markToken(Mark m) {
    return {TokenKind::Mark, static_cast<int>(m)};
}
constexpr Token Dir(char c) {
    return {TokenKind::Direction, c};
}

const std::vector<Word>& Words() {
    static const std::vector<Word> words = [] {
        std::vector<Word> w = {
            {"车", Name(kChariot)},
            {"車", Name(kChariot)},
            {"俥", Name(kChariot)},
            {"马", Name(kHorse)},
            {"馬", Name(kHorse)},
            {"傌", Name(kHorse)},
            {"炮", Name(kCannon)},
            {"砲", Name(kCannon)},
            {"包", Name(kCannon)},
            {"帅", Name(kKing)},
            {"帥", Name(kKing)},
            {"将", Name(kKing)},
            {"將", Name(kKing)},
            {"仕", Name(kAdvisor)},
            {"士", Name(kAdvisor)},
            {"相", Name(kElephant)},
            {"象", Name(kElephant)},
            {"兵", Name(kPawn)},
            {"卒", Name(kPawn)},
            {"前", markToken(Mark::Front)},
            {"中", markToken(Mark::Middle)},
            {"后", markToken(Mark::Rear)},
            {"後", markToken(Mark::Rear)},
            {"进", Dir('+')},
            {"進", Dir('+')},
            {"退", Dir('-')},
            {"平", Dir('.')},
        };
        constexpr std::array<std::string_view, 9> kNumerals = {"一", "二", "三", "四", "五",
                                                               "六", "七", "八", "九"};
        constexpr std::array<std::string_view, 9> kWide = {"１", "２", "３", "４", "５",
                                                           "６", "７", "８", "９"};
        constexpr std::array<std::string_view, 9> kDigits = {"1", "2", "3", "4", "5",
                                                             "6", "7", "8", "9"};
        for (int n = 1; n <= 9; ++n) {
            for (const auto& table : {kNumerals, kWide, kDigits})
                w.push_back({table[static_cast<std::size_t>(n - 1)], Number(n)});
        }
        return w;
    }();
    return words;
}

std::optional<std::vector<Token>> Tokens(std::string_view text) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::string_view rest = text.substr(i);
        if (rest[0] == ' ' || rest[0] == '\t') {
            ++i;
            continue;
        }
        if (rest.starts_with("\u3000")) {  // the full-width blank
            i += std::string_view("\u3000").size();
            continue;
        }
        const Word* hit = nullptr;
        for (const Word& w : Words()) {
            if (rest.starts_with(w.text)) {
                hit = &w;
                break;
            }
        }
        if (hit == nullptr || out.size() >= 5) return std::nullopt;
        out.push_back(hit->token);
        i += hit->text.size();
    }
    return out;
}

// Whether the tokens have these kinds in this order.
bool Shape(const std::vector<Token>& t, std::initializer_list<TokenKind> kinds) {
    if (t.size() != kinds.size()) return false;
    std::size_t i = 0;
    for (TokenKind k : kinds) {
        if (t[i++].kind != k) return false;
    }
    return true;
}

std::string numberWord(int side, int n) {
    return side == kRed ? GetChineseNum(n) : std::to_string(n);
}

}  // namespace

std::string chineseMoveText(const DescribedMove& d, int side) {
    const std::string name = GetQiZiName(makePiece(side, d.kind));
    const std::string direction = d.direction == '+' ? "进" : d.direction == '-' ? "退" : "平";
    const std::string tail = direction + numberWord(side, d.target);
    switch (d.mark) {
        case Mark::None:
            return name + numberWord(side, d.file) + tail;
        case Mark::Ordinal:
            return numberWord(side, d.ordinal) + name +
                   (d.file != 0 ? numberWord(side, d.file) : std::string()) + tail;
        default:
            break;
    }
    const std::string mark = d.mark == Mark::Front ? "前" : d.mark == Mark::Middle ? "中" : "后";
    return mark + (d.file != 0 ? numberWord(side, d.file) : name) + tail;
}

std::optional<DescribedMove> parseChineseMove(std::string_view text) {
    const auto tokens = Tokens(text);
    if (!tokens) return std::nullopt;
    const std::vector<Token>& t = *tokens;
    using K = TokenKind;
    DescribedMove d;
    if (Shape(t, {K::Name, K::Number, K::Direction, K::Number})) {
        d.kind = t[0].value;
        d.file = t[1].value;
    } else if (Shape(t, {K::Mark, K::Name, K::Direction, K::Number})) {
        d.mark = static_cast<Mark>(t[0].value);
        d.kind = t[1].value;
    } else if (Shape(t, {K::Mark, K::Number, K::Direction, K::Number})) {
        // Only pawns are named by their file in place of their name.
        d.mark = static_cast<Mark>(t[0].value);
        d.kind = kPawn;
        d.file = t[1].value;
    } else if (Shape(t, {K::Mark, K::Name, K::Number, K::Direction, K::Number})) {
        d.mark = static_cast<Mark>(t[0].value);
        d.kind = t[1].value;
        d.file = t[2].value;
    } else if (Shape(t, {K::Number, K::Name, K::Direction, K::Number}) ||
               Shape(t, {K::Number, K::Name, K::Number, K::Direction, K::Number})) {
        d.mark = Mark::Ordinal;
        d.ordinal = t[0].value;
        d.kind = t[1].value;
        if (t.size() == 5) d.file = t[2].value;
    } else {
        return std::nullopt;
    }
    d.direction = static_cast<char>(t[t.size() - 2].value);
    d.target = t.back().value;
    return d;
}

}  // namespace xq
