#pragma once
// Integer accounting of pot shares. Each board is worth kBoardUnits, divisible by every number of
// tied winners up to ten, so every share is a whole number of units: sums are exact and merging
// the tallies of threads or blocks in any order gives the same result.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "engine/simulation.h"
#include "eval/table_walk.h"

namespace varnel {

inline constexpr std::int64_t kBoardUnits = 2520;  // lcm(1, ..., 10)

// Units of each of k tied winners of one board, indexed by k.
inline constexpr std::array<std::int64_t, kMaxPlayers + 1> kWinnerUnits = [] {
    std::array<std::int64_t, kMaxPlayers + 1> t{};
    for (int k = 1; k <= kMaxPlayers; ++k) t[k] = kBoardUnits / k;
    return t;
}();

struct Tally {
    std::int64_t outcomes = 0;
    std::array<std::int64_t, kMaxPlayers> units{};  // pot shares
    std::array<std::int64_t, kMaxPlayers> wins{};   // outcomes with the whole pot
    std::array<std::int64_t, kMaxPlayers> ties{};   // outcomes with part of the pot
    // Squared shares in units (at most 5040^2 per outcome: exact for 7 * 10^11 outcomes).
    std::array<std::uint64_t, kMaxPlayers> squares{};

    void add(const Tally& other) {
        outcomes += other.outcomes;
        for (int p = 0; p < kMaxPlayers; ++p) {
            units[p] += other.units[p];
            wins[p] += other.wins[p];
            ties[p] += other.ties[p];
            squares[p] += other.squares[p];
        }
    }
};

// The players sharing each board, as sets (bit p for player p).
using Winners = std::array<std::uint32_t, kMaxBoards>;

// The best players of each board when player p holds values[p][b] on board b.
inline Winners winners(const WalkValues& values, int players, int boards) {
    Winners w{};
    for (int b = 0; b < boards; ++b) {
        HandValue best = values[0][b];
        for (int p = 1; p < players; ++p) best = std::max(best, values[p][b]);
        for (int p = 0; p < players; ++p) w[b] |= std::uint32_t{values[p][b] == best} << p;
    }
    return w;
}

// Credits `weight` outcomes with the winners `w`: each board's winners share it equally.
inline void creditWinners(const Winners& w, int players, int boards, std::int64_t weight,
                          Tally& t) {
    std::int64_t share[kMaxPlayers] = {};
    for (int b = 0; b < boards; ++b) {
        const std::int64_t units = kWinnerUnits[std::popcount(w[b])];
        for (int p = 0; p < players; ++p) share[p] += (w[b] >> p & 1) ? units : 0;
    }
    const std::int64_t pot = kBoardUnits * boards;
    t.outcomes += weight;
    for (int p = 0; p < players; ++p) {
        const std::int64_t s = share[p];
        t.units[p] += s * weight;
        t.wins[p] += s == pot ? weight : 0;
        t.ties[p] += s != 0 && s != pot ? weight : 0;
        t.squares[p] += static_cast<std::uint64_t>(s * s * weight);
    }
}

// Credits `weight` outcomes in which player p holds values[p][b] on board b.
inline void credit(const WalkValues& values, int players, int boards, std::int64_t weight,
                   Tally& t) {
    creditWinners(winners(values, players, boards), players, boards, weight, t);
}

}  // namespace varnel
