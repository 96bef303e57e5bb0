#pragma once
// The expanders of the hand-pattern language: one per pattern shape, all with one contract.
// An expander receives the term (blanks removed, a/k/q/j/t upper-cased, brackets removed) and
// the output list, which is empty and carries the hand size in `numCards`. It returns false
// (declined) without touching the list when the term is not its shape, or true (claimed) after
// appending zero or more hands. Four-card shapes build four-card hands whatever the hand size.

#include <string_view>

#include "core/hand_list.h"

namespace varnel {

// Card and suit patterns (card_patterns.cpp).
bool expandSingleCard(std::wstring_view term, HandList& list);
bool expandCardList(std::wstring_view term, HandList& list);
bool expandPartialHand(std::wstring_view term, HandList& list);
bool expandCardWithSuit(std::wstring_view term, HandList& list);
bool expandSuitPair(std::wstring_view term, HandList& list);
bool expandRankRepeat(std::wstring_view term, HandList& list);
bool expandAllHands(std::wstring_view term, HandList& list);

// Rank patterns: X, XX, XXX, XXXX, XY, XYZ, XXY (any order), XYZW (rank_patterns.cpp).
bool expandRankSet(std::wstring_view term, HandList& list);

// Four-card shapes (four_card_shapes.cpp).
bool expandRainbowRanks(std::wstring_view term, HandList& list);
bool expandPairAndTwo(std::wstring_view term, HandList& list);
bool expandTwoPair(std::wstring_view term, HandList& list);
bool expandRankAtMost(std::wstring_view term, HandList& list);
bool expandSuitedRank(std::wstring_view term, HandList& list);
bool expandSuitDistribution(std::wstring_view term, HandList& list);
bool expandDoubleSuitedRank(std::wstring_view term, HandList& list);

// Walked patterns (walked_patterns.cpp).
bool expandRundowns(std::wstring_view term, HandList& list);
bool expandPairsUp(std::wstring_view term, HandList& list);
bool expandTwoRanksUp(std::wstring_view term, HandList& list);
bool expandThreeRanksDown(std::wstring_view term, HandList& list);
bool expandFourRanksDown(std::wstring_view term, HandList& list);
bool expandPairAndTwoUp(std::wstring_view term, HandList& list);
bool expandTripsDown(std::wstring_view term, HandList& list);
bool expandTwoRankSpan(std::wstring_view term, HandList& list);

}  // namespace varnel
