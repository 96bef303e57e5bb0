#pragma once
// Hand values of every pair of hole cards on one five-card board, the building block of the
// equity estimates: a hand of n hole cards is worth the largest value among its pairs.

#include <array>
#include <cstdint>

#include "core/cards.h"
#include "eval/five_card.h"

namespace varnel::gen_orderings {

using PairValue = five_card::ClassRank;  // larger is stronger; equal is equally strong

// Indexed by (lower CardId << 6) | higher CardId, and symmetric, so either order works.
inline constexpr int kPairStride = 64;
using PairTable = std::array<PairValue, kDeckSize * kPairStride>;

constexpr int pairIndex(CardId a, CardId b) {
    return a * kPairStride + b;
}

// Fills `table` with the class rank of the best hand of each pair of cards off the board and
// three of the board's kBoardCards cards; entries touching board cards are 0.
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

}  // namespace varnel::gen_orderings
