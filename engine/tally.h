#pragma once
// Integer accounting of pot shares. Each board is worth kBoardUnits, divisible by every number of
// tied winners up to ten, so every share is a whole number of units: sums are exact and merging
// the tallies of threads or blocks in any order gives the same result.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "engine/equity.h"
#include "eval/low_eval.h"
#include "eval/table_walk.h"

namespace varnel {

// Each board is worth kBoardUnits; a Hi/Lo board is split into two halves of kHalfUnits.
inline constexpr std::int64_t kHalfUnits = 2520;  // lcm(1, ..., 10)
inline constexpr std::int64_t kBoardUnits = 2 * kHalfUnits;

// Units of each of k tied winners of one half, indexed by k.
inline constexpr std::array<std::int64_t, kMaxPlayers + 1> kHalfWinnerUnits = [] {
    std::array<std::int64_t, kMaxPlayers + 1> t{};
    for (int k = 1; k <= kMaxPlayers; ++k) t[k] = kHalfUnits / k;
    return t;
}();

// The sums of a block of deals or of part of an enumeration: 64-bit sums are quick to add to on
// every deal, and a share is at most 10,080 units, so they hold 9 * 10^14 outcomes (the squares
// 1.8 * 10^11). Larger counts go through TallyTotal.
struct Tally {
    std::int64_t outcomes = 0;
    std::array<std::int64_t, kMaxPlayers> units{};     // pot shares
    std::array<std::int64_t, kMaxPlayers> wins{};      // outcomes with the whole pot
    std::array<std::int64_t, kMaxPlayers> ties{};      // outcomes with part of the pot
    std::array<std::uint64_t, kMaxPlayers> squares{};  // squared shares
    // Hi/Lo games: shares of the high and of the low halves, in half units.
    std::array<std::int64_t, kMaxPlayers> highUnits{};
    std::array<std::int64_t, kMaxPlayers> lowUnits{};
    // Two boards only: the shares of each board (with one board `units` says it all).
    std::array<std::array<std::int64_t, kMaxPlayers>, kMaxBoards> boardUnits{};
};

// The sums of a whole run, added up from tallies: 128-bit, exact for any count of outcomes that
// 64 bits hold (kMaxRounds deals, or an enumeration running for years).
struct TallyTotal {
    std::int64_t outcomes = 0;
    std::array<__int128, kMaxPlayers> units{};
    std::array<std::int64_t, kMaxPlayers> wins{};
    std::array<std::int64_t, kMaxPlayers> ties{};
    std::array<unsigned __int128, kMaxPlayers> squares{};
    std::array<__int128, kMaxPlayers> highUnits{};
    std::array<__int128, kMaxPlayers> lowUnits{};
    std::array<std::array<__int128, kMaxPlayers>, kMaxBoards> boardUnits{};

    // Adds a Tally or a TallyTotal.
    template <class T>
    void add(const T& other) {
        outcomes += other.outcomes;
        for (int p = 0; p < kMaxPlayers; ++p) {
            units[p] += other.units[p];
            wins[p] += other.wins[p];
            ties[p] += other.ties[p];
            squares[p] += other.squares[p];
            highUnits[p] += other.highUnits[p];
            lowUnits[p] += other.lowUnits[p];
            for (int b = 0; b < kMaxBoards; ++b) boardUnits[b][p] += other.boardUnits[b][p];
        }
    }
};

// The players sharing each board (bit p for player p): the best high hands, and the best
// qualifying lows (no bit when nobody has a low, or in a high-only game).
struct Winners {
    std::array<std::uint32_t, kMaxBoards> high{};
    std::array<std::uint32_t, kMaxBoards> low{};
};

// Low values of every hand of a deal on every board (kNoLow: none), as WalkValues are for the high.
using LowValues = LowValue[kWalkMaxHands][kWalkMaxBoards];

// The set of the largest of values[p][b] over players p, for board b; 0 when the largest is
// `none`.
template <class Values>
inline std::uint32_t bestOf(const Values& values, int players, int b, int none) {
    auto best = values[0][b];
    for (int p = 1; p < players; ++p) best = std::max(best, values[p][b]);
    std::uint32_t set = 0;
    if (best == none) return set;
    for (int p = 0; p < players; ++p) set |= std::uint32_t{values[p][b] == best} << p;
    return set;
}

// The best players of each board when player p holds values[p][b] on board b (and, in a Hi/Lo
// game, the low lows[p][b]).
inline Winners winners(const WalkValues& values, const LowValues* lows, int players, int boards) {
    Winners w;
    for (int b = 0; b < boards; ++b) {
        w.high[b] = bestOf(values, players, b, -1);
        if (lows) w.low[b] = bestOf(*lows, players, b, kNoLow);
    }
    return w;
}

// Credits `weight` outcomes with the winners `w`. A board without low winners goes to its high
// winners in equal shares; otherwise each half goes to its winners in equal shares.
inline void creditWinners(const Winners& w, int players, int boards, std::int64_t weight,
                          Tally& t) {
    std::int64_t share[kMaxBoards][kMaxPlayers] = {};
    std::int64_t high[kMaxPlayers] = {};
    std::int64_t low[kMaxPlayers] = {};
    for (int b = 0; b < boards; ++b) {
        const std::int64_t highUnits = kHalfWinnerUnits[std::popcount(w.high[b])];
        const std::int64_t lowUnits = kHalfWinnerUnits[std::popcount(w.low[b])];
        const bool split = w.low[b] != 0;
        for (int p = 0; p < players; ++p) {
            const std::int64_t h = (w.high[b] >> p & 1) ? highUnits : 0;
            const std::int64_t l = (w.low[b] >> p & 1) ? lowUnits : 0;
            high[p] += h;
            low[p] += l;
            share[b][p] = split ? h + l : 2 * h;
        }
    }
    const std::int64_t pot = kBoardUnits * boards;
    t.outcomes += weight;
    for (int p = 0; p < players; ++p) {
        const std::int64_t s = share[0][p] + share[1][p];
        t.units[p] += s * weight;
        t.wins[p] += s == pot ? weight : 0;
        t.ties[p] += s != 0 && s != pot ? weight : 0;
        t.squares[p] += static_cast<std::uint64_t>(s * s * weight);
        t.highUnits[p] += high[p] * weight;
        t.lowUnits[p] += low[p] * weight;
        if (boards > 1) {
            t.boardUnits[0][p] += share[0][p] * weight;
            t.boardUnits[1][p] += share[1][p] * weight;
        }
    }
}

// Credits `weight` outcomes in which player p holds values[p][b] (and lows[p][b]) on board b.
inline void credit(const WalkValues& values, const LowValues* lows, int players, int boards,
                   std::int64_t weight, Tally& t) {
    creditWinners(winners(values, lows, players, boards), players, boards, weight, t);
}

}  // namespace varnel
