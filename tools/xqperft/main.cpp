// xqperft [--divide] FEN DEPTH
// Counts the leaves of the legal move tree of a position. The FEN may be given as one quoted
// argument or as several words; "startpos" stands for the opening position.

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "rules/fen.h"
#include "rules/movegen.h"
#include "version/version.h"

namespace {

constexpr const char* kHelp =
    "usage: xqperft [--divide] FEN|startpos DEPTH\n"
    "\n"
    "Counts the positions at the end of every sequence of DEPTH legal moves (0 to 12).\n"
    "  --divide    first one line per legal first move with its count, then the total\n"
    "  -h, --help  this text\n"
    "Options may stand anywhere among the words.\n"
    "\n"
    "FEN: standard xiangqi FEN; its first row is black's back rank; red pieces upper case, black\n"
    "lower case, letters r n b a k c p (h and e read as n and b); side to move w (red) or b.\n"
    "The FEN may be one quoted word or several words; \"startpos\" is the opening position.\n"
    "\n"
    "Points, in moves and in messages alike: file a..i from red's left, rank 0..9 from red's\n"
    "side, so the FEN's first row is rank 9 and \"h2e2\" is red's cannon to the centre.\n";

int Usage(const std::string& why) {
    std::fprintf(stderr, "xqperft: %s\nusage: xqperft [--divide] FEN|startpos DEPTH (see --help)\n",
                 why.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (xq::printedVersion(argc, argv, "xqperft")) return 0;
    std::vector<std::string> words;
    bool divide = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "-h" || word == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (word == "--divide") {
            divide = true;
        } else if (word.size() > 1 && word[0] == '-' && (word[1] < '0' || word[1] > '9')) {
            return Usage("unknown option '" + word + "'");
        } else {
            words.push_back(word);
        }
    }
    if (words.size() < 2) return Usage("need a FEN and a depth");

    const std::string& depthText = words.back();
    int depth = -1;
    const auto [end, ec] =
        std::from_chars(depthText.data(), depthText.data() + depthText.size(), depth);
    if (ec != std::errc() || end != depthText.data() + depthText.size() || depth < 0 ||
        depth > 12) {
        return Usage("bad depth '" + depthText + "' (0 to 12)");
    }

    std::string fen;
    for (std::size_t i = 0; i + 1 < words.size(); ++i)
        fen += (i ? " " : "") + words[i];
    if (fen == "startpos") fen = std::string(xq::kStartFen);

    std::string error;
    auto pos = xq::parseFen(fen, &error);
    if (!pos) return Usage("bad FEN: " + error);

    std::uint64_t total = 0;
    if (divide && depth > 0) {
        xq::MoveList moves;
        xq::generateLegalMoves(*pos, moves);
        for (xq::Move m : moves) {
            const xq::Piece captured = pos->makeMove(m);
            const std::uint64_t n = xq::perft(*pos, depth - 1);
            pos->unmakeMove(m, captured);
            std::printf("%s: %llu\n", xq::moveToText(m).c_str(),
                        static_cast<unsigned long long>(n));
            total += n;
        }
    } else {
        total = xq::perft(*pos, depth);
    }
    std::printf("%llu\n", static_cast<unsigned long long>(total));
    return 0;
}
