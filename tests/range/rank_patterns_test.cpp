

#include "oracle.h"
#include "range/expanders.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

Hands rankSet(std::wstring_view term, int n, bool* claimed = nullptr) {
    return expand(expandRankSet, term, n, claimed);
}

// Number of n-card hands with at least k cards of one given rank.
std::uint64_t countWithAtLeast(int n, int k) {
    std::uint64_t total = 0;
    for (int j = k; j <= 4; ++j) total += binomial(4, j) * binomial(48, n - j);
    return total;
}

// Sort key of a hand in anchor order: for each required rank in turn the lowest
// `count` cards of that rank, then the remaining cards ascending.
std::vector<CardId> orderKey(CardMask hand, const std::vector<std::pair<int, int>>& required) {
    std::vector<CardId> key;
    CardMask rest = hand;
    for (auto [rank, count] : required) {
        int taken = 0;
        for (int s = 0; s < kSuits && taken < count; ++s) {
            const CardId c = makeCard(rank, s);
            if (rest & cardBit(c)) {
                key.push_back(c);
                rest &= ~cardBit(c);
                ++taken;
            }
        }
    }
    for (CardId c : cardsFromMask(rest)) key.push_back(c);
    return key;
}

void expectAnchorOrder(const Hands& hands, const std::vector<std::pair<int, int>>& required) {
    for (std::size_t i = 1; i < hands.size(); ++i) {
        ASSERT_LT(orderKey(hands[i - 1], required), orderKey(hands[i], required))
            << "hands " << i - 1 << " and " << i << " out of order";
    }
}

TEST(RankSet, MatchesBruteForce) {
    for (const auto& [term, n] : {std::pair{L"A", 4},
                                  {L"AA", 4},
                                  {L"777", 4},
                                  {L"AK", 4},
                                  {L"AKQ", 4},
                                  {L"AAK", 4},
                                  {L"K", 5},
                                  {L"TT", 5},
                                  {L"J9", 5},
                                  {L"5Q5", 5},
                                  {L"QQ", 3},
                                  {L"888", 3}}) {
        SCOPED_TRACE(testing::Message() << term << " with " << n << " cards");
        bool claimed = false;
        expectSameHandsOnce(rankSet(term, n, &claimed), withRanks(term, n));
        EXPECT_TRUE(claimed);
    }
    EXPECT_EQ(rankSet(L"QQ", 3).size(), 6u * 48 + 4);
}

TEST(RankSet, LargeHandSizesMatchCombinatorics) {
    EXPECT_EQ(rankSet(L"A", 6).size(), countWithAtLeast(6, 1));
    EXPECT_EQ(rankSet(L"99", 6).size(), countWithAtLeast(6, 2));
    EXPECT_EQ(rankSet(L"99", 7).size(), countWithAtLeast(7, 2));
    EXPECT_EQ(rankSet(L"333", 7).size(), countWithAtLeast(7, 3));
    EXPECT_EQ(rankSet(L"2222", 7).size(), countWithAtLeast(7, 4));
    const auto quads = rankSet(L"2222", 5);
    EXPECT_EQ(quads.size(), 48u);
    for (CardMask h : quads) EXPECT_TRUE(cardCount(h) == 5 && rankCounts(h)[0] == 4);
    EXPECT_TRUE(allDistinct(rankSet(L"AKQ", 6)));
    for (CardMask h : rankSet(L"AK", 7)) ASSERT_EQ(cardCount(h), 7);
}

TEST(RankSet, FourRanksRepeatHandsOncePerAnchorChoice) {
    // Each hand is built once for every way of taking one card of each of the four ranks.
    const auto built = multiplicities(rankSet(L"AKQJ", 5));
    const auto reference = withRanks(L"AKQJ", 5);
    ASSERT_EQ(built.size(), reference.size());
    int once = 0, twice = 0;
    for (CardMask h : reference) {
        const auto counts = rankCounts(h);
        const int expected = counts[12] * counts[11] * counts[10] * counts[9];
        ASSERT_EQ(built.count(h), 1u);
        EXPECT_EQ(built.at(h), expected);
        (expected == 1 ? once : twice) += 1;
    }
    EXPECT_EQ(once, 9'216);
    EXPECT_EQ(twice, 1'536);
}

TEST(RankSet, BuildsInAnchorOrder) {
    const auto aces = rankSet(L"A", 4);
    ASSERT_GE(aces.size(), 2u);
    EXPECT_EQ(aces[0], cards(L"Ac2c3c4c"));
    EXPECT_EQ(aces[1], cards(L"Ac2c3c5c"));
    // Hands with the ace of clubs come first, all of them; Ac Ad hands never use Ad as anchor.
    for (std::size_t i = 0; i < aces.size(); ++i)
        ASSERT_EQ((aces[i] & cards(L"Ac")) != 0, i < binomial(51, 3)) << i;
    const int a = 12, k = 11, q = 10, j = 9, t = 8;
    expectAnchorOrder(aces, {{a, 1}});
    expectAnchorOrder(rankSet(L"AA", 5), {{a, 2}});
    expectAnchorOrder(rankSet(L"AK", 4), {{a, 1}, {k, 1}});
    expectAnchorOrder(rankSet(L"KA", 4), {{k, 1}, {a, 1}});
    expectAnchorOrder(rankSet(L"QJT", 5), {{q, 1}, {j, 1}, {t, 1}});
    expectAnchorOrder(rankSet(L"TJT", 4), {{t, 2}, {j, 1}});
    expectAnchorOrder(rankSet(L"QQQ", 6), {{q, 3}});
}

TEST(RankSet, LetterOrderChangesOrderNotHands) {
    const auto ak = rankSet(L"AK", 4), ka = rankSet(L"KA", 4);
    EXPECT_EQ(sorted(ak), sorted(ka));
    EXPECT_NE(ak, ka);
    // The pair goes first wherever it is written.
    const auto aak = rankSet(L"AAK", 5);
    EXPECT_EQ(rankSet(L"AKA", 5), aak);
    EXPECT_EQ(rankSet(L"KAA", 5), aak);
}

}  // namespace
}  // namespace varnel::test
