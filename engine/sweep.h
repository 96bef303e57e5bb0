#pragma once
// Heads-up high-only equities of every hand of two lists on one board, by a sweep over each
// complete board. Per board, every live hand's value is the best of its pairs' entries in the
// board's pair table (renumbered densely); both lists are counting-sorted by value, then walked
// in ascending value while counters of the card subsets of the hands passed so far give, by
// inclusion-exclusion, how many of the other list's lower and equal hands share no card with a
// hand. The outcomes of a hand need no per-board work: (other hands sharing no card with it) x
// (completions of the board once both hands are dealt). Internal to the engine.

#include <array>
#include <cstdint>
#include <vector>

#include "core/cards.h"
#include "engine/dealing.h"
#include "engine/equity.h"

namespace varnel {

// Counts of one hand of a list against the other list: outcomes it wins outright, ties, and
// all its outcomes; sampled runs also give the standard error of the equity (wins + ties / 2)
// / outcomes, as a ratio of per-board sums over independent boards.
struct SweepCounts {
    std::int64_t wins = 0;
    std::int64_t ties = 0;
    std::int64_t outcomes = 0;
    double stdError = 0;
};

struct SweepRequest {
    int holeCount = 4;
    CardMask board = 0;  // 3 to 5 fixed cards (exact), or 0 to 5 (sampled)
    CardMask dead = 0;
    // Each side's hands in list order, every hand of holeCount cards (a random player: every
    // hole-card set of the deck left, see everyHoleSet).
    std::array<const std::vector<CardMask>*, 2> hands{};
    // Sides whose per-hand counts are wanted; the other side's come only as totals.
    std::array<bool, 2> wanted{true, true};
    int threads = 1;
    const RunLimits* limits = nullptr;
    ProgressCallback progress;
    // Sampled runs: boards drawn at random, at most `boards` of them, merged in rounds whose
    // boards do not depend on the number of threads; stops once every live hand's standard
    // error is at most `precision` (a fraction; 0 for none).
    std::uint32_t seed = 0;
    std::int64_t boards = 0;
    double precision = 0;
};

struct SweepResult {
    RunEnd end = RunEnd::Finished;
    std::array<std::vector<SweepCounts>, 2> hands;  // wanted sides, in list order
    std::array<SweepCounts, 2> total;               // each side over all its hands
    std::int64_t boardsDone = 0;
    std::int64_t boards = 0;  // exact runs: every completion of the board
};

// Hole counts the sweep is built for.
inline constexpr int kSweepMinCards = 4;
inline constexpr int kSweepMaxCards = 6;

// True when the sweep can answer for these lists: hole count kSweepMinCards..kSweepMaxCards and
// every hand of exactly that many cards.
bool sweepFits(int holeCount, const std::vector<CardMask>& a, const std::vector<CardMask>& b);

// Estimated seconds on one core of the exact sweep of the request (board of 3 to 5 cards).
double sweepSeconds(const SweepRequest& request);

// Estimated bytes the sweep of the request holds on its threads.
double sweepBytes(const SweepRequest& request);

// Every completion of the board, each hand's outcomes counted once.
SweepResult sweepExact(const SweepRequest& request);

// Boards sampled at random, each swept exactly; outcomes, wins and ties are sums over the
// sampled boards.
SweepResult sweepSampled(const SweepRequest& request);

// Every hole-card set of `holeCount` cards that avoids `known`, in increasing mask order.
std::vector<CardMask> everyHoleSet(int holeCount, CardMask known);

}  // namespace varnel
