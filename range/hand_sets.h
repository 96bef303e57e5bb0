#pragma once
// Set operations on hand sequences. Hands compare by mask value; each operation sorts a copy
// of one side (or of both) and searches or merges, so the cost is O((m + n) log n).

#include <vector>

#include "core/cards.h"

namespace varnel {

using Hands = std::vector<CardMask>;

// The hands of `left`, in its order, that `right` does not hold; repeats within `left` stay.
Hands handsDifference(const Hands& left, const Hands& right);

// `left` in its order, then every hand of `right`, in its order, that `left` does not hold
// (a hand repeated in `right` and absent from `left` is appended once per repeat).
Hands handsUnion(Hands left, const Hands& right);

// The hands both hold, ascending by mask value; a hand m times in one side and n times in the
// other occurs min(m, n) times.
Hands handsIntersection(const Hands& left, const Hands& right);

}  // namespace varnel
