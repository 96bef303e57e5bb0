// libFuzzer target for parseRangeExpression. The first byte picks the hand size (2 to 7), the
// rest is the expression, one character per byte (bytes above 127 test the refusal of
// characters outside ASCII). Inputs that could name very large lists are skipped, so the run
// hunts crashes and undefined behaviour rather than memory.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "range/range_expression.h"

namespace {

constexpr int kMinHandSize = 2;
constexpr int kHandSizes = 6;           // 2 .. 7
constexpr int kMaxTerms = 12;           // operands per input
constexpr int kBroadUpTo = 3;           // hand sizes whose broadest term names at most 22,100 hands
constexpr int kBroadFourIn = 8;         // one input in this many may use broad four-card terms
constexpr std::size_t kNarrowTerm = 4;  // for larger hands, shorter terms may be broad

bool isOperator(char c) {
    return c == ',' || c == ':' || c == '(' || c == ')' || c == '!';
}

// True when no term of `text` can name a huge list for `numCards` (an estimate that follows the
// normalisation loosely: blanks and brackets out, "$nt" counted as the term "RRR", trailing
// whitespace cut from terms).
bool withinCap(const std::string& text, int numCards, bool broadFour) {
    std::string t;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "$nt") == 0) {
            t += "!RRR";
            i += 2;
        } else if (text[i] != ' ' && text[i] != '[' && text[i] != ']') {
            t += text[i];
        }
    }
    int terms = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= t.size(); ++i) {
        if (i < t.size() && !isOperator(t[i])) continue;
        std::string term = t.substr(start, i - start);
        start = i + 1;
        while (!term.empty() && std::isspace(static_cast<unsigned char>(term.back())))
            term.pop_back();
        if (term.empty()) continue;
        if (++terms > kMaxTerms) return false;
        // Percentages read ordering files, which are not the target here.
        if (term.find('%') != std::string::npos && numCards >= 4) return false;
        const bool broadAllowed = numCards <= kBroadUpTo || (numCards == 4 && broadFour);
        if (!broadAllowed &&
            (term.size() < kNarrowTerm || term.find_first_of("Xx*") != std::string::npos)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int numCards = kMinHandSize + data[0] % kHandSizes;
    const bool broadFour = (data[0] / kHandSizes) % kBroadFourIn == 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (!withinCap(bytes, numCards, broadFour)) return 0;
    std::wstring text;
    for (unsigned char c : bytes) text.push_back(static_cast<wchar_t>(c));

    varnel::HandList list;
    const std::int32_t count = varnel::parseRangeExpression(text, numCards, list);
    // The contract: the hand size is always set; -1 leaves the list empty; otherwise the count
    // is the list's length; hands hold only real cards and at most the hand size (or four).
    if (list.numCards != numCards) __builtin_trap();
    if (count < 0 && (count != -1 || !list.hands.empty())) __builtin_trap();
    if (count >= 0 && static_cast<std::size_t>(count) != list.hands.size()) __builtin_trap();
    for (varnel::CardMask hand : list.hands) {
        if (hand & ~varnel::kFullDeck) __builtin_trap();
        const int cards = varnel::cardCount(hand);
        if (cards > numCards && cards != 4) __builtin_trap();
    }
    return 0;
}
