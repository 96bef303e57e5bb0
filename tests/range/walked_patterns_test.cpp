#include <gtest/gtest.h>

#include "range/expanders.h"
#include "range/shape_helpers.h"
#include "shape_reference.h"

namespace varnel {
namespace {

using namespace varnel::test;

// Hands of n cards holding, for some shift i (0 <= i <= maxShift) that keeps every rank on
// the scale, the given ranks moved by i in `direction` (+1 up, -1 down): at least `need` cards
// of each, or exactly `need` with `exactly`.
std::vector<CardMask> walkReference(std::vector<std::pair<int, int>> need, int direction,
                                    bool exactly = false, int n = 4, int maxShift = kRanks) {
    return referenceHands(n, [&](CardMask h) {
        const auto counts = rankCounts(h);
        for (int i = 0; i <= maxShift; ++i) {
            bool all = true;
            for (auto [rank, k] : need) {
                const int r = rank + direction * i;
                if (r < 0 || r >= kRanks) return false;
                all = all && (exactly ? counts[r] == k : counts[r] >= k);
            }
            if (all) return true;
        }
        return false;
    });
}

TEST(AppendNew, AddsOnlyWhatTheAccumulatedListLacked) {
    HandList accumulated{{5, 1, 2}, 4};
    const HandList step{{2, 3, 3, 4, 5}, 4};
    appendNew(accumulated, step);
    EXPECT_EQ(accumulated.hands, (std::vector<CardMask>{5, 1, 2, 3, 3, 4}));
}

TEST(PairsUp, EveryPairFromTheLetterUpOnce) {
    for (int n : {4, 6}) {
        bool claimed = false;
        const HandList list = runExpander(expandPairsUp, L"QQ+", n, &claimed);
        EXPECT_TRUE(claimed);
        expectSameHandsOnce(list, walkReference({{10, 2}}, +1));
    }
    // The queens come first, in the order of the pair term itself.
    const HandList qq = runExpander(expandRankSet, L"QQ", 4);
    const HandList walk = runExpander(expandPairsUp, L"QQ+", 4);
    EXPECT_TRUE(std::equal(qq.hands.begin(), qq.hands.end(), walk.hands.begin()));
    EXPECT_EQ(std::count(walk.hands.begin(), walk.hands.end(), handOf(L"QcQdKcKd")), 1);
    EXPECT_EQ(runExpander(expandPairsUp, L"AA+", 4).hands.size(), 6'961u);
    bool claimed = false;
    EXPECT_TRUE(runExpander(expandPairsUp, L"xx+", 4, &claimed).hands.empty());
    EXPECT_TRUE(claimed);
}

TEST(TwoRanksUp, WalksBothRanksToTheAce) {
    const HandList t9 = runExpander(expandTwoRanksUp, L"T9+", 4);
    expectSameHandsOnce(t9, walkReference({{8, 1}, {7, 1}}, +1));
    EXPECT_EQ(sorted(runExpander(expandTwoRanksUp, L"9T+", 4).hands), sorted(t9.hands));
    EXPECT_EQ(runExpander(expandTwoRanksUp, L"AK+", 4).hands,
              runExpander(expandRankSet, L"AK", 4).hands);
    // The two-rank walk keeps the list's hand size.
    const HandList five = runExpander(expandTwoRanksUp, L"KJ+", 5);
    expectSameHandsOnce(five, walkReference({{11, 1}, {9, 1}}, +1, false, 5));
}

TEST(ThreeRanksDown, EveryStepWithAnyFourthCardOnce) {
    for (const wchar_t* term : {L"KQJ-", L"T72-"}) {
        std::vector<std::pair<int, int>> need;
        for (int i = 0; i < 3; ++i) need.push_back({rankIndex(term[i]), 1});
        const HandList list = runExpander(expandThreeRanksDown, term, 5);
        expectSameHandsOnce(list, walkReference(need, -1));
    }
    const HandList kqj = runExpander(expandThreeRanksDown, L"KQJ-", 4);
    EXPECT_EQ(kqj.hands.front(), handOf(L"KcQcJc2c"));
}

TEST(ThreeRanksDown, StopsWhereTheLowestRankReachesTheDeuce) {
    // The last letter is not the lowest: the walk ends at 432 and never leaves the deck.
    const HandList list = runExpander(expandThreeRanksDown, L"J4K-", 4);
    for (CardMask h : list.hands) ASSERT_EQ(h & ~kFullDeck, 0u);
    expectSameHandsOnce(list, walkReference({{9, 1}, {2, 1}, {11, 1}}, -1));
}

TEST(FourRanksDown, NineStepsFromAKQTDownTo6542) {
    const HandList list = runExpander(expandFourRanksDown, L"AKQT-", 6);
    EXPECT_EQ(list.hands.size(), 2'304u);
    expectSameHandsOnce(list, walkReference({{12, 1}, {11, 1}, {10, 1}, {8, 1}}, -1, true));
    for (std::size_t i = list.hands.size() - 256; i < list.hands.size(); ++i) {
        const auto r = rankCounts(list.hands[i]);
        ASSERT_TRUE(r[4] == 1 && r[3] == 1 && r[2] == 1 && r[0] == 1);
    }
    EXPECT_EQ(list.hands[0], handOf(L"AcKcQcTc"));
    EXPECT_EQ(list.hands[1], handOf(L"AcKcQcTd"));
    // A walk whose last letter is not its lowest rank stops at the last step it can build.
    const HandList early = runExpander(expandFourRanksDown, L"2AKQ-", 4);
    EXPECT_EQ(early.hands.size(), 256u);
    const HandList mid = runExpander(expandFourRanksDown, L"K5AQ-", 4);
    expectSameHandsOnce(mid, walkReference({{11, 1}, {3, 1}, {12, 1}, {10, 1}}, -1, true));
}

TEST(TripsDown, ThreeOrFourOfARankUpToTheLetter) {
    const HandList list = runExpander(expandTripsDown, L"999-", 7);
    EXPECT_EQ(list.hands.size(), 1'544u);
    expectSameHandsOnce(list, referenceHands(4, [](CardMask h) {
                            const auto r = rankCounts(h);
                            return std::any_of(r.begin(), r.begin() + 8,
                                               [](int k) { return k >= 3; });
                        }));
    EXPECT_EQ(list.hands[0], handOf(L"2c2d2h2s"));
    EXPECT_EQ(list.hands[1], handOf(L"2c2d2h3c"));
    EXPECT_EQ(list.hands[2], handOf(L"2c2d2s3c"));
    EXPECT_EQ(list.hands[4], handOf(L"2d2h2s3c"));
    EXPECT_EQ(runExpander(expandTripsDown, L"222-", 4).hands.size(), 193u);
}

TEST(PairAndTwoUp, StepsUntilTheHighestRankIsTheAce) {
    const HandList list = runExpander(expandPairAndTwoUp, L"5532+", 5);
    EXPECT_EQ(list.hands.size(), 10u * 96);
    expectSameHandsOnce(list, walkReference({{3, 2}, {1, 1}, {0, 1}}, +1, true));
    EXPECT_EQ(list.hands[0], handOf(L"5c5d2c3c"));
    EXPECT_EQ(runExpander(expandPairAndTwoUp, L"QKAQ+", 4).hands.size(), 96u);
}

TEST(Rundowns, GaplessAndGappedRundowns) {
    const HandList zero = runExpander(expandRundowns, L"$0G", 5);
    EXPECT_EQ(zero.hands.size(), 2'560u);
    expectSameHandsOnce(zero, walkReference({{0, 1}, {1, 1}, {2, 1}, {3, 1}}, +1, true));
    EXPECT_EQ(zero.hands.front(), handOf(L"2c3c4c5c"));
    EXPECT_EQ(runExpander(expandRundowns, L"$0g", 4).hands, zero.hands);
    const auto holds = [](const HandList& l, CardMask h) {
        return std::find(l.hands.begin(), l.hands.end(), h) != l.hands.end();
    };
    EXPECT_FALSE(holds(zero, handOf(L"Ac2d3h4s")));

    const HandList one = runExpander(expandRundowns, L"$1G", 4);
    EXPECT_EQ(one.hands.size(), 6'912u);
    EXPECT_TRUE(allDistinct(one.hands));
    EXPECT_TRUE(holds(one, handOf(L"AcKdQhTs")));
    EXPECT_FALSE(holds(one, handOf(L"AcQdTh9s")));
    EXPECT_EQ(runExpander(expandRundowns, L"$1g", 4).hands, one.hands);

    const HandList two = runExpander(expandRundowns, L"$2G", 4);
    EXPECT_EQ(two.hands.size(), 6'144u);
    EXPECT_TRUE(allDistinct(two.hands));
    EXPECT_TRUE(holds(two, handOf(L"AcKdQh9s")));

    HandList untouched{{}, 4};
    for (const wchar_t* term : {L"$3G", L"$0", L"0G", L"$0Gx"}) {
        EXPECT_FALSE(expandRundowns(term, untouched));
    }
}

TEST(TwoRankSpan, WalksFromTheLowerTermUpToTheHigher) {
    // Each step reads a two-letter term as the dispatcher does: two ranks, or a pair.
    const HandList kq54 = runExpander(expandTwoRankSpan, L"KQ-54", 6);
    expectSameHandsOnce(kq54, walkReference({{3, 1}, {2, 1}}, +1, false, 4, 8));
    const HandList pairs = runExpander(expandTwoRankSpan, L"AA-22", 4);
    EXPECT_EQ(pairs.hands.size(), 87'685u);  // every hand holding a pair
    EXPECT_TRUE(allDistinct(pairs.hands));
    bool claimed = false;
    EXPECT_TRUE(runExpander(expandTwoRankSpan, L"54-KQ", 4, &claimed).hands.empty());
    EXPECT_TRUE(claimed);
}

TEST(WalkedShapes, DeclineOtherForms) {
    const struct {
        Expander expander;
        std::vector<const wchar_t*> terms;
    } cases[] = {
        {expandPairsUp, {L"QK+", L"QQ-"}},
        {expandTwoRanksUp, {L"TT+", L"T9-", L"Tx+"}},
        {expandThreeRanksDown, {L"KQK-", L"KQJ+", L"KQJT-"}},
        {expandFourRanksDown, {L"AKQQ-", L"AKQT+"}},
        {expandTripsDown, {L"99-", L"998-", L"xxx-"}},
        {expandPairAndTwoUp, {L"5533+", L"5532-"}},
        {expandTwoRankSpan, {L"KQ-53", L"KQ+54", L"KQ-5x"}},
    };
    for (const auto& c : cases)
        for (const wchar_t* term : c.terms) {
            HandList untouched{{}, 4};
            EXPECT_FALSE(c.expander(term, untouched)) << std::wstring(term);
            EXPECT_TRUE(untouched.hands.empty()) << std::wstring(term);
        }
}

}  // namespace
}  // namespace varnel
