#include "range/shape_helpers.h"

#include <utility>

#include "range/hand_sets.h"

namespace varnel {

namespace {

// kChoose[c][i] = binomial(c, i + 1): the colexicographic weight of card c in position i of an
// ascending four-card hand.
constexpr auto kChoose = [] {
    std::array<std::array<std::uint32_t, kFourCards>, kDeckSize> table{};
    for (int c = 0; c < kDeckSize; ++c) {
        for (int i = 0; i < kFourCards; ++i) {
            table[c][i] = static_cast<std::uint32_t>(binomial(c, i + 1));
        }
    }
    return table;
}();

constexpr std::uint64_t kFourCardHands = binomial(kDeckSize, kFourCards);

// Position of a four-card hand among all C(52, 4) hands, in 0 .. kFourCardHands - 1.
std::uint32_t fourCardIndex(CardMask hand) {
    std::uint32_t index = 0;
    for (int i = 0; i < kFourCards; ++i) {
        index += kChoose[std::countr_zero(hand)][i];
        hand &= hand - 1;
    }
    return index;
}

}  // namespace

void appendNew(HandList& accumulated, const HandList& step) {
    accumulated.hands = handsUnion(std::move(accumulated.hands), step.hands);
}

FourCardHandSet::FourCardHandSet(const HandList& list) : m_bits((kFourCardHands + 63) / 64, 0) {
    for (CardMask hand : list.hands) {
        if (cardCount(hand) == kFourCards) insert(hand);
    }
}

bool FourCardHandSet::insert(CardMask hand) {
    const std::uint32_t index = fourCardIndex(hand);
    const std::uint64_t bit = std::uint64_t{1} << (index % 64);
    std::uint64_t& word = m_bits[index / 64];
    if (word & bit) return false;
    word |= bit;
    return true;
}

}  // namespace varnel
