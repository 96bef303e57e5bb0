#include <gtest/gtest.h>

#include <utility>

#include "range/expanders.h"
#include "shape_reference.h"

namespace varnel {
namespace {

using namespace varnel::test;

HandList rankSet(std::wstring_view term, int n, bool* claimed = nullptr) {
    return runExpander(expandRankSet, term, n, claimed);
}

// Hands of n cards holding at least `need[r]` cards of every rank r.
std::vector<CardMask> holding(int n, const std::vector<std::pair<wchar_t, int>>& need) {
    return referenceHands(n, [&](CardMask h) {
        const auto counts = rankCounts(h);
        for (auto [letter, k] : need) {
            if (counts[rankIndex(letter)] < k) return false;
        }
        return true;
    });
}

// Number of n-card hands with at least k cards of one given rank.
std::uint64_t countWithAtLeast(int n, int k) {
    std::uint64_t total = 0;
    for (int j = k; j <= 4; ++j) total += choose(4, j) * choose(48, n - j);
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

void expectAnchorOrder(const HandList& list, const std::vector<std::pair<int, int>>& required) {
    for (std::size_t i = 1; i < list.hands.size(); ++i) {
        ASSERT_LT(orderKey(list.hands[i - 1], required), orderKey(list.hands[i], required))
            << "hands " << i - 1 << " and " << i << " out of order";
    }
}

TEST(RankSet, FourCardCountsMatchBruteForce) {
    struct Case {
        const wchar_t* term;
        std::vector<std::pair<wchar_t, int>> need;
        std::size_t count;
    };
    const std::vector<Case> cases = {
        {L"A", {{L'A', 1}}, 76'145},
        {L"AA", {{L'A', 2}}, 6'961},
        {L"777", {{L'7', 3}}, 193},
        {L"AK", {{L'A', 1}, {L'K', 1}}, 17'316},
        {L"AKQ", {{L'A', 1}, {L'K', 1}, {L'Q', 1}}, 2'848},
        {L"AAK", {{L'A', 2}, {L'K', 1}}, 1'108},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.term, c.term + wcslen(c.term)));
        bool claimed = false;
        const HandList list = rankSet(c.term, 4, &claimed);
        EXPECT_TRUE(claimed);
        EXPECT_EQ(list.hands.size(), c.count);
        expectSameHandsOnce(list, holding(4, c.need));
    }
}

TEST(RankSet, FiveAndThreeCardHandsMatchBruteForce) {
    expectSameHandsOnce(rankSet(L"K", 5), holding(5, {{L'K', 1}}));
    expectSameHandsOnce(rankSet(L"TT", 5), holding(5, {{L'T', 2}}));
    expectSameHandsOnce(rankSet(L"J9", 5), holding(5, {{L'J', 1}, {L'9', 1}}));
    expectSameHandsOnce(rankSet(L"5Q5", 5), holding(5, {{L'5', 2}, {L'Q', 1}}));
    expectSameHandsOnce(rankSet(L"QQ", 3), holding(3, {{L'Q', 2}}));
    expectSameHandsOnce(rankSet(L"888", 3), holding(3, {{L'8', 3}}));
    EXPECT_EQ(rankSet(L"QQ", 3).hands.size(), 6u * 48 + 4);
}

TEST(RankSet, LargeHandSizesMatchCombinatorics) {
    EXPECT_EQ(rankSet(L"A", 6).hands.size(), countWithAtLeast(6, 1));
    EXPECT_EQ(rankSet(L"99", 6).hands.size(), countWithAtLeast(6, 2));
    EXPECT_EQ(rankSet(L"99", 7).hands.size(), countWithAtLeast(7, 2));
    EXPECT_EQ(rankSet(L"333", 7).hands.size(), countWithAtLeast(7, 3));
    EXPECT_EQ(rankSet(L"2222", 7).hands.size(), countWithAtLeast(7, 4));
    const HandList quads = rankSet(L"2222", 5);
    EXPECT_EQ(quads.hands.size(), 48u);
    for (CardMask h : quads.hands) {
        EXPECT_EQ(cardCount(h), 5);
        EXPECT_EQ(rankCounts(h)[0], 4);
    }
    EXPECT_TRUE(allDistinct(rankSet(L"AKQ", 6).hands));
    for (CardMask h : rankSet(L"AK", 7).hands) ASSERT_EQ(cardCount(h), 7);
}

TEST(RankSet, FourRanksRepeatHandsOncePerAnchorChoice) {
    // Each hand is built once for every way of taking one card of each of the four ranks.
    const HandList list = rankSet(L"AKQJ", 5);
    EXPECT_EQ(list.hands.size(), 12'288u);
    const auto built = multiplicities(list.hands);
    const auto reference = holding(5, {{L'A', 1}, {L'K', 1}, {L'Q', 1}, {L'J', 1}});
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
    const HandList aces = rankSet(L"A", 4);
    ASSERT_GE(aces.hands.size(), 2u);
    EXPECT_EQ(aces.hands[0], handOf(L"Ac2c3c4c"));
    EXPECT_EQ(aces.hands[1], handOf(L"Ac2c3c5c"));
    // Hands with the ace of clubs come first, all of them; Ac Ad hands never use Ad as anchor.
    const CardMask ac = handOf(L"Ac");
    for (std::size_t i = 0; i < aces.hands.size(); ++i) {
        ASSERT_EQ((aces.hands[i] & ac) != 0, i < 20'825) << i;
    }
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
    const HandList ak = rankSet(L"AK", 4);
    const HandList ka = rankSet(L"KA", 4);
    EXPECT_EQ(sorted(ak.hands), sorted(ka.hands));
    EXPECT_NE(ak.hands, ka.hands);
    // The pair goes first wherever it is written.
    const HandList aak = rankSet(L"AAK", 5);
    EXPECT_EQ(rankSet(L"AKA", 5).hands, aak.hands);
    EXPECT_EQ(rankSet(L"KAA", 5).hands, aak.hands);
}

TEST(RankSet, HandSizeOutsideTheMemberClaimsNothing) {
    for (auto [term, n] : std::vector<std::pair<const wchar_t*, int>>{
             {L"A", 3}, {L"AK", 3}, {L"AAK", 3}, {L"2222", 3}, {L"QQ", 2}, {L"A", 8}, {L"QQ", 0}}) {
        bool claimed = false;
        const HandList list = rankSet(term, n, &claimed);
        EXPECT_TRUE(claimed) << n;
        EXPECT_TRUE(list.hands.empty()) << n;
    }
}

TEST(RankSet, DeclinesOtherFormsWithoutTouchingTheList) {
    for (const wchar_t* term : {L"AAAK", L"AAKK", L"ak", L"A+", L"As", L"AKQJT", L"", L"1", L"x"}) {
        HandList list{{42}, 5};
        EXPECT_FALSE(expandRankSet(term, list));
        EXPECT_EQ(list.hands, std::vector<CardMask>{42});
    }
}

}  // namespace
}  // namespace varnel
