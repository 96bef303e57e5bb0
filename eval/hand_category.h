#pragma once
// Categories of the 7462 five-card hand classes, in ascending strength.

#include <cstdint>
#include <string_view>

namespace varnel {

enum class HandCategory {
    HighCard,
    OnePair,
    TwoPair,
    Trips,
    Straight,
    Flush,
    FullHouse,
    Quads,
    StraightFlush
};

inline constexpr int kCategoryCount = 9;
// Number of distinct classes per category; their sum is 7462.
inline constexpr int kClassesPerCategory[kCategoryCount] = {1277, 2860, 858, 858, 10,
                                                            1277, 156,  156, 10};

// The category of a hand value 1..7462.
HandCategory categoryOf(std::int32_t value);

// "high card", "one pair", "two pair", "three of a kind", "straight", "flush", "full house",
// "four of a kind", "straight flush".
std::string_view categoryName(HandCategory category);

}  // namespace varnel
