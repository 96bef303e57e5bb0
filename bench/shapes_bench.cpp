// Expansion speed of the broad rank patterns for seven hole cards, in hands per second.
#include <benchmark/benchmark.h>

#include "range/expanders.h"

namespace {

void expandSevenCards(benchmark::State& state, const wchar_t* term) {
    std::size_t hands = 0;
    for (auto _ : state) {
        varnel::HandList list{{}, 7};
        varnel::expandRankSet(term, list);
        hands = list.hands.size();
        benchmark::DoNotOptimize(list.hands.data());
    }
    state.counters["hands"] = static_cast<double>(hands);
    state.counters["hands_per_second"] =
        benchmark::Counter(static_cast<double>(hands) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(expandSevenCards, A, L"A")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(expandSevenCards, AK, L"AK")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
