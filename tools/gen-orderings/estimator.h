#pragma once
// Equity estimates for every class of an ordering, with common random numbers: all classes are
// played on the same boards against the same opponents, except where a class's own cards are
// among them. For each board, a class whose representative meets the board skips it (boards
// are uniform, so the boards that remain are uniform among those the hand allows).
//  - Heads-up (one opponent): each board carries a pool of random opponent hands drawn from the
//    cards off the board; a class plays every pool hand that shares no card with it.
//  - Several opponents: each board carries shuffled orders of the cards off the board; a class
//    deals its opponents from such an order, skipping its own cards.
// Every count is an integer, so the result does not depend on how the work is split.

#include <cstdint>
#include <functional>
#include <vector>

#include "core/cards.h"

namespace varnel::gen_orderings {

struct EstimateSettings {
    int numCards = 4;
    int opponents = 5;
    int dealsPerBoard = 1;  // several opponents: shuffled orders per board
    int poolSize = 32;      // heads-up: opponent hands per board
    std::uint64_t seed = 1;
    int threads = 2;
};

// Called with the share of work done, 0..1, from the thread that called playBoards.
using ProgressFn = std::function<void(double)>;

// Points won and points at stake per hand; equity(i) is their ratio (0..1, ties split).
struct Tally {
    std::vector<std::uint64_t> score;
    std::vector<std::uint64_t> units;
    double equity(std::size_t i) const;
};

// Plays every hand on the boards [firstBoard, firstBoard + boardCount) of the sequence that the
// seed and the hand size fix, adding to `tally` (sized to the hands if needed). Playing boards
// 0..n-1 and then n..m-1 gives the same tally as playing 0..m-1 at once.
void playBoards(const std::vector<CardMask>& hands, const EstimateSettings& settings,
                int firstBoard, int boardCount, Tally& tally, const ProgressFn& progress);

// A 64-bit generator (xoshiro256**) seeded through splitmix64; deterministic across platforms.
class Rng {
  public:
    explicit Rng(std::uint64_t seed);
    std::uint64_t next();
    // Uniform in [0, bound).
    std::uint32_t below(std::uint32_t bound);

  private:
    std::uint64_t m_s[4];
};

}  // namespace varnel::gen_orderings
