#pragma once
// Reference for the engine tests, independent of the evaluator table: the strength of a
// five-card hand computed from its ranks and suits, and the Omaha value as the best of every
// two-hole-card plus three-board-card combination.

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/cards.h"
#include "eval/omaha_eval.h"

namespace varnel::test {

// Category (0 high card ... 8 straight flush) times 16^5 plus the ranks that break ties, most
// significant first. Only the order matters.
inline int fiveCardStrength(const CardId (&cards)[5]) {
    int count[kRanks] = {};
    bool flush = true;
    for (CardId c : cards) {
        ++count[rankOf(c)];
        flush = flush && suitOf(c) == suitOf(cards[0]);
    }
    // Ranks ordered by (count, rank), strongest first.
    std::array<int, 5> order{};
    int n = 0;
    for (int k = 4; k >= 1; --k) {
        for (int r = kRanks - 1; r >= 0; --r) {
            if (count[r] == k) {
                for (int i = 0; i < k; ++i) order[n++] = r;
            }
        }
    }
    int straightTop = -1;
    const bool distinct = order[0] != order[1] && order[1] != order[2] && order[2] != order[3] &&
                          order[3] != order[4];
    if (distinct && order[0] - order[4] == 4) straightTop = order[0];
    if (distinct && order[0] == 12 && order[1] == 3) straightTop = 3;  // five-high
    int category;
    if (straightTop >= 0 && flush)
        category = 8;
    else if (count[order[0]] == 4)
        category = 7;
    else if (count[order[0]] == 3 && count[order[3]] == 2)
        category = 6;
    else if (flush)
        category = 5;
    else if (straightTop >= 0)
        category = 4;
    else if (count[order[0]] == 3)
        category = 3;
    else if (count[order[0]] == 2 && count[order[2]] == 2)
        category = 2;
    else if (count[order[0]] == 2)
        category = 1;
    else
        category = 0;
    int value = category;
    if (straightTop >= 0) return value * (1 << 20) + straightTop;
    for (int r : order) value = value * 16 + r;
    return value;
}

// Best strength of two of the hole cards and three of the five board cards.
inline int plainOmaha(const std::vector<CardId>& hole, const CardId (&board)[5]) {
    int best = -1;
    for (std::size_t i = 0; i < hole.size(); ++i) {
        for (std::size_t j = i + 1; j < hole.size(); ++j) {
            for (int a = 0; a < 5; ++a) {
                for (int b = a + 1; b < 5; ++b) {
                    for (int c = b + 1; c < 5; ++c) {
                        const CardId five[5] = {hole[i], hole[j], board[a], board[b], board[c]};
                        best = std::max(best, fiveCardStrength(five));
                    }
                }
            }
        }
    }
    return best;
}

// Cards of a run of codes such as "AsKd7h"; aborts the test program on a bad code.
inline std::vector<CardId> cards(const std::wstring& codes) {
    CardMask mask = 0;
    if (!parseCardRun(codes, mask)) std::abort();
    return cardsFromMask(mask);
}

inline CardMask mask(const std::wstring& codes) {
    CardMask m = 0;
    if (!parseCardRun(codes, m)) std::abort();
    return m;
}

// Shares of one deal on one board: 1/k for each of the k best players, in player order.
inline std::vector<double> boardShares(const std::vector<std::vector<CardId>>& hands,
                                       const CardId (&board)[5]) {
    std::vector<int> values;
    for (const auto& h : hands) values.push_back(plainOmaha(h, board));
    const int best = *std::max_element(values.begin(), values.end());
    const auto winners = std::count(values.begin(), values.end(), best);
    std::vector<double> shares;
    for (int v : values) shares.push_back(v == best ? 1.0 / static_cast<double>(winners) : 0.0);
    return shares;
}

// Loads the evaluator table from VARNEL_DATA_DIR into the process-wide evaluator once; false
// when it is not there.
inline bool loadTestTable() {
    if (omahaEvaluator().usable()) return true;
    const char* dir = std::getenv("VARNEL_DATA_DIR");
    if (!dir) return false;
    omahaEvaluator().attach(loadOmahaTable(std::string(dir) + "/omaha-7.bin"));
    return omahaEvaluator().usable();
}

}  // namespace varnel::test
