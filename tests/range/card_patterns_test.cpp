// The card and suit patterns against brute force over all hands and counts from combinatorics.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "oracle.h"
#include "range/combinations.h"
#include "range/expanders.h"

namespace varnel {
namespace {

using test::allHands;
using test::card;
using test::choose;
using test::countOfRank;
using test::countOfSuit;
using test::handsWhere;
using test::listOf;
using test::mostOfOneRank;
using test::strictlyAscending;

constexpr int kHearts = 2;
constexpr int kAceOfSpades = 51;

template <typename Expander>
std::vector<CardMask> expand(Expander expander, const wchar_t* term, int n,
                             bool* claimed = nullptr) {
    HandList list = listOf(n);
    const bool c = expander(term, list);
    if (claimed) *claimed = c;
    return list.hands;
}

template <typename Expander>
bool declines(Expander expander, const wchar_t* term, int n) {
    HandList list = listOf(n);
    return !expander(term, list) && list.hands.empty();
}

std::vector<CardMask> sorted(std::vector<CardMask> hands) {
    std::sort(hands.begin(), hands.end());
    return hands;
}

// The cards of a hand in ascending order.
std::vector<int> cardsOf(CardMask hand) {
    std::vector<int> cards;
    for (int c = 0; c < kDeckSize; ++c) {
        if (hand >> c & 1) cards.push_back(c);
    }
    return cards;
}

TEST(CombinationEnumerator, StopsWhenTheVisitorSaysSo) {
    const CardPool pool = poolWithout(~CardMask{0x3F});  // cards 0..5
    int visits = 0;
    EXPECT_FALSE(forEachCombination(pool, 3, 0, [&](CardMask) { return ++visits < 5; }));
    EXPECT_EQ(visits, 5);
    std::vector<CardMask> lex, ascending;
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
    const CardMask as = card(L"As"), deuce = card(L"2c");
    for (int n = 3; n <= 6; ++n) {
        const std::vector<CardMask> hands = expand(expandSingleCard, L"As", n);
        EXPECT_EQ(hands.size(), choose(51, n - 1)) << n;
        EXPECT_TRUE(strictlyAscending(hands)) << n;
        EXPECT_TRUE(std::all_of(hands.begin(), hands.end(), [&](CardMask h) {
            return (h & as) && cardCount(h) == n;
        })) << n;
    }
    EXPECT_EQ(expand(expandSingleCard, L"As", 4).size(), 20825u);
    EXPECT_EQ(expand(expandSingleCard, L"2c", 4),
              sorted(handsWhere(4, [&](CardMask h) { return (h & deuce) != 0; })));
}

// A hand matches a card list when its cards can be given to the positions, each position
// taking a card its code covers: tried over every ordering of the hand's cards.
std::vector<CardMask> codeSets(const std::wstring& term, int n) {
    std::vector<CardMask> sets;
    for (int p = 0; p < n; ++p) {
        const std::wstring code = term.substr(2 * p, 2);
        CardMask set = 0;
        for (int c = 0; c < kDeckSize; ++c) {
            const wchar_t rank = L"23456789TJQKA"[c % 13], suit = L"cdhs"[c / 13];
            if ((code[0] == L'X' || code[0] == rank) && (code[1] == L'x' || code[1] == suit))
                set |= CardMask{1} << c;
        }
        sets.push_back(set);
    }
    return sets;
}
bool fitsFrom(std::size_t p, CardMask left, const std::vector<CardMask>& sets) {
    if (p == sets.size()) return true;
    for (int c = 0; c < kDeckSize; ++c) {
        const CardMask bit = CardMask{1} << c;
        if ((left & bit) && (sets[p] & bit) && fitsFrom(p + 1, left & ~bit, sets)) return true;
    }
    return false;
}
bool fitsCodes(CardMask hand, const std::vector<CardMask>& sets) {
    return fitsFrom(0, hand, sets);
}

TEST(CardList, MatchesBruteForceOverAllHands) {
    for (const wchar_t* term :
         {L"AsKsXxXx", L"XhXhXhXh", L"TxXhXxXx", L"XcXdAxKx", L"XsXs2xXx", L"AxAxXsXx"}) {
        const auto sets = codeSets(term, 4);
        const auto expected = sorted(handsWhere(4, [&](CardMask h) { return fitsCodes(h, sets); }));
        bool claimed = false;
        EXPECT_EQ(expand(expandCardList, term, 4, &claimed), expected) << term;
        EXPECT_TRUE(claimed);
    }
    EXPECT_EQ(expand(expandCardList, L"AsKsXxXx", 4).size(), 1225u);
    EXPECT_EQ(expand(expandCardList, L"XhXhXhXh", 4).size(), 715u);
    const auto threeSets = codeSets(L"XxAxXd", 3);
    EXPECT_EQ(expand(expandCardList, L"XxAxXd", 3),
              sorted(handsWhere(3, [&](CardMask h) { return fitsCodes(h, threeSets); })));
}

TEST(CardList, LargerHandsAndExtraCodes) {
    const auto five = expand(expandCardList, L"AsKsXxXxXx", 5);
    EXPECT_EQ(five.size(), choose(50, 3));
    EXPECT_TRUE(strictlyAscending(five));
    EXPECT_EQ(expand(expandCardList, L"AsKsQsJsTs9sXx", 7).size(), 46u);
    // Only the first four codes count for four cards.
    EXPECT_EQ(expand(expandCardList, L"AsKsQsJsTs", 4),
              std::vector<CardMask>{card(L"As") | card(L"Ks") | card(L"Qs") | card(L"Js")});
    EXPECT_EQ(expand(expandCardList, L"AsKsQsJs", 4).size(), 1u);
}

TEST(CardList, CollidingCodesAreClaimedWithNoHand) {
    bool claimed = false;
    EXPECT_TRUE(expand(expandCardList, L"AsAsXxXx", 4, &claimed).empty());
    EXPECT_TRUE(claimed);
    EXPECT_TRUE(expand(expandCardList, L"AxAxAxAxAx", 5, &claimed).empty());  // five aces
    EXPECT_TRUE(claimed);
}

TEST(PartialHand, CompletesTheGivenCardsInAscendingOrder) {
    const auto both = [](CardMask h) { return (h & card(L"As")) && (h & card(L"Ks")); };
    EXPECT_EQ(expand(expandPartialHand, L"AsKs", 4), sorted(handsWhere(4, both)));
    EXPECT_EQ(expand(expandPartialHand, L"AsKs", 4).size(), 1225u);
    EXPECT_EQ(expand(expandPartialHand, L"asks", 4).size(), 1225u);  // lower-case honours
    EXPECT_EQ(expand(expandPartialHand, L"AsKsQs", 4).size(), 49u);
    for (int n : {4, 5}) {
        EXPECT_EQ(expand(expandPartialHand, L"As*", n), expand(expandSingleCard, L"As", n)) << n;
        EXPECT_EQ(expand(expandPartialHand, L"Ash", n), expand(expandSingleCard, L"As", n)) << n;
    }
    EXPECT_EQ(expand(expandPartialHand, L"x", 4), sorted(allHands(4)));
}

TEST(PartialHand, OtherHandSizesFollowTheSameRule) {
    EXPECT_EQ(expand(expandPartialHand, L"AsKs", 2),
              std::vector<CardMask>{card(L"As") | card(L"Ks")});
    EXPECT_EQ(expand(expandPartialHand, L"x", 2), sorted(allHands(2)));
    const auto seven = expand(expandPartialHand, L"AsKsQs", 7);
    EXPECT_EQ(seven.size(), choose(49, 4));
    EXPECT_TRUE(strictlyAscending(seven));
}

TEST(PartialHand, RepeatedCardNamesNoHand) {
    bool claimed = false;
    EXPECT_TRUE(expand(expandPartialHand, L"AsAs", 4, &claimed).empty());
    EXPECT_TRUE(claimed);
    EXPECT_TRUE(expand(expandPartialHand, L"AsKsas", 5, &claimed).empty());
    EXPECT_TRUE(claimed);
}

// The order of the card-with-suit and suit-pair expanders: by their anchors, then the other
// cards in increasing order with the lowest varying slowest.
template <typename Key>
std::vector<CardMask> orderedBy(const std::vector<CardMask>& hands, Key key) {
    std::vector<std::pair<decltype(key(0)), CardMask>> keyed;
    for (CardMask h : hands) keyed.emplace_back(key(h), h);
    std::sort(keyed.begin(), keyed.end());
    std::vector<CardMask> out;
    for (const auto& k : keyed) out.push_back(k.second);
    return out;
}

TEST(CardWithSuit, EveryHandWithTheCardAndAnotherOfTheSuit) {
    const CardMask as = card(L"As");
    const auto hasAsAndHeart = [&](CardMask h) { return (h & as) && countOfSuit(h, kHearts) >= 1; };
    // Anchor: the lowest heart; then the remaining cards.
    const auto key = [&](CardMask h) {
        const std::vector<int> cards = cardsOf(h);
        int companion = 99;
        for (int c : cards) {
            if (c / 13 == kHearts) companion = std::min(companion, c);
        }
        std::vector<int> rest;
        for (int c : cards) {
            if (c != companion && c != kAceOfSpades) rest.push_back(c);
        }
        return std::pair{companion, rest};
    };
    const auto hands = expand(expandCardWithSuit, L"Ash", 4);
    EXPECT_EQ(hands, orderedBy(handsWhere(4, hasAsAndHeart), key));
    EXPECT_EQ(hands.size(), choose(51, 3) - choose(38, 3));
    // The given card of the suit itself: another spade is needed.
    const auto spades = expand(expandCardWithSuit, L"Ass", 4);
    EXPECT_EQ(
        sorted(spades),
        sorted(handsWhere(4, [&](CardMask h) { return (h & as) && countOfSuit(h, 3) >= 2; })));
    const auto six = expand(expandCardWithSuit, L"Ash", 6);
    EXPECT_EQ(six.size(), choose(51, 5) - choose(38, 5));
    EXPECT_TRUE(test::allDistinct(six));
}

TEST(SuitPair, EveryHandWithTwoCardsOfTheSuit) {
    const auto key = [](CardMask h) {
        std::vector<int> hearts, rest;
        for (int c : cardsOf(h))
            (c / 13 == kHearts && hearts.size() < 2 ? hearts : rest).push_back(c);
        return std::pair{hearts, rest};
    };
    const auto hands = expand(expandSuitPair, L"hh", 4);
    EXPECT_EQ(hands.size(), 69667u);
    EXPECT_EQ(
        hands,
        orderedBy(handsWhere(4, [](CardMask h) { return countOfSuit(h, kHearts) >= 2; }), key));
    const auto five = expand(expandSuitPair, L"cc", 5);
    EXPECT_EQ(five.size(), choose(52, 5) - choose(39, 5) - 13 * choose(39, 4));
    EXPECT_TRUE(test::allDistinct(five));
    EXPECT_TRUE(
        std::all_of(five.begin(), five.end(), [](CardMask h) { return countOfSuit(h, 0) >= 2; }));
}

// Hands of n cards holding three or more of some rank, counted rank by rank.
std::uint64_t handsWithTrips(int n) {
    std::vector<std::array<std::uint64_t, 2>> ways(n + 1, {0, 0});
    ways[0][0] = 1;
    for (int rank = 0; rank < 13; ++rank) {
        std::vector<std::array<std::uint64_t, 2>> next(n + 1, {0, 0});
        for (int t = 0; t <= n; ++t) {
            for (int f = 0; f < 2; ++f) {
                for (int c = 0; c <= 4 && t + c <= n; ++c)
                    next[t + c][f || c >= 3] += ways[t][f] * choose(4, c);
            }
        }
        ways = next;
    }
    return ways[n][1];
}

TEST(RankRepeat, PairsAreEveryHandWithARepeatedRank) {
    for (int n : {4, 5}) {
        EXPECT_EQ(expand(expandRankRepeat, L"RR", n),
                  handsWhere(n, [](CardMask h) { return mostOfOneRank(h) >= 2; }))
            << n;
    }
    EXPECT_EQ(expand(expandRankRepeat, L"RR", 4).size(), 87685u);
}

TEST(RankRepeat, TripsForFourCardsInTheirOrder) {
    std::vector<CardMask> expected;
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
    EXPECT_EQ(expected.size(), 2509u);
    EXPECT_EQ(expand(expandRankRepeat, L"RRR", 4), expected);
}

TEST(RankRepeat, TripsForLargerHandsListEachHandOnce) {
    for (int n : {5, 6}) {
        const auto hands = expand(expandRankRepeat, L"RRR", n);
        EXPECT_EQ(hands.size(), handsWithTrips(n)) << n;
        EXPECT_TRUE(test::allDistinct(hands)) << n;
        EXPECT_TRUE(std::all_of(hands.begin(), hands.end(), [&](CardMask h) {
            return mostOfOneRank(h) >= 3 && cardCount(h) == n;
        }));
    }
    // Three deuces and three treys: listed once, among the deuces.
    const auto six = expand(expandRankRepeat, L"RRR", 6);
    const CardMask deucesTreys =
        card(L"2c") | card(L"2d") | card(L"2h") | card(L"3c") | card(L"3d") | card(L"3h");
    EXPECT_EQ(std::count(six.begin(), six.end(), deucesTreys), 1);
}

TEST(RankRepeat, QuadsRankByRank) {
    const auto four = expand(expandRankRepeat, L"RRRR", 4);
    ASSERT_EQ(four.size(), 13u);
    for (int t = 0; t < 13; ++t) EXPECT_EQ(countOfRank(four[t], t), 4);
    const auto five = expand(expandRankRepeat, L"RRRR", 5);
    EXPECT_EQ(five.size(), 624u);
    EXPECT_TRUE(test::allDistinct(five));
    for (std::size_t i = 0; i < five.size(); ++i)
        EXPECT_EQ(countOfRank(five[i], static_cast<int>(i / 48)), 4);
}

TEST(AllHands, EveryHandLowestCardSlowest) {
    EXPECT_EQ(expand(expandAllHands, L"*", 4), allHands(4));
    EXPECT_EQ(expand(expandAllHands, L"*", 5), allHands(5));
}

using PatternExpander = bool (*)(std::wstring_view, HandList&);

TEST(Patterns, DeclineTermsAndSizesThatAreNotTheirs) {
    const struct {
        PatternExpander expander;
        int n;
        std::vector<const wchar_t*> terms;
    } cases[] = {
        {expandSingleCard, 2, {L"As"}},
        {expandSingleCard, 8, {L"As"}},
        {expandSingleCard, 4, {L"Xx", L"as", L"AS", L"A", L"Ash"}},
        // Three codes for four positions, not a code, odd length, case-sensitive codes, 16
        // characters.
        {expandCardList,
         4,
         {L"AsKsQs", L"AsKsQsJz", L"AsKsQsJsT", L"asKsQsJs", L"AsKsQsJsTs9s8s7s"}},
        {expandCardList, 2, {L"AsKs"}},     // too short for a card list
        {expandPartialHand, 7, {L"AsKs"}},  // five missing
        {expandPartialHand, 5, {L"x"}},
        {expandPartialHand, 4, {L"AsKsQsJsTs", L"ASKS", L"AsKx", L"XsKs", L"A-", L"1s2s"}},
        {expandCardWithSuit, 6, {L"Asx", L"AsH", L"XsH", L"Xsh", L"As", L"Ashh"}},
        {expandSuitPair, 4, {L"hd", L"HH", L"xx", L"h", L"hhh"}},
        {expandRankRepeat, 4, {L"rr", L"R", L"RRRRR", L"RRr", L"OORR"}},
        {expandAllHands, 4, {L"**", L"x"}},
    };
    for (const auto& c : cases)
        for (const wchar_t* term : c.terms)
            EXPECT_TRUE(declines(c.expander, term, c.n)) << std::wstring(term) << " " << c.n;
}

TEST(Patterns, ClaimTheirTermsForHandSizesTheyCannotServe) {
    const std::tuple<PatternExpander, const wchar_t*, int> cases[] = {
        {expandCardList, L"AsKsQs", 2}, {expandCardWithSuit, L"Ash", 3}, {expandSuitPair, L"ss", 3},
        {expandRankRepeat, L"RR", 3},   {expandAllHands, L"*", 3},
    };
    for (const auto& [expander, term, n] : cases) {
        bool claimed = false;
        EXPECT_TRUE(expand(expander, term, n, &claimed).empty()) << std::wstring(term);
        EXPECT_TRUE(claimed) << std::wstring(term);
    }
}

}  // namespace
}  // namespace varnel
