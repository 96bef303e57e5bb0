#pragma once
// Hand-class names. A name is built of rank characters from "23456789TJQKA": a group "(...)"
// holds cards of one suit, a rank outside parentheses is a bare card; every group and every bare
// card has a suit of its own, so "(AK)(AK)" is AhKh AsKs and "(AKQ)32" is AsKsQs 3h 2d (and
// every suit permutation of these).

#include <cstdint>
#include <string_view>

#include "core/hand_list.h"

namespace varnel {

// Appends every hand of the class `name` to `list`, each once, and returns how many were
// appended. Names outside the notation (another character, an empty, nested or unclosed group,
// a rank twice in one group, more than four groups and bare cards) append nothing, and so do
// names whose card count differs from list.numCards when that is positive.
std::int32_t expandHandClass(std::string_view name, HandList& list);

// Number of hands of a 6-card class. A name without a group cannot name six cards; it counts 0
// and is reported to the user as "String <name>".
std::int32_t countSixCardClass(std::string_view name);

}  // namespace varnel
