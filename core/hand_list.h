#pragma once
// HandList: the ordered hands a range names, with the hole-card count of the game it was built
// for. Order is significant and the list is not de-duplicated as a whole. Hands built by the
// four-card shapes hold four cards whatever `numCards` says.

#include <cstdint>
#include <vector>

#include "core/cards.h"

namespace varnel {

struct HandList {
    std::vector<CardMask> hands;
    std::int32_t numCards = 0;
};

}  // namespace varnel
