#pragma once
// Hand values of every pair of hole cards on one five-card board, the building block of the
// equity estimates: a hand of n hole cards is worth the largest value among its pairs.

#include <array>
#include <cstdint>

#include "core/cards.h"

namespace varnel::gen {

using PairValue = std::uint32_t;  // larger is stronger; equal is equally strong

// Indexed by (lower CardId << 6) | higher CardId, and symmetric, so either order works.
inline constexpr int kPairStride = 64;
using PairTable = std::array<PairValue, kDeckSize * kPairStride>;

constexpr int pairIndex(CardId a, CardId b) {
    return a * kPairStride + b;
}

// Value of the best five-card hand made of the two hole cards and three of the five board cards
// (a plain evaluation of the ten combinations; slow, the reference for BoardTriples).
PairValue plainPairValue(const CardId* board, CardId a, CardId b);

struct FiveCardTables;

// The ten three-card subsets of one board, prepared for fast pair values through tables of all
// five-card rank combinations. pairValue(a, b) equals plainPairValue(board, a, b).
class BoardTriples {
  public:
    explicit BoardTriples(const CardId* board);
    PairValue pairValue(CardId a, CardId b) const;

  private:
    static constexpr int kTriples = 10;
    const FiveCardTables* tables;
    int code[kTriples];
    int flushSuit[kTriples];  // the suit of a suited triple, -1 otherwise
};

// Fills `table` for every pair of cards off the board; entries touching board cards are 0.
void fillPairTable(const CardId* board, PairTable& table);

// The value of a hand: the largest pair value among its `count` cards.
inline PairValue handValue(const PairTable& table, const CardId* cards, int count) {
    PairValue best = 0;
    for (int i = 0; i + 1 < count; ++i) {
        const PairValue* row = table.data() + cards[i] * kPairStride;
        for (int j = i + 1; j < count; ++j) best = row[cards[j]] > best ? row[cards[j]] : best;
    }
    return best;
}

}  // namespace varnel::gen
