#pragma once
// Breakdowns of one player (the "hero") against the others: the equity of every hand of the
// hero's list, the hero's hands grouped by what they make on the board, and each player's equity
// for every card that can come next. They answer a study question where computeEquity answers
// one number per player.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/cards.h"
#include "engine/equity.h"

namespace varnel {

// One hand of the hero's list. An outcome is, as for computeEquity, one hand of every other
// player and a completion of each board, no card used twice, with the hero holding `hand`.
struct HandEquity {
    CardMask hand = 0;
    double equity = 0;          // mean share of the pot over the hand's outcomes
    double win = 0;             // fraction of them in which the hand takes the whole pot
    double tie = 0;             // fraction in which it takes part of the pot but not all
    std::int64_t outcomes = 0;  // enumerated (exact) or sampled outcomes; 0: the hand is dead
    double stdError = 0;        // standard error of `equity`; 0 when exact
};

struct Breakdown {
    // The aggregate over every outcome, as computeEquity would give it (mode, end, deals,
    // seconds and every player's figures).
    EquityResult result;
    int hero = 0;  // 0-based player index
    // Every hand of the hero's list in list order (for a random hero: every hole-card set of
    // the game that avoids the boards and the dead cards, in increasing mask order), dead hands
    // included with outcomes 0.
    std::vector<HandEquity> hands;
    // Heads-up with an opponent that holds a range or a random hand, when asked for: the same
    // for the opponent's hands against the hero; empty otherwise.
    std::vector<HandEquity> opponentHands;
};

// Computes `request` broken down by the hands of player `hero`. Exact where the enumeration is
// cheap (the automatic mode's rule) or the mode says so, Monte Carlo with per-hand tallies
// otherwise; the request's stop flag, time limit, progress callback and threads work as for
// computeEquity. The hands' outcome-weighted mean equity equals result.players[hero].equity.
// `withOpponent` also fills opponentHands (on the flop it about doubles the work).
Breakdown computeBreakdown(const EquityRequest& request, int hero, bool withOpponent = true);

// One row of the class table: the hero's live hands (outcomes > 0) of one class on the board.
struct ClassShare {
    std::string name;        // "top pair", "nut flush draw", ... as defined in the README
    std::int64_t hands = 0;  // live hands of the hero's list in the class
    double share = 0;        // hands / live hands of the list
    double equity = 0;       // outcome-weighted mean equity of those hands
};

// The hero's live hands grouped by class on the flop or turn `board` (3 or 4 cards): one row per
// made-hand class present and one per draw class present (a hand is counted in its made class and
// in its draw class, if any), made classes first, strongest first. Empty for other boards.
std::vector<ClassShare> classShares(const Breakdown& breakdown, CardMask board, int holeCount);

// One card that can come next on the first board.
struct NextCard {
    CardId card = kNoCard;
    std::int64_t outcomes = 0;  // outcomes of the request in which this card comes next
    double weight = 0;          // outcomes / all outcomes of the request
    std::array<double, kMaxPlayers> equity{};  // each player's equity when the card comes
};

struct NextCards {
    RunEnd end = RunEnd::Finished;
    EquityMode mode = EquityMode::Exact;
    std::string reason;           // with Rejected: why (e.g. the board is not a flop or turn)
    std::vector<NextCard> cards;  // in CardId order, only cards that can come
};

// Each player's equity for every card that can come next on the first board of `request` (a
// flop or a turn); the weighted mean of the cards' equities is each player's equity.
NextCards computeNextCards(const EquityRequest& request);

}  // namespace varnel
