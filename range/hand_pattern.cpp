#include "range/hand_pattern.h"

#include "range/expanders.h"

namespace varnel {
namespace {

using Expander = bool (*)(std::wstring_view, HandList&);

// The shapes after the rainbow rule, in binding order. Each expander recognises only its own
// forms. `expandRankSet` takes every rank-only shape (a rank, a pair, trips, quads, two and three
// distinct ranks, a pair with a kicker, four distinct ranks) with one call placed where the
// first of them binds: the shapes that bind between them (pairs up, two ranks up, three ranks
// down) each need a "+" or a "-", which no rank-only term holds, so the one call claims exactly
// what separate calls would. Likewise `expandSuitDistribution` takes "xxy" and "xxxy" as well as
// "xxyy" and "xxyz": the one shape between them (a rank letter followed by "xxyy") never accepts
// those four words.
constexpr Expander kChain[] = {
    expandRundowns,          // "$0G", "$1G", "$2G" (either case of the G)
    expandSingleCard,        // As
    expandRankSet,           // A, QQ, 777, 2222, AK, AKQ, AAK, AKQJ
    expandPairsUp,           // QQ+
    expandTwoRanksUp,        // T9+
    expandThreeRanksDown,    // KQJ-
    expandFourRanksDown,     // AKQT-
    expandPairAndTwo,        // AAKQ
    expandPairAndTwoUp,      // 5532+
    expandTripsDown,         // 999-
    expandTwoRankSpan,       // KQ-54
    expandCardList,          // AsKsXxXh
    expandPartialHand,       // AsKs, As*
    expandRankRepeat,        // "RRRR", "RRR", "RR"
    expandTwoPair,           // "OORR"
    expandRankAtMost,        // 8-
    expandSuitedRank,        // Axxy
    expandCardWithSuit,      // Ash
    expandSuitPair,          // "cc", "dd", "hh", "ss"
    expandSuitDistribution,  // "xxy", "xxxy", "xxyy", "xxyz"
    expandDoubleSuitedRank,  // Axxyy
    expandAllHands,          // "*"
};

// A rank character for the rainbow rule: a digit 2-9, or A, K, Q, J, T in either case.
bool isRainbowRankChar(wchar_t c) {
    return (c >= L'2' && c <= L'9') ||
           std::wstring_view(L"AKQJTakqjt").find(c) != std::wstring_view::npos;
}

// True when the term holds three or more rank characters in a row.
bool hasRankRun(std::wstring_view term) {
    int run = 0;
    for (wchar_t c : term) {
        run = isRainbowRankChar(c) ? run + 1 : 0;
        if (run >= 3) return true;
    }
    return false;
}

}  // namespace

std::uint64_t expandHandPattern(std::wstring_view term, HandList& list) {
    list.hands.clear();
    if (term.empty()) return 0;
    if (hasRankRun(term) && expandRainbowRanks(term, list)) return list.hands.size();
    for (Expander expand : kChain) {
        if (expand(term, list)) break;
    }
    return list.hands.size();
}

}  // namespace varnel
