#pragma once
// Pieces shared by the rank, four-card and walked shape expanders.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/cards.h"
#include "core/hand_list.h"
#include "range/combinations.h"
#include "range/hand_sets.h"

namespace varnel {

inline constexpr int kFourCards = 4;

// Rank index (0 = deuce ... 12 = ace) of an upper-case rank letter, or -1 for any other character.
constexpr int rankFromLetter(wchar_t c) {
    const auto pos = kRankChars.find(c);
    return pos == std::wstring_view::npos ? -1 : static_cast<int>(pos);
}

// The mask of the card of `rank` in `suit`.
constexpr CardMask cardOf(int rank, int suit) {
    return cardBit(makeCard(rank, suit));
}

// Appends to `accumulated`, in the order of `step`, every hand of `step` that `accumulated` did
// not hold before the call; repeats inside `step` are not detected.
void appendNew(HandList& accumulated, const HandList& step);

// The ranks of a pair-and-two shape: a pair and two single ranks, low below high.
struct PairAndTwoRanks {
    int pair = 0;
    int low = 0;
    int high = 0;
};

// Reads four rank letters holding exactly three distinct ranks; false for anything else.
bool readPairAndTwo(std::wstring_view letters, PairAndTwoRanks& ranks);

// Appends the 96 four-card hands of the pair and the two singles (pair suits lowest first, the
// pair's lower card varying slowest, then the low card's suit, then the high card's).
void appendPairAndTwoHands(HandList& list, const PairAndTwoRanks& ranks);

// The four-card hands of `list` as a set, for expanders that must not repeat a hand while
// building in an order where the same hand comes up more than once.
HandBitset fourCardHandsOf(const HandList& list);

}  // namespace varnel
