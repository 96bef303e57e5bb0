#include "range/shape_helpers.h"

#include <utility>

#include "range/hand_sets.h"

namespace varnel {

void appendNew(HandList& accumulated, const HandList& step) {
    accumulated.hands = handsUnion(std::move(accumulated.hands), step.hands);
}

HandBitset fourCardHandsOf(const HandList& list) {
    HandBitset set(kFourCards);
    for (CardMask hand : list.hands) {
        if (set.fits(hand)) set.insert(hand);
    }
    return set;
}

}  // namespace varnel
