// Hands per second of the largest expansions and of the set operations of range expressions.
#include <benchmark/benchmark.h>

#include <random>

#include "range/hand_pattern.h"
#include "range/hand_sets.h"
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

template <Hands (*Op)(const Hands&, const Hands&)>
void setOperation(benchmark::State& state) {
    const Operands& o = operands();
    for (auto _ : state) benchmark::DoNotOptimize(Op(o.left, o.right));
    state.counters["hands/s"] =
        benchmark::Counter(2.0 * kListSize * state.iterations(), benchmark::Counter::kIsRate);
}
Hands unionOf(const Hands& l, const Hands& r) {
    return handsUnion(l, r);
}
void BM_Union(benchmark::State& state) {
    setOperation<unionOf>(state);
}
void BM_Intersection(benchmark::State& state) {
    setOperation<handsIntersection>(state);
}
void BM_Difference(benchmark::State& state) {
    setOperation<handsDifference>(state);
}
BENCHMARK(BM_Union)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Intersection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Difference)->Unit(benchmark::kMillisecond);

// A whole expression: parsing plus a union, an intersection and a difference of broad terms.
void BM_Expression(benchmark::State& state) {
    HandList list;
    for (auto _ : state)
        benchmark::DoNotOptimize(parseRangeExpression(L"(As,Kd):(RR!RRR),AsKs", 5, list));
    state.counters["hands"] = static_cast<double>(list.hands.size());
}
BENCHMARK(BM_Expression)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnel
