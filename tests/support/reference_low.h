#pragma once
// Reference eight-or-better low for the tests, independent of the low table: every two hole
// cards with every three board cards, kept when the five ranks differ and are all eight or lower.

#include "core/cards.h"
#include "tests/support/test_support.h"

namespace varnel::test {

// A low as its five ranks (ace 1 ... eight 8), highest first; kNoRefLow when there is none.
// Smaller arrays are better lows.
using RefLow = std::array<int, 5>;
inline constexpr RefLow kNoRefLow{99, 0, 0, 0, 0};

// The rank of a card for lows: ace 1, two 2, ... king 13.
inline int lowRank(CardId card) {
    return rankOf(card) == kRanks - 1 ? 1 : rankOf(card) + 2;
}

// The best low from two of `hole` and three of `board`, both given as low ranks.
inline RefLow bestLow(const std::vector<int>& hole, const std::vector<int>& board) {
    RefLow best = kNoRefLow;
    for (size_t a = 0; a < hole.size(); ++a)
        for (size_t b = a + 1; b < hole.size(); ++b)
            for (size_t c = 0; c < board.size(); ++c)
                for (size_t d = c + 1; d < board.size(); ++d)
                    for (size_t e = d + 1; e < board.size(); ++e) {
                        RefLow low{hole[a], hole[b], board[c], board[d], board[e]};
                        std::sort(low.begin(), low.end(), std::greater<>());
                        if (std::adjacent_find(low.begin(), low.end()) != low.end()) continue;
                        if (low[0] <= 8) best = std::min(best, low);
                    }
    return best;
}

inline RefLow bestLowOfCards(const std::vector<CardId>& hole, const std::vector<CardId>& board) {
    std::vector<int> h, b;
    for (CardId c : hole) h.push_back(lowRank(c));
    for (CardId c : board) b.push_back(lowRank(c));
    return bestLow(h, b);
}

}  // namespace varnel::test
