// Placeholder bodies of the breakdown functions: correct but slow (one computeEquity per hand or
// per card) and without hand classes. They let the front ends link while the real ones are built.

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

std::vector<ClassShare> classShares(const Breakdown&, CardMask, int) {
    return {};
}

NextCards computeNextCards(const EquityRequest& request) {
    NextCards out;
    const int onBoard = cardCount(request.boards[0]);
    if (onBoard != 3 && onBoard != 4) {
        out.end = RunEnd::Rejected;
        out.reason = "the first board is not a flop or a turn";
        return out;
    }
    EquityRequest next = request;
    next.progress = nullptr;
    std::int64_t total = 0;
    for (CardId c = 0; c < kDeckSize; ++c) {
        if ((request.boards[0] | request.boards[1] | request.deadCards) & cardBit(c)) continue;
        next.boards[0] = request.boards[0] | cardBit(c);
        const EquityResult r = computeEquity(next);
        if (r.deals == 0 || r.end == RunEnd::Rejected || r.end == RunEnd::NoValidDeal) continue;
        out.mode = r.mode;
        NextCard card{.card = c, .outcomes = r.deals};
        for (int p = 0; p < r.playerCount; ++p) card.equity[p] = r.players[p].equity;
        total += r.deals;
        out.cards.push_back(card);
    }
    for (NextCard& card : out.cards) card.weight = double(card.outcomes) / double(total);
    return out;
}

}  // namespace varnel
