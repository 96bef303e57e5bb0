#pragma once
// Range expressions: terms (hand patterns or percentages) combined with "," (union), ":"
// (intersection) and "!" (difference), grouped with parentheses.

#include <atomic>
#include <cstddef>
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

// Bounds of one reading: a term or an intermediate result of more than `maxHands` hands ends it
// (so that a run of huge terms cannot exhaust memory), and so does a raised `stop`, looked at
// between terms.
struct RangeLimits {
    std::size_t maxHands = SIZE_MAX;
    const std::atomic<bool>* stop = nullptr;
};

enum class RangeStatus {
    Read,        // `out` holds the hands the text names (possibly none)
    Unreadable,  // the text does not parse
    TooLarge,    // more than limits.maxHands hands at some step
    Stopped,     // the stop flag was raised
};

// parseRangeExpression within `limits`; `out` is empty unless the status is Read.
RangeStatus readRangeExpression(const std::wstring& text, std::int32_t numCards, HandList& out,
                                const RangeLimits& limits);

}  // namespace varnel
