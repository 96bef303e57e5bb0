#include "eval/hand_category.h"

namespace varnel {

HandCategory categoryOf(std::int32_t value) {
    int upper = 0;
    for (int c = 0; c < kCategoryCount; ++c) {
        upper += kClassesPerCategory[c];
        if (value <= upper) return static_cast<HandCategory>(c);
    }
    return HandCategory::StraightFlush;
}

std::string_view categoryName(HandCategory category) {
    static constexpr std::string_view kNames[kCategoryCount] = {
        "high card", "one pair",   "two pair",       "three of a kind", "straight",
        "flush",     "full house", "four of a kind", "straight flush"};
    return kNames[static_cast<int>(category)];
}

}  // namespace varnel
