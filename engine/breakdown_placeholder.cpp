// Placeholder bodies of the class and next-card functions: correct but slow (one computeEquity per
// card) and without hand classes. They let the front ends link while the real ones are built.

#include <algorithm>

#include "engine/breakdown.h"

namespace varnel {
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
