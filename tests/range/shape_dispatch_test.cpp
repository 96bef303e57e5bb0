// The rank, four-card and walked shapes as the pattern dispatcher reaches them.
#include <gtest/gtest.h>

#include "range/hand_pattern.h"
#include "shape_reference.h"

namespace varnel {
namespace {

using namespace varnel::test;

HandList expand(std::wstring_view term, int n) {
    HandList list{{}, n};
    const std::uint64_t count = expandHandPattern(term, list);
    EXPECT_EQ(count, list.hands.size());
    return list;
}

TEST(ShapeDispatch, CountsOfTypicalTermsOfEachShape) {
    struct Case {
        const wchar_t* term;
        int n;
        std::size_t count;
    };
    for (const Case& c :
         std::vector<Case>{{L"A", 4, 76'145},     {L"AA", 4, 6'961},     {L"AK", 4, 17'316},
                           {L"AKQ", 4, 2'848},    {L"AAK", 4, 1'108},    {L"AKQJ", 5, 12'288},
                           {L"AKQJ", 4, 24},      {L"2222", 5, 48},      {L"xxyy", 4, 36'504},
                           {L"xxyz", 4, 158'184}, {L"xxxy", 4, 44'616},  {L"xxy", 4, 239'304},
                           {L"OORR", 4, 2'808},   {L"Axxy", 4, 45'000},  {L"Axxyy", 4, 10'368},
                           {L"AKQT-", 4, 2'304},  {L"999-", 5, 1'544},   {L"8-", 4, 260'099},
                           {L"$0G", 4, 2'560},    {L"$1g", 4, 6'912},    {L"$2G", 4, 6'144},
                           {L"AAKQ", 5, 96},      {L"5532+", 6, 960},    {L"As", 4, 20'825},
                           {L"*", 4, 270'725},    {L"RR", 4, 87'685},    {L"RRR", 4, 2'509},
                           {L"RRRR", 4, 13},      {L"RRRR", 5, 624},     {L"AsKsXxXx", 4, 1'225},
                           {L"AsKsQs", 4, 49},    {L"AsKsQsJsTs", 4, 1}, {L"XhXhXhXh", 4, 715},
                           {L"hh", 4, 69'667}}) {
        EXPECT_EQ(expand(c.term, c.n).hands.size(), c.count)
            << std::string(c.term, c.term + std::wcslen(c.term)) << " n=" << c.n;
    }
}

TEST(ShapeDispatch, RainbowRuleTakesFourLetterTermsForFourCards) {
    EXPECT_TRUE(expand(L"KQJ-", 4).hands.empty());
    EXPECT_TRUE(expand(L"999-", 4).hands.empty());
    EXPECT_EQ(multiplicities(expand(L"AAKQ", 4).hands).size(), 12u);
    EXPECT_EQ(expand(L"2222", 4).hands, std::vector<CardMask>(24, handOf(L"2c2d2h2s")));
    // Other sizes reach the walks, which still build four-card hands.
    for (CardMask h : expand(L"KQJ-", 6).hands) ASSERT_EQ(cardCount(h), 4);
    for (CardMask h : expand(L"Axxy", 6).hands) ASSERT_EQ(cardCount(h), 4);
}

TEST(ShapeDispatch, Equivalences) {
    EXPECT_EQ(sorted(expand(L"AK", 4).hands), sorted(expand(L"KA", 4).hands));
    EXPECT_EQ(sorted(expand(L"T9+", 5).hands), sorted(expand(L"9T+", 5).hands));
    const HandList aak = expand(L"AAK", 6);
    EXPECT_EQ(expand(L"AKA", 6).hands, aak.hands);
    EXPECT_EQ(expand(L"KAA", 6).hands, aak.hands);
    EXPECT_TRUE(expand(L"54-KQ", 4).hands.empty());
    EXPECT_FALSE(expand(L"KQ-54", 4).hands.empty());
    EXPECT_TRUE(allDistinct(expand(L"QQ+", 4).hands));
    EXPECT_EQ(sorted(expand(L"AA-22", 4).hands), sorted(expand(L"RR", 4).hands));
    EXPECT_EQ(expand(L"AK+", 5).hands, expand(L"AK", 5).hands);
    // The rank ceiling from the ace is every hand; from the deuce, every hand with a deuce.
    EXPECT_EQ(sorted(expand(L"A-", 4).hands), sorted(expand(L"*", 4).hands));
    EXPECT_EQ(sorted(expand(L"2-", 4).hands), sorted(expand(L"2", 4).hands));
}

}  // namespace
}  // namespace varnel
