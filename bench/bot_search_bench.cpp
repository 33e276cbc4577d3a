// Search speed of the computer opponent: nodes per second and the depth reached from the
// opening position within fixed times.

#include <cstdio>

#include "engine/searcher.h"

int main() {
    using namespace xq::engine;
    for (int ms : {100, 1000, 3000}) {
        Searcher searcher(16);
        SearchBoard board(xq::Position::Initial());
        SearchLimits limits;
        limits.softMs = ms * 2;  // let the deepening run to the hard stop
        limits.hardMs = ms;
        const SearchResult r = searcher.search(board, limits);
        const double seconds = static_cast<double>(r.elapsed.count()) / 1000.0;
        std::printf("%5d ms: depth %2d, %9llu nodes, %8.0f nodes/s, best %s, score %d\n", ms,
                    r.depth, static_cast<unsigned long long>(r.nodes),
                    seconds > 0 ? static_cast<double>(r.nodes) / seconds : 0.0,
                    xq::moveToText(r.best).c_str(), r.score);
    }
    return 0;
}
