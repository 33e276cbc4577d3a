#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace xq::uci {

// What an engine says, one line at a time, as far as a xiangqi program needs it. Whatever an
// engine writes is read without trust: numbers that do not parse are left out, unknown words
// skipped, lists bounded.

struct IdLine {
    std::string key;  // "name", "author"
    std::string value;
};

// An option the engine offers ("option name Skill Level type spin default 20 min -20 max 20").
struct OptionDecl {
    std::string name;
    std::string type;  // check, spin, combo, button, string
    std::string defaultValue;
    std::optional<long long> min, max;
    std::vector<std::string> vars;  // of a combo
};

struct UciOk {};
struct ReadyOk {};

struct Score {
    enum Kind { Centipawns, Mate };
    Kind kind = Centipawns;
    // Centipawns, or moves to mate (negative: the side to move is mated), from the side to move.
    int value = 0;
    bool bound = false;  // a lower or upper bound only, not the score
};

struct Info {
    std::optional<int> depth, selDepth, multiPv;
    std::optional<Score> score;
    std::optional<long long> nodes, nps, timeMs;
    std::vector<std::string> pv;  // at most kMaxPv moves
    std::string text;             // "info string ..."

    static constexpr std::size_t kMaxPv = 64;
};

// "bestmove h2e2 ponder h9g7"; an empty move for "(none)" or "0000" (no move to play).
struct BestMove {
    std::string move;
    std::string ponder;
};

// A line that is none of the above (or is unreadable) is Other.
struct Other {};

using Line = std::variant<Other, IdLine, OptionDecl, UciOk, ReadyOk, Info, BestMove>;

Line parseLine(std::string_view line);

}  // namespace xq::uci
