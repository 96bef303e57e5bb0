// Evaluations per second of the table walk against a plain two-plus-three evaluator, for 4..7
// hole cards on random boards: one hand per board, and four hands sharing each board; the table
// one evaluation at a time and in batches of deals walked side by side.
//
// The plain evaluator is the benchmarks' shared baseline (eval/five_card.h).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/cards.h"
#include "eval/five_card.h"
#include "eval/omaha_eval.h"
#include "eval/table_format.h"
#include "eval/table_walk.h"

namespace varnel {
namespace {

constexpr int kDeals = 1 << 16;
constexpr int kPlayers = 4;
constexpr int kBatchDeals = 32;  // deals walked side by side, as the simulation does

using five_card::BoardTriples;
using five_card::ClassRanks;

// kDeals random deals of a board and kPlayers hands of `holeCount` cards (ascending).
struct Deals {
    int holeCount = 0;
    std::vector<CardId> boards;  // kBoardCards per deal
    std::vector<CardId> hands;   // kPlayers * holeCount per deal
    const CardId* board(int d) const { return &boards[d * kBoardCards]; }
    const CardId* hand(int d, int p) const { return &hands[(d * kPlayers + p) * holeCount]; }
};

const Deals& deals(int holeCount) {
    static std::array<Deals, kMaxHoleCards + 1> cache;
    Deals& d = cache[holeCount];
    if (d.holeCount == holeCount) return d;
    d.holeCount = holeCount;
    std::mt19937_64 rng(holeCount);
    std::array<CardId, kDeckSize> deck{};
    for (int n = 0; n < kDeals; ++n) {
        for (int i = 0; i < kDeckSize; ++i) deck[i] = i;
        std::shuffle(deck.begin(), deck.end(), rng);
        d.boards.insert(d.boards.end(), deck.begin(), deck.begin() + kBoardCards);
        for (int p = 0; p < kPlayers; ++p) {
            auto first = deck.begin() + kBoardCards + p * holeCount;
            std::sort(first, first + holeCount);
            d.hands.insert(d.hands.end(), first, first + holeCount);
        }
    }
    return d;
}

const ClassRanks& plain() {
    static const ClassRanks evaluator;
    return evaluator;
}

void report(benchmark::State& state, long evaluations) {
    state.SetItemsProcessed(evaluations);
}

// The deals of `d` with their first `players` hands, as the batched walk takes them.
std::vector<WalkDeal> walkDeals(const Deals& d, int players) {
    const TableWalk walk;
    std::vector<WalkDeal> out(kDeals);
    for (int i = 0; i < kDeals; ++i) {
        WalkDeal& w = out[i];
        w.boardState[0] = walk.boardStart();
        for (int k = 0; k < kBoardCards; ++k) w.board[0][k] = walkCard(d.board(i)[k]);
        for (int p = 0; p < players; ++p) {
            for (int k = 0; k < d.holeCount; ++k) w.hole[p][k] = walkCard(d.hand(i, p)[k]);
            w.holeCards[p] = static_cast<std::uint8_t>(d.holeCount);
        }
    }
    return out;
}

// The batched walk over all deals with `players` hands each.
void tableBatches(benchmark::State& state, int players) {
    const Deals& d = deals(static_cast<int>(state.range(0)));
    const std::vector<WalkDeal> batch = walkDeals(d, players);
    const TableWalk walk;
    const WalkShape shape{d.holeCount, players, 1, 0};
    WalkValues values[kBatchDeals];
    long n = 0;
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < kDeals; i += kBatchDeals) {
            walk.evaluate(shape, &batch[i], kBatchDeals, values);
            for (int k = 0; k < kBatchDeals; ++k)
                for (int p = 0; p < players; ++p) sum += values[k][p][0];
        }
        benchmark::DoNotOptimize(sum);
        n += long{kDeals} * players;
    }
    report(state, n);
}

void BM_TableOneHand(benchmark::State& state) {
    const Deals& d = deals(static_cast<int>(state.range(0)));
    long n = 0;
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < kDeals; ++i)
            sum += evaluateOmaha(d.hand(i, 0), d.holeCount, d.board(i));
        benchmark::DoNotOptimize(sum);
        n += kDeals;
    }
    report(state, n);
}

void BM_TableOneHandBatched(benchmark::State& state) {
    tableBatches(state, 1);
}

void BM_PlainOneHand(benchmark::State& state) {
    const Deals& d = deals(static_cast<int>(state.range(0)));
    const ClassRanks& e = plain();
    long n = 0;
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < kDeals; ++i)
            sum += e.evaluate(BoardTriples(d.board(i)), d.hand(i, 0), d.holeCount);
        benchmark::DoNotOptimize(sum);
        n += kDeals;
    }
    report(state, n);
}

void BM_TableFourHands(benchmark::State& state) {
    const Deals& d = deals(static_cast<int>(state.range(0)));
    long n = 0;
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < kDeals; ++i) {
            const std::uint32_t s = omahaBoardState(d.board(i));
            for (int p = 0; p < kPlayers; ++p)
                sum += evaluateOmahaFromState(s, d.hand(i, p), d.holeCount);
        }
        benchmark::DoNotOptimize(sum);
        n += long{kDeals} * kPlayers;
    }
    report(state, n);
}

void BM_TableFourHandsBatched(benchmark::State& state) {
    tableBatches(state, kPlayers);
}

void BM_PlainFourHands(benchmark::State& state) {
    const Deals& d = deals(static_cast<int>(state.range(0)));
    const ClassRanks& e = plain();
    long n = 0;
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < kDeals; ++i) {
            const auto t = BoardTriples(d.board(i));
            for (int p = 0; p < kPlayers; ++p) sum += e.evaluate(t, d.hand(i, p), d.holeCount);
        }
        benchmark::DoNotOptimize(sum);
        n += long{kDeals} * kPlayers;
    }
    report(state, n);
}

BENCHMARK(BM_PlainOneHand)->DenseRange(4, 7);
BENCHMARK(BM_TableOneHand)->DenseRange(4, 7);
BENCHMARK(BM_TableOneHandBatched)->DenseRange(4, 7);
BENCHMARK(BM_PlainFourHands)->DenseRange(4, 7);
BENCHMARK(BM_TableFourHands)->DenseRange(4, 7);
BENCHMARK(BM_TableFourHandsBatched)->DenseRange(4, 7);

}  // namespace
}  // namespace varnel

int main(int argc, char** argv) {
    using namespace varnel;
    const char* dir = std::getenv("VARNEL_DATA_DIR");
    const std::string path =
        std::string(dir ? dir : VARNEL_DEFAULT_DATA_DIR) + "/" + kTableFileName;
    omahaEvaluator().attach(loadOmahaTable(path));
    if (!omahaEvaluator().usable()) {
        std::fprintf(stderr, "error: no usable table at %s (set VARNEL_DATA_DIR)\n", path.c_str());
        return 1;
    }
    // The plain evaluator's results are the reference for a quick sanity check.
    const Deals& d = deals(4);
    for (int i = 0; i < 1000; ++i) {
        const auto t = BoardTriples(d.board(i));
        if (plain().evaluate(t, d.hand(i, 0), 4) != evaluateOmaha(d.hand(i, 0), 4, d.board(i))) {
            std::fprintf(stderr, "error: the plain evaluator and the table disagree\n");
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
