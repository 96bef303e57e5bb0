// The card and suit patterns against brute force over all hands and counts from combinatorics.

#include <cwchar>
#include <tuple>

#include "oracle.h"
#include "range/combinations.h"
#include "range/expanders.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

constexpr int kHearts = 2;
constexpr int kAceOfSpades = 51;

TEST(CombinationEnumerator, StopsWhenTheVisitorSaysSo) {
    const CardPool pool = poolWithout(~CardMask{0x3F});  // cards 0..5
    int visits = 0;
    EXPECT_FALSE(forEachCombination(pool, 3, 0, [&](CardMask) { return ++visits < 5; }));
    EXPECT_EQ(visits, 5);
    Hands lex, ascending;
    EXPECT_TRUE(forEachCombination(pool, 3, 1ull << 40, [&](CardMask h) {
        lex.push_back(h);
        return true;
    }));
    EXPECT_TRUE(forEachCombinationAscending(pool, 3, 1ull << 40, [&](CardMask h) {
        ascending.push_back(h);
        return true;
    }));
    EXPECT_EQ(lex.size(), 20u);
    EXPECT_EQ(lex.front(), 0x7ull | 1ull << 40);
    EXPECT_EQ(lex[1], 0xBull | 1ull << 40);  // the lowest card varies slowest
    EXPECT_EQ(ascending, sorted(lex));
}

TEST(SingleCard, EveryHandHoldingTheCardInAscendingOrder) {
    const CardMask as = cards(L"As"), deuce = cards(L"2c");
    for (int n = 3; n <= 6; ++n) {
        const Hands hands = expand(expandSingleCard, L"As", n);
        EXPECT_EQ(hands.size(), binomial(51, n - 1)) << n;
        EXPECT_TRUE(strictlyAscending(hands)) << n;
        EXPECT_TRUE(std::all_of(hands.begin(), hands.end(), [&](CardMask h) {
            return (h & as) && cardCount(h) == n;
        })) << n;
    }
    EXPECT_EQ(expand(expandSingleCard, L"2c", 4),
              sorted(handsWhere(4, [&](CardMask h) { return (h & deuce) != 0; })));
}

// A hand matches a card list when some ordering of its cards gives each position a card its
// code covers ("X" any rank, "x" any suit).
bool fitsCodes(CardMask hand, std::wstring_view term) {
    std::vector<CardId> c = cardsFromMask(hand);
    do {
        bool all = true;
        for (std::size_t p = 0; p < c.size(); ++p) {
            const wchar_t rank = term[2 * p], suit = term[2 * p + 1];
            all = all && (rank == L'X' || rank == L"23456789TJQKA"[c[p] % 13]) &&
                  (suit == L'x' || suit == L"cdhs"[c[p] / 13]);
        }
        if (all) return true;
    } while (std::next_permutation(c.begin(), c.end()));
    return false;
}

TEST(CardList, MatchesBruteForceOverAllHands) {
    for (const wchar_t* term : {L"AsKsXxXx", L"XhXhXhXh", L"TxXhXxXx", L"XcXdAxKx", L"XsXs2xXx",
                                L"AxAxXsXx", L"XxAxXd"}) {
        const int n = static_cast<int>(std::wcslen(term) / 2);
        bool claimed = false;
        EXPECT_EQ(expand(expandCardList, term, n, &claimed),
                  sorted(handsWhere(n, [&](CardMask h) { return fitsCodes(h, term); })))
            << term;
        EXPECT_TRUE(claimed);
    }
}

TEST(CardList, LargerHandsAndExtraCodes) {
    const auto five = expand(expandCardList, L"AsKsXxXxXx", 5);
    EXPECT_EQ(five.size(), binomial(50, 3));
    EXPECT_TRUE(strictlyAscending(five));
    EXPECT_EQ(expand(expandCardList, L"AsKsQsJsTs9sXx", 7).size(), binomial(46, 1));
    // Only the first four codes count for four cards.
    EXPECT_EQ(expand(expandCardList, L"AsKsQsJsTs", 4), Hands{cards(L"AsKsQsJs")});
    EXPECT_EQ(expand(expandCardList, L"AsKsQsJs", 4).size(), 1u);
}

TEST(PartialHand, CompletesTheGivenCardsInAscendingOrder) {
    const auto both = [](CardMask h) { return (h & cards(L"As")) && (h & cards(L"Ks")); };
    EXPECT_EQ(expand(expandPartialHand, L"AsKs", 4), sorted(handsWhere(4, both)));
    EXPECT_EQ(expand(expandPartialHand, L"asks", 4), expand(expandPartialHand, L"AsKs", 4));
    EXPECT_EQ(expand(expandPartialHand, L"AsKsQs", 4).size(), binomial(49, 1));
    for (int n : {4, 5}) {
        EXPECT_EQ(expand(expandPartialHand, L"As*", n), expand(expandSingleCard, L"As", n)) << n;
        EXPECT_EQ(expand(expandPartialHand, L"Ash", n), expand(expandSingleCard, L"As", n)) << n;
    }
    EXPECT_EQ(expand(expandPartialHand, L"x", 4), sorted(allHands(4)));
    // Other hand sizes follow the same rule.
    EXPECT_EQ(expand(expandPartialHand, L"AsKs", 2), Hands{cards(L"AsKs")});
    EXPECT_EQ(expand(expandPartialHand, L"x", 2), sorted(allHands(2)));
    const auto seven = expand(expandPartialHand, L"AsKsQs", 7);
    EXPECT_EQ(seven.size(), binomial(49, 4));
    EXPECT_TRUE(strictlyAscending(seven));
}

// The order of the card-with-suit and suit-pair expanders: by their anchors, then the other
// cards in increasing order with the lowest varying slowest.
template <typename Key>
Hands orderedBy(const Hands& hands, Key key) {
    std::vector<std::pair<decltype(key(0)), CardMask>> keyed;
    for (CardMask h : hands) keyed.emplace_back(key(h), h);
    std::sort(keyed.begin(), keyed.end());
    Hands out;
    for (const auto& k : keyed) out.push_back(k.second);
    return out;
}

TEST(CardWithSuit, EveryHandWithTheCardAndAnotherOfTheSuit) {
    const CardMask as = cards(L"As");
    const auto hasAsAndHeart = [&](CardMask h) { return (h & as) && suitCounts(h)[kHearts] >= 1; };
    // Anchor: the lowest heart; then the remaining cards.
    const auto key = [&](CardMask h) {
        const std::vector<int> cards = cardsFromMask(h);
        int companion = 99;
        for (int c : cards)
            if (c / 13 == kHearts) companion = std::min(companion, c);
        std::vector<int> rest;
        for (int c : cards)
            if (c != companion && c != kAceOfSpades) rest.push_back(c);
        return std::pair{companion, rest};
    };
    const auto hands = expand(expandCardWithSuit, L"Ash", 4);
    EXPECT_EQ(hands, orderedBy(handsWhere(4, hasAsAndHeart), key));
    // The given card of the suit itself: another spade is needed.
    const auto spades = expand(expandCardWithSuit, L"Ass", 4);
    EXPECT_EQ(sorted(spades),
              sorted(handsWhere(4, [&](CardMask h) { return (h & as) && suitCounts(h)[3] >= 2; })));
    const auto six = expand(expandCardWithSuit, L"Ash", 6);
    EXPECT_EQ(six.size(), binomial(51, 5) - binomial(38, 5));
    EXPECT_TRUE(allDistinct(six));
}

TEST(SuitPair, EveryHandWithTwoCardsOfTheSuit) {
    const auto key = [](CardMask h) {
        std::vector<int> hearts, rest;
        for (int c : cardsFromMask(h))
            (c / 13 == kHearts && hearts.size() < 2 ? hearts : rest).push_back(c);
        return std::pair{hearts, rest};
    };
    const auto hands = expand(expandSuitPair, L"hh", 4);
    EXPECT_EQ(
        hands,
        orderedBy(handsWhere(4, [](CardMask h) { return suitCounts(h)[kHearts] >= 2; }), key));
    const auto five = expand(expandSuitPair, L"cc", 5);
    EXPECT_EQ(five.size(), binomial(52, 5) - binomial(39, 5) - 13 * binomial(39, 4));
    EXPECT_TRUE(allDistinct(five));
    EXPECT_TRUE(
        std::all_of(five.begin(), five.end(), [](CardMask h) { return suitCounts(h)[0] >= 2; }));
}

TEST(RankRepeat, PairsAreEveryHandWithARepeatedRank) {
    for (int n : {4, 5}) {
        EXPECT_EQ(expand(expandRankRepeat, L"RR", n),
                  handsWhere(n, [](CardMask h) { return mostOfOneRank(h) >= 2; }))
            << n;
    }
}

TEST(RankRepeat, TripsForFourCardsInTheirOrder) {
    Hands expected;
    for (int t = 0; t < 13; ++t) {
        const CardMask quads = CardMask{1} << t | CardMask{1} << (t + 13) |
                               CardMask{1} << (t + 26) | CardMask{1} << (t + 39);
        expected.push_back(quads);
        for (int w = 0; w < kDeckSize; ++w) {
            if (w % 13 == t) continue;
            for (int omitted : {3, 2, 1, 0})
                expected.push_back((quads & ~(CardMask{1} << (t + 13 * omitted))) | CardMask{1}
                                                                                        << w);
        }
    }
    EXPECT_EQ(expand(expandRankRepeat, L"RRR", 4), expected);
}

TEST(RankRepeat, TripsForLargerHandsListEachHandOnce) {
    expectSameHandsOnce(
        expand(expandRankRepeat, L"RRR", 5), [](CardMask h) { return mostOfOneRank(h) >= 3; }, 5);
    // Six cards: three or four of one of 13 ranks, less the hands counted twice (two trips).
    const auto six = expand(expandRankRepeat, L"RRR", 6);
    EXPECT_EQ(six.size(),
              13 * (binomial(4, 3) * binomial(48, 3) + binomial(48, 2)) - binomial(13, 2) * 16);
    EXPECT_TRUE(allDistinct(six));
    EXPECT_TRUE(std::all_of(six.begin(), six.end(), [&](CardMask h) {
        return mostOfOneRank(h) >= 3 && cardCount(h) == 6;
    }));
    // Three deuces and three treys: listed once, among the deuces.
    EXPECT_EQ(std::count(six.begin(), six.end(), cards(L"2c2d2h3c3d3h")), 1);
}

TEST(RankRepeat, QuadsRankByRank) {
    const auto four = expand(expandRankRepeat, L"RRRR", 4);
    ASSERT_EQ(four.size(), 13u);
    for (int t = 0; t < 13; ++t) EXPECT_EQ(rankCounts(four[t])[t], 4);
    const auto five = expand(expandRankRepeat, L"RRRR", 5);
    EXPECT_EQ(five.size(), 13u * 48);
    EXPECT_TRUE(allDistinct(five));
    for (std::size_t i = 0; i < five.size(); ++i) EXPECT_EQ(rankCounts(five[i])[i / 48], 4);
}

TEST(AllHands, EveryHandLowestCardSlowest) {
    EXPECT_EQ(expand(expandAllHands, L"*", 4), allHands(4));
    EXPECT_EQ(expand(expandAllHands, L"*", 5), allHands(5));
}

}  // namespace
}  // namespace varnel::test
