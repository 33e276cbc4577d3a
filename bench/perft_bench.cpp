// Perft from the opening position: leaves per second of the legal move generator.

#include <benchmark/benchmark.h>

#include "rules/movegen.h"
#include "rules/position.h"

namespace {

void BM_PerftStart(benchmark::State& state) {
    const int depth = static_cast<int>(state.range(0));
    xq::Position pos = xq::Position::Initial();
    std::uint64_t leaves = 0;
    for (auto _ : state) {
        leaves = xq::perft(pos, depth);
        benchmark::DoNotOptimize(leaves);
    }
    state.counters["leaves"] = static_cast<double>(leaves);
    state.counters["leaves_per_s"] = benchmark::Counter(
        static_cast<double>(leaves), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PerftStart)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
