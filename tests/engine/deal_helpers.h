#pragma once
// Helpers for the engine tests: cards from codes, the shares of one deal by the reference
// evaluator of the evaluator tests (independent of the table), and the table for the tests.

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/cards.h"
#include "eval/omaha_eval.h"
#include "eval/reference_eval.h"

namespace varnel::test {

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
    static const testref::Evaluator reference;
    std::vector<int> values;
    for (const auto& h : hands) {
        values.push_back(reference.bestOmaha(h.data(), static_cast<int>(h.size()), board));
    }
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
