// Each player's equity for every card that can come next on the first board: one computeEquity
// per card, on the board with that card added, in the request's mode.
//
// The weight of a card is the share of the request's outcomes in which it comes next. An exact
// run counts those outcomes. A sampled run has no such count, so its weights are estimated from
// the players' lists alone: the product over the players of the share of their hands that leave
// the card free (each random player's hands leave every card equally often). Cards blocked by
// one player's range against another's are weighed as if the ranges did not block each other.

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include "engine/breakdown.h"

namespace varnel {
namespace {

// The estimated weight of `card` when the outcomes are sampled (see above), before normalising.
double listWeight(const EquityRequest& request, CardId card) {
    double weight = 1;
    const CardMask known = request.boards[0] | request.boards[1] | request.deadCards;
    for (int p = 0; p < request.playerCount; ++p) {
        if (request.random[p]) continue;
        std::int64_t live = 0, free = 0;
        for (CardMask hand : request.lists[p].hands) {
            if (hand & known) continue;
            ++live;
            free += (hand & cardBit(card)) == 0;
        }
        if (live > 0) weight *= static_cast<double>(free) / static_cast<double>(live);
    }
    return weight;
}

}  // namespace

NextCards computeNextCards(const EquityRequest& request) {
    NextCards out;
    const int onBoard = cardCount(request.boards[0]);
    if (onBoard != 3 && onBoard != 4) {
        out.end = RunEnd::Rejected;
        out.reason = "the first board is not a flop or a turn";
        return out;
    }
    const CardMask known = request.boards[0] | request.boards[1] | request.deadCards;
    std::vector<CardId> open;
    for (CardId c = 0; c < kDeckSize; ++c)
        if (!(known & cardBit(c))) open.push_back(c);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        request.now() +
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(request.seconds));
    EquityRequest next = request;
    next.progress = nullptr;
    bool sampled = false;
    double total = 0;
    std::optional<EquityResult> rejected;
    for (std::size_t i = 0; i < open.size(); ++i) {
        if (request.progress) request.progress(static_cast<int>(i * kProgressSteps / open.size()));
        if (request.seconds > 0) {
            next.seconds = std::chrono::duration<double>(deadline - request.now()).count();
            if (next.seconds <= 0) {
                out.end = RunEnd::TimeLimit;
                break;
            }
        }
        if (listWeight(request, open[i]) == 0) continue;  // a fixed hand holds the card
        next.boards[0] = request.boards[0] | cardBit(open[i]);
        const EquityResult r = computeEquity(next);
        if (r.end == RunEnd::NoTable) {
            out.end = r.end;
            return out;
        }
        if (r.end == RunEnd::Rejected) {
            // The card leaves one player no hand beside the others: it cannot come.
            rejected = r;
            continue;
        }
        if (r.end == RunEnd::Stopped || r.end == RunEnd::TimeLimit) out.end = r.end;
        if (r.deals == 0 || r.end == RunEnd::NoValidDeal) continue;
        sampled = sampled || r.mode == EquityMode::MonteCarlo;
        NextCard card{.card = open[i], .outcomes = r.deals};
        for (int p = 0; p < r.playerCount; ++p) card.equity[p] = r.players[p].equity;
        out.cards.push_back(card);
        if (out.end != RunEnd::Finished) break;
    }
    if (out.cards.empty() && rejected) {
        out.end = RunEnd::Rejected;
        out.reason = rejected->reason;
        return out;
    }
    out.mode = sampled ? EquityMode::MonteCarlo : EquityMode::Exact;
    for (NextCard& card : out.cards) {
        card.weight = sampled ? listWeight(request, card.card) : static_cast<double>(card.outcomes);
        total += card.weight;
    }
    for (NextCard& card : out.cards) card.weight = total > 0 ? card.weight / total : 0;
    return out;
}

}  // namespace varnel
