#pragma once
// Reference tools for the shape tests on top of the plain oracle: rank and suit counts, and
// comparisons of an expander's output with the hands a predicate selects.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/cards.h"
#include "core/hand_list.h"
#include "oracle.h"

namespace varnel::test {

using Expander = bool (*)(std::wstring_view, HandList&);

// Runs an expander on a fresh list of hand size n; `claimed` receives its answer.
inline HandList runExpander(Expander expand, std::wstring_view term, int n,
                            bool* claimed = nullptr) {
    HandList list{{}, n};
    const bool result = expand(term, list);
    if (claimed) *claimed = result;
    return list;
}

// The n-card hands that satisfy `keep`, in ascending mask order.
template <typename Keep>
std::vector<CardMask> referenceHands(int n, Keep keep) {
    std::vector<CardMask> hands = handsWhere(n, keep);
    std::sort(hands.begin(), hands.end());
    return hands;
}

inline std::array<int, kRanks> rankCounts(CardMask hand) {
    std::array<int, kRanks> counts{};
    for (CardId c = 0; c < kDeckSize; ++c) counts[rankOf(c)] += (hand >> c) & 1;
    return counts;
}

inline std::array<int, kSuits> suitCounts(CardMask hand) {
    std::array<int, kSuits> counts{};
    for (CardId c = 0; c < kDeckSize; ++c) counts[suitOf(c)] += (hand >> c) & 1;
    return counts;
}

// Suit counts in descending order, zeros dropped: {2, 2} for a double-suited hand.
inline std::vector<int> suitShape(CardMask hand) {
    std::vector<int> shape;
    for (int n : suitCounts(hand)) {
        if (n) shape.push_back(n);
    }
    std::sort(shape.rbegin(), shape.rend());
    return shape;
}

inline int rankIndex(wchar_t letter) {
    return static_cast<int>(kRankChars.find(letter));
}

inline CardMask handOf(std::wstring_view codes) {
    CardMask mask = 0;
    EXPECT_TRUE(parseCardRun(codes, mask)) << "bad test hand";
    return mask;
}

inline std::vector<CardMask> sorted(std::vector<CardMask> hands) {
    std::sort(hands.begin(), hands.end());
    return hands;
}

// How often each hand occurs.
inline std::map<CardMask, int> multiplicities(const std::vector<CardMask>& hands) {
    std::map<CardMask, int> counts;
    for (CardMask h : hands) ++counts[h];
    return counts;
}

// The list names exactly the hands of `expected` (ascending, distinct), each once.
inline void expectSameHandsOnce(const HandList& list, const std::vector<CardMask>& expected) {
    EXPECT_EQ(list.hands.size(), expected.size());
    EXPECT_TRUE(allDistinct(list.hands));
    EXPECT_TRUE(sorted(list.hands) == expected);
}

}  // namespace varnel::test
