#pragma once
// Plain references for the range tests: every hand of a size by nested loops, counts from
// combinatorics, and small predicates written without the library's helpers.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/cards.h"
#include "core/hand_list.h"

namespace varnel::test {

inline std::uint64_t choose(int n, int k) {
    if (k < 0 || k > n) return 0;
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i) r = r * static_cast<std::uint64_t>(n - k + i) / i;
    return r;
}

// Every n-card hand, cards increasing within a hand, the lowest card varying slowest.
inline void allHandsFrom(int n, int first, CardMask so_far, std::vector<CardMask>& out) {
    if (n == 0) {
        out.push_back(so_far);
        return;
    }
    for (int c = first; c <= kDeckSize - n; ++c)
        allHandsFrom(n - 1, c + 1, so_far | (CardMask{1} << c), out);
}
inline std::vector<CardMask> allHands(int n) {
    std::vector<CardMask> out;
    allHandsFrom(n, 0, 0, out);
    return out;
}

template <typename Pred>
std::vector<CardMask> handsWhere(int n, Pred pred) {
    std::vector<CardMask> out;
    for (CardMask h : allHands(n)) {
        if (pred(h)) out.push_back(h);
    }
    return out;
}

inline int countOfRank(CardMask hand, int rank) {
    int k = 0;
    for (int suit = 0; suit < 4; ++suit) k += (hand >> (rank + 13 * suit)) & 1;
    return k;
}
inline int countOfSuit(CardMask hand, int suit) {
    int k = 0;
    for (int rank = 0; rank < 13; ++rank) k += (hand >> (rank + 13 * suit)) & 1;
    return k;
}
inline int mostOfOneRank(CardMask hand) {
    int best = 0;
    for (int r = 0; r < 13; ++r) best = std::max(best, countOfRank(hand, r));
    return best;
}
inline CardMask card(const wchar_t* code) {
    return CardMask{1} << cardIdFromCode(code);
}

inline bool strictlyAscending(const std::vector<CardMask>& hands) {
    return std::adjacent_find(hands.begin(), hands.end(),
                              [](CardMask a, CardMask b) { return a >= b; }) == hands.end();
}
inline bool allDistinct(std::vector<CardMask> hands) {
    std::sort(hands.begin(), hands.end());
    return std::adjacent_find(hands.begin(), hands.end()) == hands.end();
}

inline HandList listOf(int numCards) {
    HandList list;
    list.numCards = numCards;
    return list;
}

}  // namespace varnel::test
