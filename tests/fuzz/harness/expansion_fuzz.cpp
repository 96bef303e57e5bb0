// Fuzz target of the hand patterns: one term given straight to the dispatcher, for hands of two
// and three cards and now and then four (larger hands name lists too long to build thousands of
// times a second).

#include "fuzz_input.h"
#include "range/hand_pattern.h"

using namespace varnel;

// One input in this many uses four-card hands, whose broadest terms name 270,725 hands.
constexpr int kFourCardShare = 16;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzz::Input in = fuzz::readInput(data, size, 2, 2);
    if (data[0] % kFourCardShare == 0) in.numCards = 4;
    HandList list{{~CardMask{0}}, in.numCards};  // what the list held must go
    const std::uint64_t count = expandHandPattern(in.text, list);
    fuzz::require(count == list.hands.size(), "the count is the list's length");
    fuzz::requireRealCards(list.hands);
    for (CardMask hand : list.hands) {
        const int cards = cardCount(hand);
        fuzz::require(cards == in.numCards || cards == 4, "hands of the hand size, or of four");
    }
    return 0;
}
