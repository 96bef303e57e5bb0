// Placeholder body of computeBreakdown: correct but slow (one computeEquity per hand). It lets the
// front ends link while the real one is built.

#include <algorithm>

#include "engine/breakdown.h"

namespace varnel {
namespace {

// Every hole-card set of `holeCount` cards that avoids `known`, in increasing mask order.
std::vector<CardMask> everyHand(int holeCount, CardMask known) {
    std::vector<CardMask> hands;
    std::vector<CardId> cards;
    for (CardId c = 0; c < kDeckSize; ++c)
        if (!(known & cardBit(c))) cards.push_back(c);
    std::vector<bool> pick(cards.size(), false);
    std::fill(pick.end() - holeCount, pick.end(), true);
    do {
        CardMask hand = 0;
        for (std::size_t i = 0; i < cards.size(); ++i)
            if (pick[i]) hand |= cardBit(cards[i]);
        hands.push_back(hand);
    } while (std::next_permutation(pick.begin(), pick.end()));
    std::sort(hands.begin(), hands.end());
    return hands;
}

}  // namespace

Breakdown computeBreakdown(const EquityRequest& request, int hero) {
    Breakdown out;
    out.hero = hero;
    out.result = computeEquity(request);
    if (out.result.end == RunEnd::Rejected || out.result.end == RunEnd::NoTable) return out;
    const CardMask known = request.boards[0] | request.boards[1] | request.deadCards;
    const std::vector<CardMask> hands =
        request.random[hero] ? everyHand(request.holeCount, known) : request.lists[hero].hands;
    EquityRequest one = request;
    one.random[hero] = false;
    one.progress = nullptr;
    one.lists[hero].hands.assign(1, 0);
    for (CardMask hand : hands) {
        if (request.stop && request.stop->load()) break;
        one.lists[hero].hands[0] = hand;
        const EquityResult r = computeEquity(one);
        HandEquity h{.hand = hand};
        if (r.deals > 0 && r.end != RunEnd::Rejected && r.end != RunEnd::NoValidDeal) {
            h.equity = r.players[hero].equity;
            h.win = r.players[hero].win;
            h.tie = r.players[hero].tie;
            h.outcomes = r.deals;
            h.stdError = r.players[hero].stdError;
        }
        out.hands.push_back(h);
    }
    return out;
}

}  // namespace varnel
