#pragma once
// Exact equities for the engine tests, by enumerating every deal with the reference evaluator
// (independent of the table and of the engine's dealing).

#include "core/cards.h"
#include "core/game.h"
#include "tests/support/reference_eval.h"
#include "tests/support/test_support.h"

namespace varnel::test {

// Calls f(chosen | s) for every set s of k cards of `pool`.
template <typename F>
void forEachSubset(CardMask pool, int k, CardMask chosen, F&& f) {
    if (k == 0) return f(chosen);
    if (cardCount(pool) < k) return;
    const CardMask lowest = pool & (~pool + 1);
    forEachSubset(pool & ~lowest, k - 1, chosen | lowest, f);
    forEachSubset(pool & ~lowest, k, chosen, f);
}

// Each player's share of one full board: 1/k for each of the k best hands.
inline std::vector<double> boardShares(const std::vector<CardMask>& hands, CardMask board) {
    const std::vector<CardId> b = cardsFromMask(board);
    std::vector<int> values;
    for (CardMask h : hands) {
        const std::vector<CardId> c = cardsFromMask(h);
        values.push_back(reference().bestOmaha(c.data(), static_cast<int>(c.size()), b.data()));
    }
    const int best = *std::max_element(values.begin(), values.end());
    const auto winners = static_cast<double>(std::count(values.begin(), values.end(), best));
    std::vector<double> shares;
    for (int v : values) shares.push_back(v == best ? 1 / winners : 0);
    return shares;
}

// The first player's exact equity when the board is completed from `live` in every way. A player
// given as 0 is random: each of its hands of `randomCards` live cards is dealt in turn, and the
// board is completed from the cards left.
inline double exactEquity(std::vector<CardMask> players, CardMask board, CardMask live,
                          int randomCards = 0) {
    const auto random = std::find(players.begin(), players.end(), CardMask{0});
    double sum = 0;
    long deals = 0;
    forEachSubset(live, random == players.end() ? 0 : randomCards, 0, [&](CardMask hand) {
        if (random != players.end()) *random = hand;
        forEachSubset(live & ~hand, kBoardCards - cardCount(board), board, [&](CardMask full) {
            sum += boardShares(players, full)[0];
            ++deals;
        });
    });
    return sum / static_cast<double>(deals);
}

}  // namespace varnel::test
