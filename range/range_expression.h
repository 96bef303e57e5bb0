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

// Results of parseRangeExpression that are not hand counts.
inline constexpr std::int32_t kRangeUnreadable = -1;
inline constexpr std::int32_t kRangeOrderingUnavailable = -2;

// Normalises and parses `text` and fills `out` with the hands it names for hands of `numCards`
// cards. Returns the number of hands; kRangeUnreadable when the text does not parse;
// kRangeOrderingUnavailable when the ordering behind a percentage term is missing or not valid
// (range/ordering.h). `out` is empty in both cases, and `out.numCards` is `numCards` in every
// case. A percentage term is a decimal number above 0 and at most 100 ("10", "12.5", ".5")
// followed by "%" and nothing else (trailing whitespace aside); any other term holding a "%", and
// a text holding a character outside 7-bit ASCII, does not parse. Why an ordering is unavailable
// goes to `orderingProblem` when given, and otherwise to the user (reportToUser, caption "File
// error"). Call from one thread at a time (the ordering caches are not locked).
std::int32_t parseRangeExpression(const std::wstring& text, std::int32_t numCards, HandList& out,
                                  std::wstring* orderingProblem = nullptr);

// Bounds of one reading: a term or an intermediate result of more than `maxHands` hands ends it
// (so that a run of huge terms cannot exhaust memory), and so does a raised `stop`, looked at
// between terms.
struct RangeLimits {
    std::size_t maxHands = SIZE_MAX;
    const std::atomic<bool>* stop = nullptr;
};

enum class RangeStatus {
    Read,                 // `out` holds the hands the text names (possibly none)
    Unreadable,           // the text does not parse
    TooLarge,             // more than limits.maxHands hands at some step
    Stopped,              // the stop flag was raised
    OrderingUnavailable,  // the ordering behind a percentage term is missing or not valid
};

// parseRangeExpression within `limits`; `out` is empty unless the status is Read.
RangeStatus readRangeExpression(const std::wstring& text, std::int32_t numCards, HandList& out,
                                const RangeLimits& limits, std::wstring* orderingProblem = nullptr);

}  // namespace varnel
