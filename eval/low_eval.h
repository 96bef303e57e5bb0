#pragma once
// Eight-or-better low hands for the Hi/Lo games.
//
// A low is two hole cards and three board cards of five different ranks, all eight or lower, the
// ace counting low. Only the sets of such ranks matter, so a hand's best low is a lookup by the
// hole cards' and the board's low-rank sets (8 bits each: bit 0 the ace, bit 1 the two, ... bit 7
// the eight). Lows compare by their highest rank, then the next: as 8-bit rank sets, the smaller
// number is the better low, so a LowValue is 256 minus it (larger is better, 0 is no low).

#include <array>
#include <cstdint>

#include "core/cards.h"

namespace varnel {

using LowRanks = std::uint8_t;
using LowValue = std::uint8_t;

inline constexpr LowValue kNoLow = 0;
inline constexpr int kLowRankSets = 256;

// The low ranks held in `cards`: bit 0 for an ace, bits 1..7 for the two to the eight.
constexpr LowRanks lowRanks(CardMask cards) {
    constexpr int kSuitBits = kRanks;
    constexpr CardMask kSuitMask = (CardMask{1} << kSuitBits) - 1;
    const CardMask ranks =
        (cards | cards >> kSuitBits | cards >> 2 * kSuitBits | cards >> 3 * kSuitBits) & kSuitMask;
    constexpr int kAce = kRanks - 1;
    return static_cast<LowRanks>(((ranks & 0x7F) << 1) | ((ranks >> kAce) & 1));
}

// The best low of every hole-rank set against every board-rank set, at [hole][board].
class LowTable {
  public:
    LowTable();
    LowValue value(LowRanks hole, LowRanks board) const { return m_values[hole][board]; }
    // The best low of a hand on a board, kNoLow when there is none.
    LowValue value(CardMask hole, CardMask board) const {
        return m_values[lowRanks(hole)][lowRanks(board)];
    }

  private:
    std::array<std::array<LowValue, kLowRankSets>, kLowRankSets> m_values;
};

// The process-wide table, built on first use (64 KB, about a millisecond).
const LowTable& lowTable();

// The five ranks of a low value, highest first ("8-5-4-2-A"); "" for kNoLow.
const char* lowText(LowValue value, char (&buffer)[16]);

}  // namespace varnel
