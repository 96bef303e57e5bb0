// Hands per second of the largest expansions and of the set operations of range expressions,
// and single runs of heavy ranges.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "range/hand_pattern.h"
#include "range/hand_sets.h"
#include "range/ordering.h"
#include "range/range_expression.h"

namespace varnel {
namespace {

void expandPattern(benchmark::State& state, const wchar_t* term) {
    HandList list;
    list.numCards = static_cast<std::int32_t>(state.range(0));
    std::uint64_t hands = 0;
    for (auto _ : state) {
        hands += expandHandPattern(term, list);
        benchmark::DoNotOptimize(list.hands.data());
    }
    state.counters["hands/s"] =
        benchmark::Counter(static_cast<double>(hands), benchmark::Counter::kIsRate);
    state.counters["hands"] = static_cast<double>(list.hands.size());
}

void BM_AllHands(benchmark::State& state) {
    expandPattern(state, L"*");
}
void BM_SingleCard(benchmark::State& state) {
    expandPattern(state, L"As");
}
void BM_Pairs(benchmark::State& state) {
    expandPattern(state, L"RR");
}
void BM_CardListWildcards(benchmark::State& state) {
    expandPattern(state, L"XhXxXxXxXxXxXx");
}
BENCHMARK(BM_AllHands)->Arg(5)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SingleCard)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pairs)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CardListWildcards)->Arg(7)->Unit(benchmark::kMillisecond);

// Two lists of a million random seven-card hands that share about half their hands.
constexpr std::size_t kListSize = 1'000'000;
struct Operands {
    Hands left, right;
    Operands() {
        std::mt19937_64 rng(4);
        auto randomHand = [&] {
            CardMask hand = 0;
            while (cardCount(hand) < 7) hand |= cardBit(static_cast<CardId>(rng() % kDeckSize));
            return hand;
        };
        for (std::size_t i = 0; i < kListSize; ++i) left.push_back(randomHand());
        for (std::size_t i = 0; i < kListSize; ++i)
            right.push_back(i % 2 ? left[(i * 7919) % kListSize] : randomHand());
    }
};
const Operands& operands() {
    static const Operands o;
    return o;
}

// Argument 0: the sorting way; 1: the bitset way.
template <typename Op>
void setOperation(benchmark::State& state, Op op) {
    const Operands& o = operands();
    const SetMethod method = state.range(0) ? SetMethod::bitset : SetMethod::sorted;
    for (auto _ : state) benchmark::DoNotOptimize(op(o.left, o.right, method));
    state.counters["hands/s"] =
        benchmark::Counter(2.0 * kListSize * state.iterations(), benchmark::Counter::kIsRate);
}
void BM_Union(benchmark::State& state) {
    setOperation(state,
                 [](const Hands& l, const Hands& r, SetMethod m) { return handsUnion(l, r, m); });
}
void BM_Intersection(benchmark::State& state) {
    setOperation(state, handsIntersection);
}
void BM_Difference(benchmark::State& state) {
    setOperation(state, [](const Hands& l, const Hands& r, SetMethod m) {
        return handsDifference(l, r, m);
    });
}
BENCHMARK(BM_Union)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Intersection)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Difference)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A whole expression: parsing plus a union, an intersection and a difference of broad terms.
void BM_Expression(benchmark::State& state) {
    HandList list;
    for (auto _ : state)
        benchmark::DoNotOptimize(parseRangeExpression(L"(As,Kd):(RR!RRR),AsKs", 5, list));
    state.counters["hands"] = static_cast<double>(list.hands.size());
}
BENCHMARK(BM_Expression)->Unit(benchmark::kMillisecond);

// Heavy seven-card ranges, one run each: all hands but those with three of a rank, and the top
// ten percent (the ordering loaded afresh, from VARNEL_DATA_DIR) joined with every ace hand.
void rangeOnce(benchmark::State& state, const wchar_t* text, int numCards) {
    HandList list;
    for (auto _ : state) benchmark::DoNotOptimize(parseRangeExpression(text, numCards, list));
    state.counters["hands"] = static_cast<double>(list.hands.size());
}
void BM_AllButTrips(benchmark::State& state) {
    rangeOnce(state, L"*!RRR", 7);
}
void BM_TopTenPercentOrAce(benchmark::State& state) {
    const char* dir = std::getenv("VARNEL_DATA_DIR");
    const std::filesystem::path data(dir ? dir : VARNEL_DEFAULT_DATA_DIR);
    if (!std::filesystem::exists(data / "oh7vsrandomordering.64")) {
        state.SkipWithError("no 7-card ordering in VARNEL_DATA_DIR");
        return;
    }
    std::filesystem::current_path(data);
    resetOrderingCaches();
    rangeOnce(state, L"10%,A", 7);
}
BENCHMARK(BM_AllButTrips)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TopTenPercentOrAce)->Iterations(1)->Unit(benchmark::kMillisecond);

// A union of 5,000 terms of two card codes (four-card hands), cards picked by fixed strides.
void BM_UnionOfPairTerms(benchmark::State& state) {
    std::wstring text;
    for (int i = 0, terms = 0; terms < 5000; ++i) {
        const int a = (i * 7) % kDeckSize, b = (i * 31 + 5) % kDeckSize;
        if (a == b) continue;
        if (terms++ > 0) text += L',';
        text.append(cardCodes[a]).append(cardCodes[b]);
    }
    rangeOnce(state, text.c_str(), 4);
}
BENCHMARK(BM_UnionOfPairTerms)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnel
