
#include "oracle.h"
#include "range/expanders.h"
#include "range/shape_helpers.h"
#include "tests/support/hand_counts.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

TEST(WalkedShapes, MatchBruteForce) {
    const struct {
        Expander expander;
        const wchar_t* term;
        int n;
        const wchar_t* letters;
        int direction;
        bool exactly;
        int referenceCards = 4;  // the walks build four-card hands, except for two ranks up
        int maxShift = kRanks;
    } cases[] = {
        {expandPairsUp, L"QQ+", 4, L"QQ", +1, false},
        {expandPairsUp, L"QQ+", 6, L"QQ", +1, false},
        {expandTwoRanksUp, L"T9+", 4, L"T9", +1, false},
        {expandTwoRanksUp, L"KJ+", 5, L"KJ", +1, false, 5},
        {expandThreeRanksDown, L"KQJ-", 5, L"KQJ", -1, false},
        {expandThreeRanksDown, L"T72-", 5, L"T72", -1, false},
        // The last letter is not the lowest: the walk ends at 432 and never leaves the deck.
        {expandThreeRanksDown, L"J4K-", 4, L"J4K", -1, false},
        {expandFourRanksDown, L"AKQT-", 6, L"AKQT", -1, true},
        {expandFourRanksDown, L"K5AQ-", 4, L"K5AQ", -1, true},
        {expandPairAndTwoUp, L"5532+", 5, L"5532", +1, true},
        {expandRundowns, L"$0G", 5, L"2345", +1, true},
        // Each step reads a two-letter term as the dispatcher does: two ranks, or a pair.
        {expandTwoRankSpan, L"KQ-54", 6, L"54", +1, false, 4, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.term << " with " << c.n << " cards");
        bool claimed = false;
        expectSameHandsOnce(
            expand(c.expander, c.term, c.n, &claimed),
            withRanks(c.letters, c.referenceCards, c.exactly, c.direction, c.maxShift));
        EXPECT_TRUE(claimed);
    }
}

TEST(AppendNew, AddsOnlyWhatTheAccumulatedListLacked) {
    HandList accumulated{{5, 1, 2}, 4};
    appendNew(accumulated, HandList{{2, 3, 3, 4, 5}, 4});
    EXPECT_EQ(accumulated.hands, (Hands{5, 1, 2, 3, 3, 4}));
}

TEST(WalkedShapes, OrderAndEnds) {
    // The queens come first, in the order of the pair term itself; every hand once.
    const auto qq = expand(expandRankSet, L"QQ", 4), walk = expand(expandPairsUp, L"QQ+", 4);
    EXPECT_TRUE(std::equal(qq.begin(), qq.end(), walk.begin()));
    EXPECT_EQ(std::count(walk.begin(), walk.end(), cards(L"QcQdKcKd")), 1);
    EXPECT_EQ(expand(expandPairsUp, L"AA+", 4), expand(expandRankSet, L"AA", 4));
    EXPECT_EQ(sorted(expand(expandTwoRanksUp, L"9T+", 4)),
              sorted(expand(expandTwoRanksUp, L"T9+", 4)));
    EXPECT_EQ(expand(expandTwoRanksUp, L"AK+", 4), expand(expandRankSet, L"AK", 4));
    EXPECT_EQ(expand(expandThreeRanksDown, L"KQJ-", 4).front(), cards(L"KcQcJc2c"));
    // Nine steps from AKQT down to 6542, in that order.
    const auto akqt = expand(expandFourRanksDown, L"AKQT-", 6);
    EXPECT_EQ(akqt[0], cards(L"AcKcQcTc"));
    EXPECT_EQ(akqt[1], cards(L"AcKcQcTd"));
    EXPECT_EQ(sorted({akqt.end() - 256, akqt.end()}), sorted(withRanks(L"6542", 4, true)));
    // A walk whose last letter is not its lowest rank stops at the last step it can build.
    EXPECT_EQ(expand(expandFourRanksDown, L"2AKQ-", 4).size(), 256u);
    EXPECT_EQ(expand(expandPairAndTwoUp, L"5532+", 5)[0], cards(L"5c5d2c3c"));
    EXPECT_EQ(expand(expandPairAndTwoUp, L"QKAQ+", 4).size(), 96u);
    const auto pairs = expand(expandTwoRankSpan, L"AA-22", 4);
    EXPECT_EQ(sorted(pairs), sorted(expand(expandRankRepeat, L"RR", 4)));  // every pair
    EXPECT_TRUE(allDistinct(pairs));
}

TEST(TripsDown, ThreeOrFourOfARankUpToTheLetter) {
    const auto list = expand(expandTripsDown, L"999-", 7);
    expectSameHandsOnce(list, [](CardMask h) {
        const auto r = rankCounts(h);
        return std::any_of(r.begin(), r.begin() + 8, [](int k) { return k >= 3; });
    });
    EXPECT_EQ(list[0], cards(L"2c2d2h2s"));
    EXPECT_EQ(list[1], cards(L"2c2d2h3c"));
    EXPECT_EQ(list[2], cards(L"2c2d2s3c"));
    EXPECT_EQ(list[4], cards(L"2d2h2s3c"));
    EXPECT_EQ(sorted(expand(expandTripsDown, L"222-", 4)),
              sorted(expand(expandRankSet, L"222", 4)));
}

TEST(Rundowns, GaplessAndGappedRundowns) {
    const auto zero = expand(expandRundowns, L"$0G", 5);
    EXPECT_EQ(zero.front(), cards(L"2c3c4c5c"));
    EXPECT_EQ(expand(expandRundowns, L"$0g", 4), zero);
    const auto holds = [](const Hands& l, CardMask h) {
        return std::find(l.begin(), l.end(), h) != l.end();
    };
    EXPECT_FALSE(holds(zero, cards(L"Ac2d3h4s")));
    const auto one = expand(expandRundowns, L"$1G", 4), two = expand(expandRundowns, L"$2G", 4);
    EXPECT_EQ(one.size(), handCount(L"$1g", 4));
    EXPECT_EQ(two.size(), handCount(L"$2G", 4));
    EXPECT_TRUE(allDistinct(one) && allDistinct(two));
    EXPECT_TRUE(holds(one, cards(L"AcKdQhTs")));
    EXPECT_FALSE(holds(one, cards(L"AcQdTh9s")));
    EXPECT_TRUE(holds(two, cards(L"AcKdQh9s")));
    EXPECT_EQ(expand(expandRundowns, L"$1g", 4), one);
}

}  // namespace
}  // namespace varnel::test
