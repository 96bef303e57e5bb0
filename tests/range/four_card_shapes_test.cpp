

#include "oracle.h"
#include "range/expanders.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// Strictly increasing as ascending card lists (the lowest card varying slowest).
bool inCardListOrder(const Hands& hands) {
    for (std::size_t i = 1; i < hands.size(); ++i)
        if (!(cardsFromMask(hands[i - 1]) < cardsFromMask(hands[i]))) return false;
    return true;
}

// Some card of `rank` shares its suit with one or two other cards of the hand.
bool suitedRank(CardMask h, int rank) {
    const auto suits = suitCounts(h);
    for (int s = 0; s < kSuits; ++s)
        if ((h & cardBit(makeCard(rank, s))) && (suits[s] == 2 || suits[s] == 3)) return true;
    return false;
}

// The four-card shapes name four-card hands whatever the list's hand size.
TEST(FourCardShapes, MatchBruteForce) {
    using Shape = std::vector<int>;
    const auto atMost = [](int rank) {
        return [rank](CardMask h) {
            const auto r = rankCounts(h);
            return std::any_of(r.begin(), r.begin() + rank + 1, [](int k) { return k > 0; });
        };
    };
    const auto pairAKQ = [](CardMask h) {
        const auto r = rankCounts(h);
        return r[12] == 2 && r[11] == 1 && r[10] == 1;
    };
    const struct {
        Expander expander;
        const wchar_t* term;
        int n;
        std::function<bool(CardMask)> keep;
    } cases[] = {{expandSuitDistribution, L"xxyy", 4,
                  [](CardMask h) {
                      return suitShape(h) == Shape{2, 2};
                  }},
                 {expandSuitDistribution, L"xxyz", 6,
                  [](CardMask h) {
                      return suitShape(h) == Shape{2, 1, 1};
                  }},
                 {expandSuitDistribution, L"xxxy", 4,
                  [](CardMask h) {
                      return suitShape(h) == Shape{3, 1};
                  }},
                 {expandSuitDistribution, L"xxy", 4,
                  [](CardMask h) { return suitShape(h).size() == 2 || suitShape(h).size() == 3; }},
                 {expandSuitedRank, L"Axxy", 6, [](CardMask h) { return suitedRank(h, 12); }},
                 {expandSuitedRank, L"7xxy", 4, [](CardMask h) { return suitedRank(h, 5); }},
                 {expandSuitedRank, L"2xxy", 5, [](CardMask h) { return suitedRank(h, 0); }},
                 {expandDoubleSuitedRank, L"Axxyy", 5,
                  [](CardMask h) {
                      return suitShape(h) == Shape{2, 2} && rankCounts(h)[12] > 0;
                  }},
                 {expandTwoPair, L"OORR", 7,
                  [](CardMask h) {
                      const auto r = rankCounts(h);
                      return std::count(r.begin(), r.end(), 2) == 2;
                  }},
                 {expandPairAndTwo, L"AAKQ", 5, pairAKQ},
                 {expandPairAndTwo, L"KAQA", 5, pairAKQ},
                 {expandPairAndTwo, L"QKAA", 5, pairAKQ},
                 {expandRankAtMost, L"8-", 7, atMost(6)},
                 {expandRankAtMost, L"2-", 4, atMost(0)},
                 {expandRankAtMost, L"A-", 4, atMost(12)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.term << " with " << c.n << " cards");
        bool claimed = false;
        expectSameHandsOnce(expand(c.expander, c.term, c.n, &claimed), c.keep);
        EXPECT_TRUE(claimed);
    }
}

TEST(FourCardShapes, EnumerationOrder) {
    const auto xxyy = expand(expandSuitDistribution, L"xxyy", 4);
    EXPECT_EQ(xxyy.front(), cards(L"2c3c2d3d"));
    EXPECT_EQ(xxyy.back(), cards(L"KhAhKsAs"));
    const auto xxxy = expand(expandSuitDistribution, L"xxxy", 4);
    EXPECT_EQ(xxxy[0], cards(L"2c3c4c2d"));
    EXPECT_EQ(xxxy[1], cards(L"2c3c4c3d"));
    const auto xxyz = expand(expandSuitDistribution, L"xxyz", 4);
    EXPECT_EQ(xxyz[0], cards(L"2c3c2d2h"));
    EXPECT_EQ(xxyz[1], cards(L"2c3c2d3h"));
    EXPECT_EQ(xxyz.back(), cards(L"KsAsAdAh"));
    EXPECT_TRUE(inCardListOrder(expand(expandSuitDistribution, L"xxy", 4)));
    EXPECT_EQ(expand(expandSuitDistribution, L"xxyz", 6), xxyz);  // whatever the hand size
    // The suited rank keeps the first build of each hand: both aces suited is kept where the
    // hearts build put it, before every spade-anchored hand.
    const auto axxy = expand(expandSuitedRank, L"Axxy", 4);
    EXPECT_EQ(axxy.front(), cards(L"Ac2c3c2d"));
    const auto where = [&](CardMask h) { return std::find(axxy.begin(), axxy.end(), h); };
    EXPECT_LT(where(cards(L"AsKsAhQh")), where(cards(L"As2s3c4d")));
    EXPECT_GT(where(cards(L"AsKsAhQh")), where(cards(L"Ah2h3c4d")));
    const auto axxyy = expand(expandDoubleSuitedRank, L"Axxyy", 5);
    EXPECT_EQ(axxyy.front(), cards(L"2c3c2dAd"));  // the first "xxyy" hand holding an ace
    EXPECT_EQ(expand(expandDoubleSuitedRank, L"Axxyy\t", 4), axxyy);
    const auto oorr = expand(expandTwoPair, L"OORR", 7);
    EXPECT_EQ(oorr[0], cards(L"2c2d3c3d"));
    EXPECT_EQ(oorr[1], cards(L"2c2d3c3h"));
    for (const wchar_t* term : {L"AAKQ", L"KAQA", L"QKAA"}) {
        EXPECT_EQ(expand(expandPairAndTwo, term, 5)[0], cards(L"AcAdQcKc"));
        EXPECT_EQ(expand(expandPairAndTwo, term, 5)[1], cards(L"AcAdQcKd"));
    }
    for (const wchar_t* term : {L"8-", L"2-", L"A-"})
        EXPECT_TRUE(inCardListOrder(expand(expandRankAtMost, term, 7)));
}

TEST(RainbowRanks, FourSuitsForFourLetters) {
    const auto akqj = expand(expandRainbowRanks, L"AKQJ", 4);
    EXPECT_EQ(akqj.size(), 24u);
    EXPECT_TRUE(allDistinct(akqj));
    for (CardMask h : akqj) {
        EXPECT_EQ(suitShape(h), (std::vector<int>{1, 1, 1, 1}));
        const auto r = rankCounts(h);
        EXPECT_EQ(r[12] + r[11] + r[10] + r[9], 4);
    }
    EXPECT_EQ(akqj[0], cards(L"AcKdQhJs"));
    EXPECT_EQ(akqj[1], cards(L"AcKdQsJh"));
    // Repeated ranks repeat hands.
    const auto aakq = multiplicities(expand(expandRainbowRanks, L"AAKQ", 4));
    EXPECT_EQ(aakq.size(), 12u);
    for (auto [hand, times] : aakq) EXPECT_EQ(times, 2);
    EXPECT_EQ(expand(expandRainbowRanks, L"AAAA", 4), Hands(24, cards(L"AcAdAhAs")));
    EXPECT_EQ(multiplicities(expand(expandRainbowRanks, L"777K", 4)).size(), 4u);
}

}  // namespace
}  // namespace varnel::test
