// Range expressions: operator semantics on small hand-made operands, normalisation, failures.

#include "range/hand_sets.h"
#include "range/ordering.h"
#include "range/range_expression.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// Two-card hands name exactly one hand per term of two card codes, which makes small operands.
constexpr int kHoldem = 2;
const CardMask kAK = cards(L"AsKs");
const CardMask kQJ = cards(L"QhJh");
const CardMask k23 = cards(L"2c3c");

struct Result {
    std::int64_t count;
    Hands hands;
};

Result parse(const std::wstring& text, int numCards = kHoldem) {
    HandList list;
    list.numCards = -99;
    const std::int32_t count = parseRangeExpression(text, numCards, list);
    EXPECT_EQ(list.numCards, numCards) << "numCards is set in every case";
    if (count >= 0) {
        EXPECT_EQ(static_cast<std::size_t>(count), list.hands.size());
    }
    return {count, list.hands};
}

// Reference semantics written as plain pairwise scans.
Hands naiveDifference(const Hands& l, const Hands& r) {
    Hands out;
    for (CardMask h : l)
        if (std::find(r.begin(), r.end(), h) == r.end()) out.push_back(h);
    return out;
}
Hands naiveUnion(const Hands& l, const Hands& r) {
    Hands out = l;
    for (CardMask h : r)
        if (std::find(l.begin(), l.end(), h) == l.end()) out.push_back(h);
    return out;
}
Hands naiveIntersection(const Hands& l, const Hands& r) {
    Hands out;
    Hands pool = r;
    for (CardMask h : l) {
        auto it = std::find(pool.begin(), pool.end(), h);
        if (it != pool.end()) {
            out.push_back(h);
            pool.erase(it);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(HandSets, HandMadeOperandsWithRepeats) {
    const Hands left{5, 3, 5, 9, 1, 3}, right{3, 7, 7, 3, 3, 2};
    EXPECT_EQ(handsDifference(left, right), (Hands{5, 5, 9, 1}));
    EXPECT_EQ(handsUnion(left, right), (Hands{5, 3, 5, 9, 1, 3, 7, 7, 2}));
    EXPECT_EQ(handsIntersection(left, right), (Hands{3, 3}));
    EXPECT_EQ(handsIntersection(right, left), (Hands{3, 3}));
    EXPECT_EQ(handsIntersection(Hands{9, 4, 4, 4}, Hands{4, 9, 4}), (Hands{4, 4, 9}));
    EXPECT_TRUE(handsIntersection(left, {}).empty());
    EXPECT_EQ(handsDifference(left, {}), left);
    EXPECT_EQ(handsUnion({}, right), right);
}

TEST(HandSets, AgreeWithPairwiseScansOnRandomOperands) {
    std::mt19937_64 rng(20261206);
    for (int round = 0; round < 300; ++round) {
        std::uniform_int_distribution<int> size(0, 30), value(0, 12);
        Hands l(size(rng)), r(size(rng));
        for (auto& h : l) h = CardMask{1} << value(rng);
        for (auto& h : r) h = CardMask{1} << value(rng);
        ASSERT_EQ(handsDifference(l, r), naiveDifference(l, r));
        ASSERT_EQ(handsUnion(l, r), naiveUnion(l, r));
        ASSERT_EQ(handsIntersection(l, r), naiveIntersection(l, r));
    }
}

TEST(RangeExpression, UnionAndDifferenceKeepLeftOrderIntersectionAscends) {
    EXPECT_EQ(parse(L"QhJh,AsKs,2c3c").hands, (Hands{kQJ, kAK, k23}));
    EXPECT_EQ(parse(L"AsKs,QhJh,AsKs").hands, (Hands{kAK, kQJ}));
    EXPECT_EQ(parse(L"(AsKs,QhJh,2c3c)!QhJh").hands, (Hands{kAK, k23}));
    EXPECT_EQ(parse(L"(AsKs,2c3c,QhJh):(QhJh,AsKs)").hands, (Hands{kQJ, kAK}));
    EXPECT_EQ(parse(L"AsKs:QhJh").count, 0);
}

TEST(RangeExpression, PrecedenceAndAssociativity) {
    // "!" binds tighter than ":", which binds tighter than ",".
    EXPECT_EQ(parse(L"AsKs,QhJh!QhJh").hands, (Hands{kAK}));
    EXPECT_EQ(parse(L"(AsKs,QhJh)!QhJh").hands, (Hands{kAK}));
    EXPECT_EQ(parse(L"AsKs,QhJh:2c3c").hands, (Hands{kAK}));
    EXPECT_EQ(parse(L"(AsKs,QhJh):QhJh").hands, (Hands{kQJ}));
    EXPECT_EQ(parse(L"2c3c,AsKs!AsKs,QhJh").hands, (Hands{k23, kQJ}));
    EXPECT_EQ(parse(L"((2c3c))").hands, (Hands{k23}));
}

TEST(RangeExpression, CommaLedFactorsNameNothing) {
    EXPECT_EQ(parse(L",AsKs").count, 0);
    EXPECT_EQ(parse(L",AsKs,QhJh").hands, (Hands{kQJ}));
    EXPECT_EQ(parse(L"AsKs,,QhJh").hands, (Hands{kAK}));
    EXPECT_EQ(parse(L"AsKs,,QhJh,2c3c").hands, (Hands{kAK, k23}));
    EXPECT_EQ(parse(L"AsKs,,QhJh!2c3c:AsKs,2c3c").hands, (Hands{kAK, k23}));
    EXPECT_EQ(parse(L"AsKs!,AsKs").hands, (Hands{kAK}));
    EXPECT_EQ(parse(L"AsKs:,AsKs").count, 0);
    EXPECT_EQ(parse(L",(AsKs)").count, 0);
    EXPECT_EQ(parse(L"(,AsKs),QhJh").hands, (Hands{kQJ}));
}

TEST(RangeExpression, TextsThatDoNotParse) {
    for (const wchar_t* text :
         {L"", L"   ", L"(AsKs", L"AsKs)", L"()", L"AsKs,", L"AsKs!", L"AsKs:", L"AsKs!!QhJh",
          L"AsKs::QhJh", L"!AsKs", L":AsKs", L"AsKs(QhJh)", L"AsKs,!QhJh", L"AsKs:)", L"(AsKs,)",
          L",", L"AsKs,(", L"(QhJh))"}) {
        const Result r = parse(text);
        EXPECT_EQ(r.count, -1) << "'" << text << "'";
        EXPECT_TRUE(r.hands.empty());
    }
}

TEST(RangeExpression, Normalisation) {
    EXPECT_EQ(parse(L" A s K s ").hands, (Hands{kAK}));          // blanks, also inside a term
    EXPECT_EQ(parse(L"as ks, qh jh").hands, (Hands{kAK, kQJ}));  // honour letters upper-cased
    EXPECT_EQ(parse(L"ts9s").hands, (Hands{cards(L"Ts9s")}));
    EXPECT_EQ(parse(L"AS").count, 0);                 // suits keep their case
    EXPECT_EQ(parse(L"[AsKs]").hands, (Hands{kAK}));  // brackets removed
    EXPECT_EQ(parse(L"AsKs\t").hands, (Hands{kAK}));  // trailing whitespace
    EXPECT_EQ(parse(L"As\tKs").count, 0);             // a tab inside stays
    // "$nt" excludes the hands with three of a rank: here those with a third ace.
    EXPECT_EQ(parse(L"AsAd$nt", 4).count, std::int64_t(choose(50, 2) - (2 * 49 - 1)));
    EXPECT_EQ(parse(L"AsAd!RRR", 4).hands, parse(L"AsAd $nt", 4).hands);
    EXPECT_EQ(parse(L"AsAd$NT", 4).count, 0);  // upper case: an ordinary part of the term
}

TEST(RangeExpression, PercentageTermsFollowTheirGrammar) {
    // Read as percentages, these find no ordering in an empty working directory and say so; for
    // two-card hands, which have no ordering, they name nothing.
    const WorkingDir empty;
    const CapturedReports reports;
    resetOrderingCaches();
    const wchar_t* percentages[] = {L"10%", L"12.5%", L"100%",  L"0.5%",      L".5%",
                                    L"5.%", L"007%",  L"10%\t", L"AsKs,(1%)", L"1 0 %"};
    for (const wchar_t* text : percentages) {
        EXPECT_EQ(parse(text, 4).count, kRangeOrderingUnavailable) << text;
        EXPECT_GE(parse(text, 2).count, 0) << text;
    }
    EXPECT_EQ(reports.reports.size(), std::size(percentages));
    // Any other term holding a "%" does not parse, even where it would not be evaluated.
    for (const wchar_t* text :
         {L"0x10%", L"10%xyz", L"10.5.5%", L"%", L"nan%", L"-5%", L"0%", L"101%", L"100.001%",
          L"1e1%", L"inf%", L"+5%", L"%10", L"10%%", L"As%", L"AsKs,,10%x", L"10%,AsKs!5%%"}) {
        EXPECT_EQ(parse(text, 4).count, kRangeUnreadable) << text;
        EXPECT_EQ(parse(text, 2).count, kRangeUnreadable) << text;
    }
    EXPECT_EQ(reports.reports.size(), std::size(percentages));
}

TEST(RangeExpression, BracketsAreRemovedFromPatterns) {
    // Removing the brackets leaves no pattern; that is not the one-character pattern.
    EXPECT_EQ(parse(L"[]", 4).count, 0);
    EXPECT_EQ(parse(L"x", 4).count, std::int64_t(choose(52, 4)));
    EXPECT_EQ(parse(L"[]]", 2).count, 0);
}

TEST(RangeExpression, CharactersOutsideAsciiDoNotParse) {
    EXPECT_EQ(parse(L"AsKs\u00e9").count, -1);
    EXPECT_EQ(parse(L"AsKs,Q\u2665J\u2665").count, -1);
    EXPECT_EQ(parse(std::wstring(L"AsKs") + wchar_t(0x80)).count, -1);
    EXPECT_EQ(parse(wchar_t(0x7F) + std::wstring(L"AsKs")).count, 0);  // ASCII, but no shape
}

TEST(RangeExpression, HandSizesOutsideTheGamesAreSafe) {
    const std::wstring text = L"x,As,*,AsKs,RR,hh,Ash,XxXxXxXx,AsKsQsJs,AsKsXxXxXxXxXx,3%";
    for (int n : {-1, 0, 1, 8, 100}) EXPECT_GE(parse(text, n).count, 0) << n;
    EXPECT_EQ(parse(L"AsKsQsJs", 8).count, std::int64_t(choose(48, 4)));
    EXPECT_EQ(parse(L"x", 1).count, 52);
}

TEST(RangeExpression, NestingDepthIsBounded) {
    const auto nested = [](int depth) {
        return std::wstring(depth, L'(') + L"AsKs" + std::wstring(depth, L')');
    };
    EXPECT_EQ(parse(nested(kMaxRangeNesting)).hands, (Hands{kAK}));
    EXPECT_EQ(parse(nested(kMaxRangeNesting + 1)).count, -1);
    EXPECT_EQ(parse(nested(100000)).count, -1);
    EXPECT_EQ(parse(std::wstring(100000, L',') + L"AsKs").count, -1);
    // Long flat texts are not nested.
    std::wstring flat = L"AsKs";
    for (int i = 0; i < 2000; ++i) flat += L",(QhJh)";
    EXPECT_EQ(parse(flat).hands, (Hands{kAK, kQJ}));
    std::wstring commas = L"AsKs";
    for (int i = 0; i < 2000; ++i) commas += L",,2c3c";
    EXPECT_EQ(parse(commas).hands, (Hands{kAK}));
}

}  // namespace
}  // namespace varnel::test
