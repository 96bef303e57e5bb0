#include <gtest/gtest.h>

#include "range/expanders.h"
#include "shape_reference.h"

namespace varnel {
namespace {

using namespace varnel::test;

// Strictly increasing as ascending card lists (the lowest card varying slowest).
bool inCardListOrder(const std::vector<CardMask>& hands) {
    for (std::size_t i = 1; i < hands.size(); ++i) {
        if (!(cardsFromMask(hands[i - 1]) < cardsFromMask(hands[i]))) return false;
    }
    return true;
}

TEST(SuitDistribution, WordsMatchTheirSuitShapes) {
    struct Case {
        const wchar_t* word;
        std::size_t count;
        std::function<bool(const std::vector<int>&)> shape;
    };
    const std::vector<Case> cases = {
        {L"xxyy", 36'504,
         [](const auto& s) {
             return s == std::vector<int>{2, 2};
         }},
        {L"xxyz", 158'184,
         [](const auto& s) {
             return s == std::vector<int>{2, 1, 1};
         }},
        {L"xxxy", 44'616,
         [](const auto& s) {
             return s == std::vector<int>{3, 1};
         }},
        {L"xxy", 239'304, [](const auto& s) { return s.size() == 2 || s.size() == 3; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        bool claimed = false;
        const HandList list = runExpander(expandSuitDistribution, c.word, 4, &claimed);
        EXPECT_TRUE(claimed);
        EXPECT_EQ(list.hands.size(), c.count);
        expectSameHandsOnce(list,
                            referenceHands(4, [&](CardMask h) { return c.shape(suitShape(h)); }));
        // The hand size of the list changes nothing.
        EXPECT_EQ(runExpander(expandSuitDistribution, c.word, 6).hands, list.hands);
    }
}

TEST(SuitDistribution, EnumerationOrder) {
    const HandList xxyy = runExpander(expandSuitDistribution, L"xxyy", 4);
    EXPECT_EQ(xxyy.hands.front(), handOf(L"2c3c2d3d"));
    EXPECT_EQ(xxyy.hands.back(), handOf(L"KhAhKsAs"));
    const HandList xxxy = runExpander(expandSuitDistribution, L"xxxy", 4);
    EXPECT_EQ(xxxy.hands[0], handOf(L"2c3c4c2d"));
    EXPECT_EQ(xxxy.hands[1], handOf(L"2c3c4c3d"));
    const HandList xxyz = runExpander(expandSuitDistribution, L"xxyz", 4);
    EXPECT_EQ(xxyz.hands[0], handOf(L"2c3c2d2h"));
    EXPECT_EQ(xxyz.hands[1], handOf(L"2c3c2d3h"));
    EXPECT_EQ(xxyz.hands.back(), handOf(L"KsAsAdAh"));
    EXPECT_TRUE(inCardListOrder(runExpander(expandSuitDistribution, L"xxy", 4).hands));
    HandList untouched{{7}, 4};
    EXPECT_FALSE(expandSuitDistribution(L"xyy", untouched));
    EXPECT_FALSE(expandSuitDistribution(L"XXYY", untouched));
    EXPECT_EQ(untouched.hands, std::vector<CardMask>{7});
}

// Some card of `rank` shares its suit with one or two other cards of the hand.
bool suitedRank(CardMask h, int rank) {
    const auto suits = suitCounts(h);
    for (int s = 0; s < kSuits; ++s) {
        if ((h & cardBit(makeCard(rank, s))) && (suits[s] == 2 || suits[s] == 3)) return true;
    }
    return false;
}

TEST(SuitedRank, NamesEveryHandWithTheRankSuitedOnce) {
    for (wchar_t letter : {L'A', L'7', L'2'}) {
        const int rank = rankIndex(letter);
        const std::wstring term = std::wstring(1, letter) + L"xxy";
        bool claimed = false;
        const HandList list = runExpander(expandSuitedRank, term, 6, &claimed);
        EXPECT_TRUE(claimed);
        EXPECT_EQ(list.hands.size(), 45'000u);
        expectSameHandsOnce(list,
                            referenceHands(4, [rank](CardMask h) { return suitedRank(h, rank); }));
    }
}

TEST(SuitedRank, KeepsTheFirstBuildOfEachHand) {
    const HandList list = runExpander(expandSuitedRank, L"Axxy", 4);
    EXPECT_EQ(list.hands.front(), handOf(L"Ac2c3c2d"));
    const auto where = [&](CardMask h) {
        return std::find(list.hands.begin(), list.hands.end(), h) - list.hands.begin();
    };
    // Both aces suited: kept where the hearts build put it, before every spade-anchored hand.
    const auto both = where(handOf(L"AsKsAhQh"));
    ASSERT_LT(both, static_cast<long>(list.hands.size()));
    EXPECT_LT(both, where(handOf(L"As2s3c4d")));
    EXPECT_GT(both, where(handOf(L"Ah2h3c4d")));
    EXPECT_EQ(where(handOf(L"AsKsQsJs")), static_cast<long>(list.hands.size()));
    EXPECT_EQ(where(handOf(L"AsKhQdJc")), static_cast<long>(list.hands.size()));
    HandList untouched{{}, 4};
    for (const wchar_t* term : {L"axxy", L"Axx", L"Axxyy", L"Axyy", L"xxxy"}) {
        EXPECT_FALSE(expandSuitedRank(term, untouched));
    }
    EXPECT_TRUE(untouched.hands.empty());
}

TEST(DoubleSuitedRank, IsTheDoubleSuitedHandsHoldingTheRank) {
    const HandList list = runExpander(expandDoubleSuitedRank, L"Axxyy", 5);
    EXPECT_EQ(list.hands.size(), 10'368u);
    expectSameHandsOnce(list, referenceHands(4, [](CardMask h) {
                            return suitShape(h) == std::vector<int>{2, 2} && rankCounts(h)[12] > 0;
                        }));
    EXPECT_EQ(list.hands.front(), handOf(L"2c3c2dAd"));  // first "xxyy" hand holding an ace
    EXPECT_EQ(runExpander(expandDoubleSuitedRank, L"Axxyy\t", 4).hands, list.hands);
    HandList untouched{{}, 4};
    EXPECT_FALSE(expandDoubleSuitedRank(L"Axxy", untouched));
    EXPECT_FALSE(expandDoubleSuitedRank(L"-xxyy", untouched));
}

TEST(TwoPair, HoldsExactlyTwoPairs) {
    const HandList list = runExpander(expandTwoPair, L"OORR", 7);
    EXPECT_EQ(list.hands.size(), 2'808u);
    expectSameHandsOnce(list, referenceHands(4, [](CardMask h) {
                            const auto r = rankCounts(h);
                            return std::count(r.begin(), r.end(), 2) == 2;
                        }));
    EXPECT_EQ(list.hands[0], handOf(L"2c2d3c3d"));
    EXPECT_EQ(list.hands[1], handOf(L"2c2d3c3h"));
    HandList untouched{{}, 4};
    EXPECT_FALSE(expandTwoPair(L"oorr", untouched));
}

TEST(PairAndTwo, NinetySixHandsOfThePairAndTheSingles) {
    for (const wchar_t* term : {L"AAKQ", L"KAQA", L"QKAA"}) {
        bool claimed = false;
        const HandList list = runExpander(expandPairAndTwo, term, 5, &claimed);
        EXPECT_TRUE(claimed);
        expectSameHandsOnce(list, referenceHands(4, [](CardMask h) {
                                const auto r = rankCounts(h);
                                return r[12] == 2 && r[11] == 1 && r[10] == 1;
                            }));
        EXPECT_EQ(list.hands.front(), handOf(L"AcAdQcKc"));
        EXPECT_EQ(list.hands[1], handOf(L"AcAdQcKd"));
    }
    HandList untouched{{}, 5};
    for (const wchar_t* term : {L"AAKK", L"AKQJ", L"AAAK", L"AAK", L"AAKx"}) {
        EXPECT_FALSE(expandPairAndTwo(term, untouched));
    }
    EXPECT_TRUE(untouched.hands.empty());
}

TEST(RankAtMost, HandsWithACardAtOrBelowTheRank) {
    for (auto [term, count] : std::vector<std::pair<const wchar_t*, std::size_t>>{
             {L"8-", 260'099}, {L"2-", 76'145}, {L"A-", 270'725}}) {
        const int rank = rankIndex(term[0]);
        const HandList list = runExpander(expandRankAtMost, term, 7);
        EXPECT_EQ(list.hands.size(), count);
        expectSameHandsOnce(list, referenceHands(4, [rank](CardMask h) {
                                const auto r = rankCounts(h);
                                for (int i = 0; i <= rank; ++i) {
                                    if (r[i]) return true;
                                }
                                return false;
                            }));
        EXPECT_TRUE(inCardListOrder(list.hands));
    }
    HandList untouched{{}, 4};
    EXPECT_FALSE(expandRankAtMost(L"8+", untouched));
    EXPECT_FALSE(expandRankAtMost(L"x-", untouched));
    EXPECT_FALSE(expandRankAtMost(L"88-", untouched));
}

TEST(RainbowRanks, FourSuitsForFourLetters) {
    const HandList akqj = runExpander(expandRainbowRanks, L"AKQJ", 4);
    EXPECT_EQ(akqj.hands.size(), 24u);
    EXPECT_TRUE(allDistinct(akqj.hands));
    for (CardMask h : akqj.hands) {
        EXPECT_EQ(suitShape(h), (std::vector<int>{1, 1, 1, 1}));
        EXPECT_EQ(rankCounts(h)[12] + rankCounts(h)[11] + rankCounts(h)[10] + rankCounts(h)[9], 4);
    }
    EXPECT_EQ(akqj.hands[0], handOf(L"AcKdQhJs"));
    EXPECT_EQ(akqj.hands[1], handOf(L"AcKdQsJh"));
}

TEST(RainbowRanks, RepeatedRanksRepeatHands) {
    const HandList aakq = runExpander(expandRainbowRanks, L"AAKQ", 4);
    EXPECT_EQ(aakq.hands.size(), 24u);
    const auto counts = multiplicities(aakq.hands);
    EXPECT_EQ(counts.size(), 12u);
    for (auto [hand, times] : counts) EXPECT_EQ(times, 2);
    const HandList aaaa = runExpander(expandRainbowRanks, L"AAAA", 4);
    EXPECT_EQ(aaaa.hands, std::vector<CardMask>(24, handOf(L"AcAdAhAs")));
    EXPECT_EQ(multiplicities(runExpander(expandRainbowRanks, L"777K", 4).hands).size(), 4u);
}

TEST(RainbowRanks, ClaimsOnlyFourCharactersForFourCards) {
    bool claimed = true;
    EXPECT_TRUE(runExpander(expandRainbowRanks, L"AKQJ", 5, &claimed).hands.empty());
    EXPECT_FALSE(claimed);
    EXPECT_TRUE(runExpander(expandRainbowRanks, L"AKQ", 4, &claimed).hands.empty());
    EXPECT_FALSE(claimed);
    for (const wchar_t* term : {L"KQJ-", L"999-", L"akqj", L"AKQs"}) {
        EXPECT_TRUE(runExpander(expandRainbowRanks, term, 4, &claimed).hands.empty());
        EXPECT_TRUE(claimed);
    }
}

}  // namespace
}  // namespace varnel
