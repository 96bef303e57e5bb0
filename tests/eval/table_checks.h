#pragma once
// Random deals compared between the generated table and the reference evaluator (shared by the
// regular and the long checks of the table).

#include "core/cards.h"
#include "eval/omaha_eval.h"
#include "tests/support/reference_eval.h"
#include "tests/support/test_support.h"

namespace varnel::test {

// Five board cards (in the order dealt) and seven further cards, all distinct.
struct Deal {
    std::array<CardId, kBoardCards> board;
    std::array<CardId, kMaxHoleCards> hole;
};

inline Deal randomDeal(std::mt19937_64& rng) {
    std::array<CardId, kDeckSize> deck{};
    for (int i = 0; i < kDeckSize; ++i) deck[i] = i;
    std::shuffle(deck.begin(), deck.end(), rng);
    Deal d{};
    std::copy_n(deck.begin(), kBoardCards, d.board.begin());
    std::copy_n(deck.begin() + kBoardCards, kMaxHoleCards, d.hole.begin());
    return d;
}

// For each deal, compares the table with the reference for the first 2, 3, ... 7 of the seven
// further cards (passed in ascending order), through evaluateOmaha and through the board state.
// Returns the number of hands compared; stops at the first disagreement.
inline long compareRandomDeals(int deals, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    long compared = 0;
    for (int n = 0; n < deals; ++n) {
        const Deal d = randomDeal(rng);
        int pairValue[kMaxHoleCards][kMaxHoleCards] = {};
        for (int i = 0; i < kMaxHoleCards; ++i)
            for (int j = i + 1; j < kMaxHoleCards; ++j)
                pairValue[i][j] = reference().bestOfPair(d.hole[i], d.hole[j], d.board.data());
        const std::uint32_t state = omahaBoardState(d.board.data());
        for (int count = 2; count <= kMaxHoleCards; ++count) {
            int expected = 0;
            for (int i = 0; i < count; ++i)
                for (int j = i + 1; j < count; ++j) expected = std::max(expected, pairValue[i][j]);
            CardId sorted[kMaxHoleCards];
            cardsFromMask(maskFromCards({d.hole.data(), static_cast<std::size_t>(count)}), sorted);
            const HandValue value = evaluateOmaha(sorted, count, d.board.data());
            const HandValue fromState = evaluateOmahaFromState(state, sorted, count);
            if (value != expected || fromState != value) {
                ADD_FAILURE() << "deal " << n << ", " << count << " hole cards: " << value << ", "
                              << fromState << " from the state, reference " << expected;
                return compared;
            }
            ++compared;
        }
    }
    return compared;
}

}  // namespace varnel::test
