#include "eval/table_walk.h"

#include <algorithm>
#include <cassert>
#include <type_traits>

#include "core/game.h"

namespace varnel {
namespace {

using DealStates = BoardState[kWalkMaxBoards];

std::uint32_t offset(WalkCard card) {
    return static_cast<std::uint32_t>(card);
}

// Asks for the cache line of a table entry that a later pass reads.
void prefetch(const OmahaEntry* t, std::uint32_t entry) {
    __builtin_prefetch(t + entry, 0, 1);
}

// Calls f with a hand's card count, as the constant N when it is N so that the loops over the
// cards of a full hand unroll; a shorter hand takes its own count (its own cards only).
template <int N, class F>
[[gnu::always_inline]] inline void withCount(int cards, F&& f) {
    if (cards == N)
        f(std::integral_constant<int, N>{});
    else
        f(cards);
}

// The hole-card stages of TableWalk::evaluate for hands of at most N cards: the states after
// each first hole card are prefetched, then read (prefetching the value entries they lead to),
// then the values read.
template <int N>
void handValues(const OmahaEntry* t, const WalkShape& shape, const WalkDeal* deals, int count,
                const DealStates* state, WalkValues* values) {
    const int hands = shape.hands;
    const int boards = shape.boards;
    for (int i = 0; i < count; ++i) {
        const WalkDeal& d = deals[i];
        for (int h = 0; h < hands; ++h) {
            withCount<N>(d.holeCards[h], [&](auto cards) {
                for (int b = 0; b < boards; ++b) {
                    for (int k = 0; k + 1 < cards; ++k)
                        prefetch(t, state[i][b] + offset(d.hole[h][k]));
                }
            });
        }
    }
    // The state after each first hole card of every hand, indexed like `values`.
    std::uint32_t after[kWalkMaxDeals][kWalkMaxHands][kWalkMaxBoards][kMaxHoleCards - 1];
    for (int i = 0; i < count; ++i) {
        const WalkDeal& d = deals[i];
        for (int h = 0; h < hands; ++h) {
            withCount<N>(d.holeCards[h], [&](auto cards) {
                for (int b = 0; b < boards; ++b) {
                    for (int k = 0; k + 1 < cards; ++k) {
                        const std::uint32_t s = t[state[i][b] + offset(d.hole[h][k])];
                        after[i][h][b][k] = s;
                        for (int j = k + 1; j < cards; ++j) prefetch(t, s + offset(d.hole[h][j]));
                    }
                }
            });
        }
    }
    for (int i = 0; i < count; ++i) {
        const WalkDeal& d = deals[i];
        for (int h = 0; h < hands; ++h) {
            withCount<N>(d.holeCards[h], [&](auto cards) {
                for (int b = 0; b < boards; ++b) {
                    HandValue best = 0;
                    for (int k = 0; k + 1 < cards; ++k) {
                        for (int j = k + 1; j < cards; ++j) {
                            const auto v =
                                static_cast<HandValue>(t[after[i][h][b][k] + offset(d.hole[h][j])]);
                            best = std::max(best, v);
                        }
                    }
                    values[i][h][b] = best;
                }
            });
        }
    }
}

}  // namespace

void TableWalk::evaluate(const WalkShape& shape, const WalkDeal* deals, int count,
                         WalkValues* values) const {
    assert(count <= kWalkMaxDeals && shape.holeCount <= kMaxHoleCards &&
           shape.hands <= kWalkMaxHands && shape.boards <= kWalkMaxBoards);
    const OmahaEntry* t = m_entries;
    const int boards = shape.boards;
    // The boards of all deals advance one card at a time.
    BoardState state[kWalkMaxDeals][kWalkMaxBoards];
    for (int i = 0; i < count; ++i) {
        for (int b = 0; b < boards; ++b) state[i][b] = deals[i].boardState[b];
    }
    for (int pos = shape.firstCard; pos < kBoardCards; ++pos) {
        for (int i = 0; i < count; ++i) {
            for (int b = 0; b < boards; ++b)
                state[i][b] = t[state[i][b] + offset(deals[i].board[b][pos])];
        }
    }
    withHoleCount(shape.holeCount, [&](auto n) {
        handValues<decltype(n)::value>(t, shape, deals, count, state, values);
    });
}

void TableWalk::pairValues(BoardState state, PairValues& values) const {
    const OmahaEntry* t = m_entries;
    // The row after each first card (the highest card never starts a pair), its lines asked
    // for before any value is read.
    std::uint32_t row[kDeckSize - 1];
    for (CardId a = 0; a + 1 < kDeckSize; ++a) {
        row[a] = t[state + kEvalIndex[a]];
        for (int e = 0; e < kDeckSize; e += kEntriesPerLine) prefetch(t, row[a] + e);
        prefetch(t, row[a] + kDeckSize - 1);
    }
    for (CardId a = 0; a < kDeckSize; ++a) {
        values[a][a] = 0;
        for (CardId b = a + 1; b < kDeckSize; ++b) {
            const auto v = static_cast<HandValue>(t[row[a] + kEvalIndex[b]]);
            values[a][b] = v;
            values[b][a] = v;
        }
    }
}

}  // namespace varnel
