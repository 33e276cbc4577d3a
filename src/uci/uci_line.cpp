#include "uci/uci_line.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace xq::uci {
namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r')
            ++j;
        if (j > i) out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
}

std::optional<long long> number(std::string_view text) {
    long long v = 0;
    const char* end = text.data() + text.size();
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [at, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || at != end) return std::nullopt;
    return v;
}

std::optional<int> smallNumber(std::string_view text) {
    const auto v = number(text);
    if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*v);
}

std::string joined(const std::vector<std::string_view>& w, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to && i < w.size(); ++i) {
        if (!out.empty()) out += ' ';
        out += w[i];
    }
    return out;
}

OptionDecl option(const std::vector<std::string_view>& w) {
    // Names and values may hold blanks: each runs up to the next keyword.
    static constexpr std::string_view keys[] = {"name", "type", "default", "min", "max", "var"};
    const auto isKey = [](std::string_view s) {
        return std::find(std::begin(keys), std::end(keys), s) != std::end(keys);
    };
    OptionDecl o;
    std::size_t i = 1;
    while (i < w.size()) {
        const std::string_view key = w[i];
        std::size_t end = i + 1;
        // "name" runs up to "type" only, since an option may be called e.g. "Skill Level".
        while (end < w.size() && !(key == "name" ? w[end] == "type" : isKey(w[end])))
            ++end;
        const std::string value = joined(w, i + 1, end);
        if (key == "name")
            o.name = value;
        else if (key == "type")
            o.type = value;
        else if (key == "default")
            o.defaultValue = value;
        else if (key == "min")
            o.min = number(value);
        else if (key == "max")
            o.max = number(value);
        else if (key == "var" && o.vars.size() < 256)
            o.vars.push_back(value);
        i = end;
    }
    return o;
}

Info info(const std::vector<std::string_view>& w) {
    Info out;
    std::size_t i = 1;
    const auto next = [&]() -> std::string_view { return i + 1 < w.size() ? w[++i] : ""; };
    for (; i < w.size(); ++i) {
        const std::string_view key = w[i];
        if (key == "depth")
            out.depth = smallNumber(next());
        else if (key == "seldepth")
            out.selDepth = smallNumber(next());
        else if (key == "multipv")
            out.multiPv = smallNumber(next());
        else if (key == "nodes")
            out.nodes = number(next());
        else if (key == "nps")
            out.nps = number(next());
        else if (key == "time")
            out.timeMs = number(next());
        else if (key == "score") {
            const std::string_view kind = next();
            const auto value = smallNumber(next());
            if (value && (kind == "cp" || kind == "mate"))
                out.score = Score{kind == "cp" ? Score::Centipawns : Score::Mate, *value, false};
        } else if (key == "lowerbound" || key == "upperbound") {
            if (out.score) out.score->bound = true;
        } else if (key == "pv") {
            while (i + 1 < w.size() && out.pv.size() < Info::kMaxPv)
                out.pv.emplace_back(w[++i]);
            i = w.size();
        } else if (key == "string") {
            out.text = joined(w, i + 1, w.size());
            i = w.size();
        }
    }
    return out;
}

}  // namespace

Line parseLine(std::string_view line) {
    const std::vector<std::string_view> w = words(line);
    if (w.empty()) return Other{};
    const std::string_view head = w[0];
    if (head == "uciok") return UciOk{};
    if (head == "readyok") return ReadyOk{};
    if (head == "id" && w.size() >= 2) return IdLine{std::string(w[1]), joined(w, 2, w.size())};
    if (head == "option") return option(w);
    if (head == "info") return info(w);
    if (head == "bestmove" && w.size() >= 2) {
        BestMove b;
        if (w[1] != "(none)" && w[1] != "0000") b.move = w[1];
        if (w.size() >= 4 && w[2] == "ponder") b.ponder = w[3];
        return b;
    }
    return Other{};
}

}  // namespace xq::uci
