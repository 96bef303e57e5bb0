// The cost model of the exact enumeration: outcomes, estimated seconds of both strategies on
// one core, and memory, from which the automatic mode chooses and the exact mode refuses.
#include <algorithm>
#include <cmath>
#include <string>

#include "engine/exact_internal.h"

namespace varnel {
namespace exact {

Costs costs(const DealPlan& plan) {
    Costs c;
    const int boards = plan.boardsInPlay();
    const int need = kBoardCards - plan.fixedBoardCards();
    const int deck = kDeckSize - cardCount(plan.blocked);
    c.listCombos = 1;
    int left = deck;  // cards not held by the fixed and listed hands, at least
    for (int p = 0; p < plan.players; ++p) {
        const Candidates& cand = plan.candidates[p];
        if (cand.count == 0) {
            ++c.randomPlayers;
            continue;
        }
        c.listCombos *= cand.count;
        c.listHands += cand.count;
        left -= cand.minCards;
    }
    const double boardOutcomes =
        static_cast<double>(binomial(left, need)) *
        (boards == 2 ? static_cast<double>(binomial(left - need, need)) : 1);
    left -= need * boards;
    // Random players in turn, from the cards the boards leave; the last is the one counted by
    // nested loops.
    double combos = c.listCombos;  // combinations the pair strategy walks for each board
    double slotSets = 0;
    for (int r = 0; r < c.randomPlayers; ++r) {
        const double sets = static_cast<double>(binomial(left, plan.holeCount));
        if (r + 1 < c.randomPlayers) {
            combos *= sets;
            c.randomLists += static_cast<double>(binomial(deck, plan.holeCount));
        } else {
            slotSets = sets;
        }
        left -= plan.holeCount;
    }
    c.outcomes = boardOutcomes * combos * std::max(slotSets, 1.0);
    c.walkSeconds =
        c.randomPlayers || c.listCombos > kMaxWalkCombos
            ? HUGE_VAL
            : c.listCombos * boardOutcomes * plan.players * boards * kWalkSecondsPerHand;
    c.pairSeconds =
        boardOutcomes *
        (boards * kPairTableSeconds + (c.listHands + c.randomLists) * boards * kListHandSeconds +
         combos * (kComboSeconds + slotSets * boards * (plan.holeCount - 1) * kRandomRowSeconds));
    return c;
}

// Bytes an enumeration holds: the hands of every player but the one counted by nested loops,
// and per thread a Worker with, for the pair tables, an item's scratch and valued copy of those
// hands, or, for fixed hands, the board counts; fixed hands keep their combinations too.
double exactBytes(const Costs& c, int players, int threads) {
    const double hands = c.listHands + c.randomLists;
    double shared = hands * sizeof(Hand);
    double perThread = sizeof(Worker);
    if (c.walk()) {
        shared += c.listCombos * players * sizeof(CardMask);
        perThread += kMaxBoardCountBytes;
    } else {
        perThread += sizeof(Scratch) + hands * sizeof(Valued);
    }
    return shared + threads * perThread;
}

std::string megabytes(double bytes) {
    return std::to_string(static_cast<long long>(std::ceil(bytes / (1 << 20)))) + " MB";
}

}  // namespace exact

ExactEstimate estimateExact(const DealPlan& plan, int threads) {
    using namespace exact;
    const Costs c = costs(plan);
    const double bytes = exactBytes(c, plan.players, threads);
    return {bytes <= kMaxExactBytes, c.outcomes, std::min(c.walkSeconds, c.pairSeconds), bytes};
}

}  // namespace varnel
