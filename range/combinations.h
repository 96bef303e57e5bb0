#pragma once
// k-of-n card enumeration shared by the expanders. Both enumerators walk the combinations of
// `k` cards drawn from a pool (CardIds in ascending order) without allocating, OR each with a
// fixed `base` mask and hand the result to `visit`, which returns false to stop the walk early.

#include <cassert>
#include <cstdint>

#include "core/cards.h"
#include "core/game.h"

namespace varnel {

// A pool of candidate cards in ascending CardId order.
struct CardPool {
    CardId cards[kDeckSize];
    int size = 0;
};

// The cards of the deck that are not in `excluded`, in ascending order.
inline CardPool poolWithout(CardMask excluded) {
    CardPool pool;
    for (CardId c = 0; c < kDeckSize; ++c) {
        if (!(excluded & cardBit(c))) pool.cards[pool.size++] = c;
    }
    return pool;
}

// Lexicographic order: increasing CardId within a hand, the lowest card varying slowest.
// Returns false when `visit` stopped the walk. 0 <= k <= kMaxHoleCards.
template <typename Visit>
bool forEachCombination(const CardPool& pool, int k, CardMask base, Visit&& visit) {
    assert(k >= 0 && k <= kMaxHoleCards);
    if (k == 0) return visit(base);
    const int n = pool.size;
    if (k > n) return true;
    int idx[kMaxHoleCards];
    CardMask prefix[kMaxHoleCards + 1];  // prefix[i]: base plus the cards at positions < i
    prefix[0] = base;
    for (int i = 0; i < k; ++i) {
        idx[i] = i;
        prefix[i + 1] = prefix[i] | cardBit(pool.cards[i]);
    }
    const int last = k - 1;
    for (;;) {
        // Innermost position: only the last card moves.
        for (int j = idx[last]; j <= n - 1; ++j) {
            if (!visit(prefix[last] | cardBit(pool.cards[j]))) return false;
        }
        int i = last - 1;
        while (i >= 0 && idx[i] == n - k + i) --i;
        if (i < 0) return true;
        ++idx[i];
        prefix[i + 1] = prefix[i] | cardBit(pool.cards[idx[i]]);
        for (int j = i + 1; j < k; ++j) {
            idx[j] = idx[j - 1] + 1;
            prefix[j + 1] = prefix[j] | cardBit(pool.cards[idx[j]]);
        }
    }
}

// Ascending mask order (the highest card varying slowest). Since `base` adds the same bits to
// every combination, the visited masks are ascending as unsigned numbers too.
// 0 <= k <= kMaxHoleCards.
template <typename Visit>
bool forEachCombinationAscending(const CardPool& pool, int k, CardMask base, Visit&& visit) {
    assert(k >= 0 && k <= kMaxHoleCards);
    if (k == 0) return visit(base);
    const int n = pool.size;
    if (k > n) return true;
    // idx[0] is the highest card, idx[k-1] the lowest.
    int idx[kMaxHoleCards];
    CardMask prefix[kMaxHoleCards + 1];  // prefix[i]: base plus the cards at positions < i
    prefix[0] = base;
    for (int i = 0; i < k; ++i) {
        idx[i] = k - 1 - i;
        prefix[i + 1] = prefix[i] | cardBit(pool.cards[idx[i]]);
    }
    const int last = k - 1;
    for (;;) {
        const int lowestLimit = last == 0 ? n : idx[last - 1];
        for (int j = idx[last]; j < lowestLimit; ++j) {
            if (!visit(prefix[last] | cardBit(pool.cards[j]))) return false;
        }
        // Advance the lowest position that can still move up, resetting the ones below it.
        int i = last - 1;
        while (i >= 0 && idx[i] + 1 >= (i == 0 ? n : idx[i - 1])) --i;
        if (i < 0) return true;
        ++idx[i];
        prefix[i + 1] = prefix[i] | cardBit(pool.cards[idx[i]]);
        for (int j = i + 1; j < k; ++j) {
            idx[j] = k - 1 - j;
            prefix[j + 1] = prefix[j] | cardBit(pool.cards[idx[j]]);
        }
    }
}

}  // namespace varnel
