// Range expressions on a parse-tree grammar:
//   rangeExpr     := intersectExpr ("," intersectExpr)*
//   intersectExpr := exceptExpr (":" exceptExpr)*
//   exceptExpr    := factor ("!" factor)*
//   factor        := term | "(" rangeExpr ")" | "," factor
//   term          := one or more characters other than , : ( ) !
// The tree is evaluated bottom-up with set operations on hand lists.
#include "range/range_expression.h"

#include <algorithm>
#include <boost/spirit/include/classic_chset.hpp>
#include <boost/spirit/include/classic_core.hpp>
#include <boost/spirit/include/classic_parse_tree.hpp>
#include <cctype>
#include <charconv>
#include <climits>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "core/report.h"
#include "range/hand_pattern.h"
#include "range/hand_sets.h"
#include "range/ordering.h"

namespace varnel {
namespace {

namespace spirit = BOOST_SPIRIT_CLASSIC_NS;

enum RuleId : long { kRangeRule = 1, kIntersectRule, kExceptRule, kFactorRule, kTermRule };

constexpr char kUnion = ',';
constexpr char kIntersection = ':';
constexpr char kDifference = '!';
constexpr char kOpen = '(';
constexpr char kClose = ')';

struct RangeGrammar : spirit::grammar<RangeGrammar> {
    template <typename Scanner>
    struct definition {
        template <long Id>
        using Rule = spirit::rule<Scanner, spirit::parser_context<>, spirit::parser_tag<Id>>;
        Rule<kRangeRule> rangeExpr;
        Rule<kIntersectRule> intersectExpr;
        Rule<kExceptRule> exceptExpr;
        Rule<kFactorRule> factor;
        Rule<kTermRule> term;

        explicit definition(const RangeGrammar&) {
            rangeExpr = intersectExpr >> *(spirit::ch_p(kUnion) >> intersectExpr);
            intersectExpr = exceptExpr >> *(spirit::ch_p(kIntersection) >> exceptExpr);
            exceptExpr = factor >> *(spirit::ch_p(kDifference) >> factor);
            factor = term | (spirit::ch_p(kOpen) >> rangeExpr >> spirit::ch_p(kClose)) |
                     (spirit::ch_p(kUnion) >> factor);
            term = spirit::leaf_node_d[+(~spirit::chset_p(",:()!"))];
        }
        const Rule<kRangeRule>& start() const { return rangeExpr; }
    };
};

using Iterator = const char*;
using ParseInfo = spirit::tree_parse_info<Iterator>;
using Node = spirit::tree_node<spirit::node_val_data<Iterator>>;

// Replaces every occurrence of `from` by `to`, left to right, without rescanning the output.
std::wstring replaceAll(std::wstring_view text, std::wstring_view from, std::wstring_view to) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(from, pos)) != std::wstring_view::npos;
         pos = hit + from.size()) {
        out.append(text, pos, hit - pos);
        out.append(to);
    }
    out.append(text, pos);
    return out;
}

// Blanks removed, "$nt" spelled out as the exclusion of "RRR", the five honour letters in upper
// case, then narrowed to bytes. Only 7-bit ASCII narrows; any other character makes the text
// unreadable (false), so that no locale can turn it into term characters of its own choosing.
bool normalise(const std::wstring& text, std::string& narrow) {
    std::wstring wide = replaceAll(text, L" ", L"");
    wide = replaceAll(wide, L"$nt", L"!RRR");
    for (const auto& [lower, upper] :
         {std::pair{L'a', L'A'}, {L'k', L'K'}, {L'q', L'Q'}, {L'j', L'J'}, {L't', L'T'}}) {
        std::replace(wide.begin(), wide.end(), lower, upper);
    }
    narrow.clear();
    narrow.reserve(wide.size());
    for (wchar_t c : wide) {
        if (c < 0 || c > 0x7F) return false;
        narrow.push_back(static_cast<char>(c));
    }
    return true;
}

// An upper bound of the recursion the grammar needs for `text`: every "(" opens a level until
// its ")", and every comma that opens a factor (at the start or after "(", ",", ":" or "!")
// opens one until that factor ends.
int nestingDepth(std::string_view text) {
    std::vector<int> pendingCommas{0};  // per open parenthesis, plus the outermost level
    int depth = 0, deepest = 0;
    char previous = kOpen;
    for (char c : text) {
        const bool opensFactor = previous == kOpen || previous == kUnion ||
                                 previous == kIntersection || previous == kDifference;
        if (c == kOpen) {
            pendingCommas.push_back(0);
            ++depth;
        } else if (c == kClose) {
            if (pendingCommas.size() > 1) {
                depth -= 1 + pendingCommas.back();
                pendingCommas.pop_back();
            }
            depth -= pendingCommas.back();
            pendingCommas.back() = 0;
        } else if (c == kUnion && opensFactor) {
            ++pendingCommas.back();
            ++depth;
        } else if (c != kUnion && c != kIntersection && c != kDifference) {
            depth -= pendingCommas.back();  // a term ends the comma-led factors before it
            pendingCommas.back() = 0;
        }
        deepest = std::max(deepest, depth);
        previous = c;
    }
    return deepest;
}

// Parses the whole text; the grammar is built once and shared, so parses are serialised.
bool parseTree(const std::string& text, ParseInfo& info) {
    static const RangeGrammar grammar;
    static std::mutex parseMutex;
    std::lock_guard lock(parseMutex);
    info = spirit::pt_parse(text.data(), text.data() + text.size(), grammar);
    return info.full && info.trees.size() == 1;
}

long ruleOf(const Node& node) {
    return node.value.id().to_long();
}

// Operator characters and parentheses are leaves of the tree; rules are inner nodes.
bool isLeaf(const Node& node) {
    return node.children.empty();
}
char leafChar(const Node& node) {
    return node.value.begin() == node.value.end() ? 0 : *node.value.begin();
}

void appendText(const Node& node, std::string& out) {
    out.append(node.value.begin(), node.value.end());
    for (const Node& child : node.children) appendText(child, out);
}

// A term's characters without trailing whitespace.
std::string_view trimmedTerm(std::string_view term) {
    while (!term.empty() && std::isspace(static_cast<unsigned char>(term.back())))
        term.remove_suffix(1);
    return term;
}

// The percentage of a term holding a "%": a plain decimal number above 0 and at most 100,
// then "%" and nothing else. Anything else ("0x10%", "10%x", "1.5.5%", "%", "nan%", "-5%",
// "0%", "101%") is no percentage. The number is read the same way under every locale.
std::optional<double> percentOf(std::string_view term) {
    if (term.empty() || term.back() != '%') return std::nullopt;
    const std::string_view number = term.substr(0, term.size() - 1);
    const auto digits =
        std::count_if(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
    const auto points = std::count(number.begin(), number.end(), '.');
    if (digits == 0 || points > 1 || digits + points != std::ssize(number)) return std::nullopt;
    double percent = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), percent,
                                           std::chars_format::fixed);
    if (ec != std::errc() || end != number.data() + number.size()) return std::nullopt;
    if (!(percent > 0 && percent <= 100)) return std::nullopt;
    return percent;
}

// The state of one evaluation: the hand size, its limits, and why it ended early (the first
// ordering that could not serve, a list over the limit, the stop flag).
struct Evaluation {
    std::int32_t numCards = 0;
    const RangeLimits& limits;
    RangeStatus status = RangeStatus::Read;
    std::wstring orderingProblem;

    bool over() const { return status != RangeStatus::Read; }
    // Records a list of `size` hands; false once the reading must end.
    bool admit(std::size_t size) {
        if (!over() && size > limits.maxHands) status = RangeStatus::TooLarge;
        if (!over() && limits.stop && limits.stop->load(std::memory_order_relaxed))
            status = RangeStatus::Stopped;
        return !over();
    }
};

Hands evaluateTerm(std::string_view narrow, Evaluation& e) {
    const std::string_view text = trimmedTerm(narrow);
    if (text.find('%') != std::string_view::npos) {
        constexpr std::int32_t kFirstOrdering = 4, kLastOrdering = 7;
        if (e.numCards < kFirstOrdering || e.numCards > kLastOrdering) return {};
        TopHands top = selectTopPercent(e.numCards, *percentOf(text));
        if (top.problem.empty()) return std::move(top.list.hands);
        e.orderingProblem = std::move(top.problem);
        e.status = RangeStatus::OrderingUnavailable;
        return {};
    }
    std::wstring term(text.begin(), text.end());
    std::erase_if(term, [](wchar_t c) { return c == L'[' || c == L']'; });
    HandList list;
    list.numCards = e.numCards;
    expandHandPattern(term, list);
    return std::move(list.hands);
}

// True when every term of the tree that holds a "%" is a percentage term; comma-led factors,
// which are not evaluated, are read as well.
bool termsReadable(const Node& node) {
    if (ruleOf(node) == kTermRule) {
        std::string text;
        appendText(node, text);
        const std::string_view term = trimmedTerm(text);
        return term.find('%') == std::string_view::npos || percentOf(term).has_value();
    }
    return std::all_of(node.children.begin(), node.children.end(), termsReadable);
}

Hands evaluate(const Node& node, Evaluation& e);

// A level of the grammar: its first operand combined with each following one in turn.
Hands evaluateChain(const Node& node, Evaluation& e) {
    std::optional<HandsChain> chain;
    char op = 0;
    for (const Node& child : node.children) {
        if (isLeaf(child)) {
            op = leafChar(child);
            continue;
        }
        Hands operand = evaluate(child, e);
        if (!e.admit(operand.size())) return {};
        if (!chain) {
            chain.emplace(std::move(operand));
        } else if (op == kUnion) {
            chain->unite(operand);
        } else if (op == kIntersection) {
            chain->intersect(operand);
        } else {
            chain->subtract(operand);
        }
        if (!e.admit(chain->result().size())) return {};
    }
    return chain ? chain->take() : Hands{};
}

Hands evaluate(const Node& node, Evaluation& e) {
    if (e.over()) return {};  // the result is void: evaluate nothing more
    switch (ruleOf(node)) {
        case kRangeRule:
        case kIntersectRule:
        case kExceptRule:
            return evaluateChain(node, e);
        case kFactorRule: {
            const Node& head = node.children.front();
            if (!isLeaf(head)) return evaluate(head, e);  // a term
            if (leafChar(head) == kOpen) return evaluate(node.children[1], e);
            return {};  // a comma-led factor names nothing; what follows it is not evaluated
        }
        case kTermRule: {
            std::string text;
            appendText(node, text);
            return evaluateTerm(text, e);
        }
        default:
            return {};
    }
}

}  // namespace

RangeStatus readRangeExpression(const std::wstring& text, std::int32_t numCards, HandList& out,
                                const RangeLimits& limits, std::wstring* orderingProblem) {
    out.hands.clear();
    out.numCards = numCards;
    std::string narrow;
    if (!normalise(text, narrow) || nestingDepth(narrow) > kMaxRangeNesting)
        return RangeStatus::Unreadable;
    ParseInfo info;
    if (!parseTree(narrow, info) || !termsReadable(info.trees.front()))
        return RangeStatus::Unreadable;
    Evaluation e{numCards, limits, RangeStatus::Read, {}};
    Hands hands = evaluate(info.trees.front(), e);
    if (e.status == RangeStatus::OrderingUnavailable) {
        if (orderingProblem) {
            *orderingProblem = std::move(e.orderingProblem);
        } else {
            reportToUser(e.orderingProblem, L"File error");
        }
    }
    if (e.admit(hands.size())) out.hands = std::move(hands);
    return e.status;
}

std::int32_t parseRangeExpression(const std::wstring& text, std::int32_t numCards, HandList& out,
                                  std::wstring* orderingProblem) {
    switch (readRangeExpression(text, numCards, out, RangeLimits{}, orderingProblem)) {
        case RangeStatus::Read:
            return static_cast<std::int32_t>(std::min<std::size_t>(out.hands.size(), INT32_MAX));
        case RangeStatus::OrderingUnavailable:
            return kRangeOrderingUnavailable;
        default:
            return kRangeUnreadable;
    }
}

}  // namespace varnel
