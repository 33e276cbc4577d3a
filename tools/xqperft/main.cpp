// xqperft [--divide] FEN DEPTH
// Counts the leaves of the legal move tree of a position. The FEN may be given as one quoted
// argument or as several words; "startpos" stands for the opening position.

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "rules/fen.h"
#include "rules/movegen.h"

namespace {

int Usage(const char* why) {
    std::fprintf(stderr, "xqperft: %s\nusage: xqperft [--divide] FEN|startpos DEPTH\n", why);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool divide = false;
    if (!args.empty() && args.front() == "--divide") {
        divide = true;
        args.erase(args.begin());
    }
    if (args.size() < 2) return Usage("need a FEN and a depth");

    const std::string& depthText = args.back();
    int depth = -1;
    const auto [end, ec] =
        std::from_chars(depthText.data(), depthText.data() + depthText.size(), depth);
    if (ec != std::errc() || end != depthText.data() + depthText.size() || depth < 0 ||
        depth > 12) {
        return Usage(("bad depth '" + depthText + "' (0 to 12)").c_str());
    }

    std::string fen;
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        fen += (i ? " " : "") + args[i];
    if (fen == "startpos") fen = std::string(xq::kStartFen);

    std::string error;
    auto pos = xq::ParseFen(fen, &error);
    if (!pos) return Usage(("bad FEN: " + error).c_str());

    std::uint64_t total = 0;
    if (divide && depth > 0) {
        xq::MoveList moves;
        xq::GenerateLegalMoves(*pos, moves);
        for (xq::Move m : moves) {
            const xq::Piece captured = pos->makeMove(m);
            const std::uint64_t n = xq::Perft(*pos, depth - 1);
            pos->unmakeMove(m, captured);
            std::printf("%s: %llu\n", xq::MoveToText(m).c_str(),
                        static_cast<unsigned long long>(n));
            total += n;
        }
    } else {
        total = xq::Perft(*pos, depth);
    }
    std::printf("%llu\n", static_cast<unsigned long long>(total));
    return 0;
}
