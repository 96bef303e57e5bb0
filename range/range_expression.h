#pragma once
// Range expressions: terms (hand patterns or percentages) combined with "," (union), ":"
// (intersection) and "!" (difference), grouped with parentheses.

#include <cstdint>
#include <string>

#include "core/hand_list.h"

namespace varnel {

// Deepest nesting of parentheses and comma-led operands a text may have; deeper texts do not
// parse (the parser recurses once per level).
inline constexpr int kMaxRangeNesting = 100;

// Normalises and parses `text` and fills `out` with the hands it names for hands of `numCards`
// cards. Returns the number of hands, or -1 when the text does not parse (`out` is then empty).
// `out.numCards` is `numCards` in every case. A text holding a character outside 7-bit ASCII
// does not parse. Call from one thread at a time (the ordering caches are not locked).
std::int32_t parseRangeExpression(const std::wstring& text, std::int32_t numCards, HandList& out);

}  // namespace varnel
