// Fuzz target of the expression level: normalisation, the grammar (percentage terms included)
// and the set operators, with the terms not expanded. Stand-ins for the dispatcher and the
// orderings name a few hands chosen by the term's text (so operands overlap and repeat); a
// reference parser written here from the language's rules evaluates the same text with the same set
// operations (tested on their own against plain scans), and both must agree.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <regex>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "range/hand_pattern.h"
#include "range/hand_sets.h"
#include "range/ordering.h"
#include "range/range_expression.h"

namespace varnel {
namespace {

// Up to three hands out of six one-card hands, picked by `key`.
Hands someHands(std::uint64_t key) {
    key = key * 0x9E3779B97F4A7C15ull + 1;
    Hands hands(key % 4);
    for (CardMask& hand : hands) hand = cardBit(static_cast<int>((key >>= 5) % 6));
    return hands;
}

std::uint64_t textKey(std::wstring_view text, int numCards) {
    std::uint64_t key = 1469598103934665603ull + static_cast<std::uint64_t>(numCards);
    for (wchar_t c : text) key = (key ^ static_cast<std::uint64_t>(c)) * 1099511628211ull;
    return key;
}

}  // namespace

// The stand-ins. A pattern reaches the dispatcher normalised, without brackets or operators, and
// with a "%" only when it starts with one.
std::uint64_t expandHandPattern(std::wstring_view term, HandList& list) {
    for (wchar_t c : term)
        fuzz::require(std::wstring_view(L" ,:()![]aqkjt").find(c) == std::wstring::npos,
                      "a normalised pattern");
    fuzz::require(term.find(L'%') == std::wstring::npos || term[0] == L'%', "no percentage");
    fuzz::require(list.hands.empty(), "an empty list");
    list.hands = someHands(textKey(term, list.numCards));
    return list.hands.size();
}

// Percentages from 50 up to 51 (exclusive) stand for an ordering that is not available.
TopHands selectTopPercent(std::int32_t numCards, double percent) {
    fuzz::require(numCards >= 4 && numCards <= 7, "an ordering's hand size");
    fuzz::require(percent > 0 && percent <= 100, "a percentage the grammar allows");
    if (percent >= 50 && percent < 51) return {{{}, numCards}, L"not available"};
    return {{someHands(static_cast<std::uint64_t>(std::floor(percent)) + 7), numCards}, {}};
}

namespace {

// The language's rules, written plainly.
struct Reference {
    std::string text;
    std::size_t at = 0;
    int numCards = 0;
    int skipping = 0;          // inside comma-led factors, which are parsed but not evaluated
    bool unreadable = false;   // a term with a "%" that is no percentage
    bool unavailable = false;  // an evaluated percentage without its ordering

    Hands term(std::string_view chars) {
        std::wstring t(chars.begin(), chars.end());
        while (!t.empty() && std::iswspace(static_cast<wint_t>(t.back()))) t.pop_back();
        if (t.find(L'%') != std::wstring::npos) {
            // Digits with at most one point, then "%"; above 0 and at most 100.
            static const std::wregex kPercent(L"([0-9]+[.]?[0-9]*|[.][0-9]+)%");
            const double percent = std::wcstod(t.c_str(), nullptr);
            if (!std::regex_match(t, kPercent) || percent <= 0 || percent > 100) {
                unreadable = true;
                return {};
            }
            if (numCards < 4 || numCards > 7 || skipping > 0) return {};
            TopHands top = selectTopPercent(numCards, percent);
            unavailable = unavailable || !top.problem.empty();
            return top.list.hands;
        }
        std::erase_if(t, [](wchar_t c) { return c == L'[' || c == L']'; });
        HandList list{{}, numCards};
        expandHandPattern(t, list);
        return list.hands;
    }

    bool next(char c) const { return at < text.size() && text[at] == c; }

    // One level: an operand, then operator-operand pairs while both match.
    template <typename Operand, typename Combine>
    bool chain(char op, Operand operand, Combine combine, Hands& out) {
        if (!(this->*operand)(out)) return false;
        for (std::size_t before = at; next(op); before = at) {
            ++at;
            Hands right;
            if (!(this->*operand)(right)) {
                at = before;
                break;
            }
            out = combine(out, right, SetMethod::sorted);  // the plain way, as a reference
        }
        return true;
    }
    bool rangeExpr(Hands& out) { return chain(',', &Reference::intersectExpr, handsUnion, out); }
    bool intersectExpr(Hands& out) {
        return chain(':', &Reference::exceptExpr, handsIntersection, out);
    }
    bool exceptExpr(Hands& out) { return chain('!', &Reference::factor, handsDifference, out); }
    bool factor(Hands& out) {
        const std::size_t start = at;
        const bool wasUnreadable = unreadable, wasUnavailable = unavailable;
        while (at < text.size() && std::string_view(",:()!").find(text[at]) == std::string::npos)
            ++at;
        if (at > start) {
            out = term(std::string_view(text).substr(start, at - start));
            return true;
        }
        Hands ignored;
        if (next('(')) {
            ++at;
            if (rangeExpr(out) && next(')')) {
                ++at;
                return true;
            }
        } else if (next(',')) {
            ++at;
            ++skipping;
            const bool parsed = factor(ignored);
            --skipping;
            if (parsed) {
                out.clear();  // parsed, not evaluated
                return true;
            }
        }
        at = start;
        unreadable = wasUnreadable;
        unavailable = wasUnavailable;
        return false;
    }

    // The count of the whole text, -1 when it does not parse, -2 when an ordering is missing.
    long evaluate(const std::wstring& typed, Hands& out) {
        std::wstring wide;
        for (wchar_t c : typed)
            if (c != L' ') wide += c;
        for (std::size_t i = 0; (i = wide.find(L"$nt", i)) != std::wstring::npos; i += 4)
            wide.replace(i, 3, L"!RRR");
        for (wchar_t c : wide) {
            if (c < 0 || c > 0x7F) return -1;
            const char narrow = static_cast<char>(c);
            text += narrow && std::strchr("akqjt", narrow) ? narrow - 'a' + 'A' : narrow;
        }
        const bool parsed = rangeExpr(out) && at == text.size() && !unreadable;
        if (parsed && !unavailable) return static_cast<long>(out.size());
        out.clear();
        return parsed ? kRangeOrderingUnavailable : kRangeUnreadable;
    }
};

}  // namespace
}  // namespace varnel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace varnel;
    if (size < 1) return 0;
    const fuzz::Input in = fuzz::readInput(data, size, 2, 6);
    HandList list;
    const std::int32_t count = parseRangeExpression(in.text, in.numCards, list);
    fuzz::require(list.numCards == in.numCards, "the hand size is set");
    fuzz::require(count < 0 ? list.hands.empty() : count == std::ssize(list.hands),
                  "the count is the list's length");
    // Deeper texts may be refused; below the limit no text can be deep.
    const auto opens = std::count_if(in.text.begin(), in.text.end(),
                                     [](wchar_t c) { return c == L'(' || c == L','; });
    if (opens > kMaxRangeNesting) return 0;
    Reference reference{.numCards = in.numCards};
    Hands expected;
    fuzz::require(reference.evaluate(in.text, expected) == count, "the reference's count");
    fuzz::require(expected == list.hands, "the reference's hands");
    return 0;
}
