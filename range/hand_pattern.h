#pragma once
// The hand-pattern dispatcher: offers a term to the shapes in the language's binding order.

#include <cstdint>
#include <string_view>

#include "core/hand_list.h"

namespace varnel {

// Empties `list` and fills it with the hands of the first shape that claims `term` (hand size
// `list.numCards`); returns the number of hands. A term no shape claims, or an empty term,
// names no hands.
std::uint64_t expandHandPattern(std::wstring_view term, HandList& list);

}  // namespace varnel
