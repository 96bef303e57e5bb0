#pragma once
// Shared pieces of the evaluator table tests: loading the generated table once per process,
// random deals, and the comparison of random deals with the reference evaluator.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "core/cards.h"
#include "eval/omaha_eval.h"
#include "eval/reference_eval.h"
#include "eval/table_format.h"

namespace varnel::testref {

// Loads VARNEL_DATA_DIR/omaha-7.bin into the process-wide evaluator (once).
inline bool loadGeneratedTable() {
    static const bool usable = [] {
        const char* dir = std::getenv("VARNEL_DATA_DIR");
        const std::string path = std::string(dir ? dir : ".") + "/" + kTableFileName;
        omahaEvaluator().attach(loadOmahaTable(path));
        return omahaEvaluator().usable();
    }();
    return usable;
}

// Five board cards (in the order dealt) and seven further cards, all distinct.
struct Deal {
    std::array<CardId, kBoardCards> board;
    std::array<CardId, kMaxHoleCards> hole;
};

inline Deal randomDeal(std::mt19937_64& rng) {
    std::array<CardId, kDeckSize> deck{};
    for (int i = 0; i < kDeckSize; ++i) deck[i] = i;
    for (int i = 0; i < kBoardCards + kMaxHoleCards; ++i) {
        std::uniform_int_distribution<int> pick(i, kDeckSize - 1);
        std::swap(deck[i], deck[pick(rng)]);
    }
    Deal d{};
    std::copy_n(deck.begin(), kBoardCards, d.board.begin());
    std::copy_n(deck.begin() + kBoardCards, kMaxHoleCards, d.hole.begin());
    return d;
}

// For each deal, compares the table with the reference for the first 2, 3, ... 7 of the seven
// further cards (passed in ascending order), through evaluateOmaha and through the board state.
// Returns the number of hands compared; stops at the first disagreement.
inline long compareRandomDeals(int deals, std::uint64_t seed) {
    const Evaluator& ref = reference();
    std::mt19937_64 rng(seed);
    long compared = 0;
    for (int n = 0; n < deals; ++n) {
        const Deal d = randomDeal(rng);
        int pairValue[kMaxHoleCards][kMaxHoleCards] = {};
        for (int i = 0; i < kMaxHoleCards; ++i)
            for (int j = i + 1; j < kMaxHoleCards; ++j)
                pairValue[i][j] = ref.bestOfPair(d.hole[i], d.hole[j], d.board.data());
        const std::uint32_t state = omahaBoardState(d.board.data());
        for (int count = 2; count <= kMaxHoleCards; ++count) {
            int expected = 0;
            for (int i = 0; i < count; ++i)
                for (int j = i + 1; j < count; ++j) expected = std::max(expected, pairValue[i][j]);
            CardId sorted[kMaxHoleCards];
            cardsFromMask(maskFromCards({d.hole.data(), static_cast<std::size_t>(count)}), sorted);
            const HandValue value = evaluateOmaha(sorted, count, d.board.data());
            const HandValue fromState = evaluateOmahaFromState(state, sorted, count);
            EXPECT_EQ(value, expected) << "deal " << n << ", " << count << " hole cards";
            EXPECT_EQ(fromState, value) << "deal " << n << ", " << count << " hole cards";
            if (value != expected || fromState != value) return compared;
            ++compared;
        }
    }
    return compared;
}

}  // namespace varnel::testref
