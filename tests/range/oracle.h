#pragma once
// Plain references for the range tests: every hand of a size by nested loops, rank and suit
// counts written without the library's helpers, and comparisons of an expander's output with
// the hands a predicate selects.

#include "core/cards.h"
#include "core/hand_list.h"
#include "range/hand_sets.h"
#include "tests/support/test_support.h"

namespace varnel::test {

using Expander = bool (*)(std::wstring_view, HandList&);

// Runs an expander on a fresh list of hand size n; `claimed` receives its answer.
inline Hands expand(Expander expander, std::wstring_view term, int n, bool* claimed = nullptr) {
    HandList list{{}, n};
    const bool result = expander(term, list);
    if (claimed) *claimed = result;
    return list.hands;
}

// The expander neither claims the term nor touches the list.
inline bool declines(Expander expander, std::wstring_view term, int n) {
    HandList list{{42}, n};
    return !expander(term, list) && list.hands == Hands{42};
}

// The expander claims the term and names no hand.
inline bool claimsNothing(Expander expander, std::wstring_view term, int n) {
    bool claimed = false;
    return expand(expander, term, n, &claimed).empty() && claimed;
}

// Every n-card hand, cards increasing within a hand, the lowest card varying slowest.
inline void allHandsFrom(int n, int first, CardMask so_far, Hands& out) {
    if (n == 0) return out.push_back(so_far);
    for (int c = first; c <= kDeckSize - n; ++c)
        allHandsFrom(n - 1, c + 1, so_far | (CardMask{1} << c), out);
}
inline Hands allHands(int n) {
    Hands out;
    allHandsFrom(n, 0, 0, out);
    return out;
}

// The n-card hands that satisfy `keep`, in the order of allHands.
template <typename Keep>
Hands handsWhere(int n, Keep keep) {
    Hands out;
    for (CardMask h : allHands(n))
        if (keep(h)) out.push_back(h);
    return out;
}

inline Hands sorted(Hands hands) {
    std::sort(hands.begin(), hands.end());
    return hands;
}

inline std::array<int, kRanks> rankCounts(CardMask hand) {
    std::array<int, kRanks> counts{};
    for (int c = 0; c < 52; ++c) counts[c % 13] += (hand >> c) & 1;
    return counts;
}
inline std::array<int, kSuits> suitCounts(CardMask hand) {
    std::array<int, kSuits> counts{};
    for (int c = 0; c < 52; ++c) counts[c / 13] += (hand >> c) & 1;
    return counts;
}
inline int mostOfOneRank(CardMask hand) {
    const auto counts = rankCounts(hand);
    return *std::max_element(counts.begin(), counts.end());
}
// Suit counts in descending order, zeros dropped: {2, 2} for a double-suited hand.
inline std::vector<int> suitShape(CardMask hand) {
    std::vector<int> shape;
    for (int n : suitCounts(hand))
        if (n) shape.push_back(n);
    std::sort(shape.rbegin(), shape.rend());
    return shape;
}
inline int rankIndex(wchar_t letter) {
    return static_cast<int>(std::wstring_view(L"23456789TJQKA").find(letter));
}

// The n-card hands holding at least as many cards of each rank as `letters` has letters of it
// (exactly as many with `exactly`), or the same ranks moved by i steps in `direction` (+1 up,
// -1 down) for some 0 < i <= maxShift that keeps every rank on the scale.
inline Hands withRanks(std::wstring_view letters, int n, bool exactly = false, int direction = 0,
                       int maxShift = 0) {
    return handsWhere(n, [&](CardMask h) {
        const auto counts = rankCounts(h);
        for (int i = 0; i <= maxShift; ++i) {
            bool all = true;
            for (wchar_t letter : letters) {
                const int r = rankIndex(letter) + direction * i;
                if (r < 0 || r >= kRanks) return false;
                const auto k = std::count(letters.begin(), letters.end(), letter);
                all = all && (exactly ? counts[r] == k : counts[r] >= k);
            }
            if (all) return true;
        }
        return false;
    });
}

inline bool strictlyAscending(const Hands& hands) {
    return std::adjacent_find(hands.begin(), hands.end(),
                              [](CardMask a, CardMask b) { return a >= b; }) == hands.end();
}
inline bool allDistinct(const Hands& hands) {
    return strictlyAscending(sorted(hands));
}

// How often each hand occurs.
inline std::map<CardMask, int> multiplicities(const Hands& hands) {
    std::map<CardMask, int> counts;
    for (CardMask h : hands) ++counts[h];
    return counts;
}

// The hands are those of `expected`, each once, in any order.
inline void expectSameHandsOnce(const Hands& hands, const Hands& expected) {
    EXPECT_TRUE(allDistinct(hands));
    EXPECT_TRUE(sorted(hands) == sorted(expected))
        << hands.size() << " hands, " << expected.size() << " expected";
}
// The same for the n-card hands (four by default) that satisfy `keep`.
template <typename Keep>
void expectSameHandsOnce(const Hands& hands, Keep keep, int n = 4) {
    expectSameHandsOnce(hands, handsWhere(n, keep));
}

}  // namespace varnel::test
