#pragma once
// Batched walks of the evaluator table for callers that evaluate many hands on many boards.
//
// A walk is bound by memory latency (each read depends on the one before), so the speed comes
// from keeping many independent reads under way: the boards of a whole batch of deals advance
// card by card side by side, then the hole cards of every hand go in prefetching stages. The
// cards and states used here are opaque: make cards with walkCard and states with a TableWalk.

#include <array>
#include <cstdint>

#include "core/cards.h"
#include "core/game.h"  // kMaxHoleCards
#include "eval/omaha_eval.h"

namespace varnel {

// A card in the walk's own numbering; only walkCard makes one.
enum class WalkCard : std::uint8_t {};

inline WalkCard walkCard(CardId card) {
    return WalkCard{kEvalIndex[card]};
}

inline constexpr int kCacheLine = 64;  // bytes
inline constexpr int kEntriesPerLine = kCacheLine / sizeof(OmahaEntry);

inline constexpr int kWalkMaxDeals = 64;  // deals in one batch
inline constexpr int kWalkMaxHands = 10;  // hands in one deal
inline constexpr int kWalkMaxBoards = 2;  // boards in one deal

// One deal of a batch: each board as a state and the board cards still to walk from it, and the
// hands that are evaluated on every board.
struct WalkDeal {
    BoardState boardState[kWalkMaxBoards];        // after the board's first WalkShape::firstCard
    WalkCard board[kWalkMaxBoards][kBoardCards];  // positions firstCard..4 are walked
    WalkCard hole[kWalkMaxHands][kMaxHoleCards];  // each hand in ascending CardId order
    std::uint8_t holeCards[kWalkMaxHands];        // 0..WalkShape::holeCount
};

// What the deals of a batch share.
struct WalkShape {
    int holeCount = 4;  // 2..kMaxHoleCards: the most cards of any hand
    int hands = 2;      // 1..kWalkMaxHands per deal
    int boards = 1;     // 1..kWalkMaxBoards per deal
    int firstCard = 0;  // 0..kBoardCards: board positions already walked into boardState
};

// Value of hand h of deal i on board b, at [i][h][b].
using WalkValues = HandValue[kWalkMaxHands][kWalkMaxBoards];

// The value of every pair of cards on one finished board, at [a][b] and [b][a] by CardId.
using PairValues = std::array<std::array<HandValue, kDeckSize>, kDeckSize>;

// Walks the table of the process-wide evaluator as it is when the walk is made (all values 0
// while no usable table is attached); the table must stay attached while the walk is used.
class TableWalk {
  public:
    TableWalk() : m_entries(omahaEvaluator().entries()) {}

    // The state before any board card.
    BoardState boardStart() const { return kStartState; }

    // The state after one more board card; five cards, in any order, finish a board.
    BoardState advanceBoard(BoardState state, WalkCard card) const {
        return m_entries[state + static_cast<std::uint32_t>(card)];
    }

    // Asks for the entries that advanceBoard reads from `state`, for a walk that will go on from
    // it soon.
    void prefetchNext(BoardState state) const {
        for (int e = 0; e < kDeckSize; e += kEntriesPerLine)
            __builtin_prefetch(m_entries + state + e);
        __builtin_prefetch(m_entries + state + kDeckSize - 1);
    }

    // Writes values[i] for deals[0 .. count), count <= kWalkMaxDeals: the value of each hand on
    // each board, as evaluateOmaha gives it for the hand's own cards (0 with fewer than two).
    // A hand's cards must differ from one another and from the cards of the board.
    void evaluate(const WalkShape& shape, const WalkDeal* deals, int count,
                  WalkValues* values) const;

    // Fills `values` for the finished board `state`: the value of every two cards that are not
    // on the board; entries of a card with itself or with a board card are unspecified.
    void pairValues(BoardState state, PairValues& values) const;

  private:
    const OmahaEntry* m_entries;
};

}  // namespace varnel
