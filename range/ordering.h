#pragma once
// Percentage ranges: the best hands of an ordering of all hands of one hand size.

#include <cstdint>

#include "core/hand_list.h"

namespace varnel {

// Returns the hands of the classes of the ordering for `numCards` (4 to 7) whose cumulative
// percentage lies strictly below `percent`, in ordering order; the list carries `numCards`.
HandList selectTopPercent(std::int32_t numCards, double percent);

}  // namespace varnel
