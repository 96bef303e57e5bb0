// The pattern dispatcher: which shape claims which term (the dispatcher must return exactly what
// that shape builds), and the counts of typical terms.

#include <sstream>

#include "oracle.h"
#include "range/expanders.h"
#include "range/hand_pattern.h"
#include "tests/support/hand_counts.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

struct Case {
    const wchar_t* term;
    const char* sizes;  // hand sizes, one digit each
    Expander owner;     // nullptr: no shape claims the term
};

const Case kCases[] = {{L"As", "3456", expandSingleCard},
                       {L"As", "2", expandPartialHand},
                       {L"A", "4567", expandRankSet},
                       {L"QQ", "345", expandRankSet},
                       {L"777", "45", expandRankSet},
                       {L"2222", "56", expandRankSet},
                       {L"2222", "4", expandRainbowRanks},
                       {L"AKQJ", "4", expandRainbowRanks},
                       {L"AKQJ", "5", expandRankSet},
                       {L"AAKQ", "4", expandRainbowRanks},
                       {L"AAKQ", "56", expandPairAndTwo},
                       {L"KQJ-", "4", expandRainbowRanks},
                       {L"KQJ-", "5", expandThreeRanksDown},
                       {L"999-", "5", expandTripsDown},
                       {L"QQ+", "47", expandPairsUp},
                       {L"T9+", "45", expandTwoRanksUp},
                       {L"AKQT-", "45", expandFourRanksDown},
                       {L"5532+", "4", expandPairAndTwoUp},
                       {L"KQ-54", "4", expandTwoRankSpan},
                       {L"$0G", "4", expandRundowns},
                       {L"$1g", "5", expandRundowns},
                       {L"AsKsXxXx", "4", expandCardList},
                       {L"AsKsQsJs", "4", expandCardList},
                       {L"AsKsXxXxXx", "5", expandCardList},
                       {L"AsKs", "456", expandPartialHand},
                       {L"AsKsQs", "47", expandPartialHand},
                       {L"As*", "45", expandPartialHand},
                       {L"Ash", "45", expandPartialHand},
                       {L"Ash", "6", expandCardWithSuit},
                       {L"x", "4", expandPartialHand},
                       {L"*", "4", expandPartialHand},
                       {L"*", "5", expandAllHands},
                       {L"RR", "45", expandRankRepeat},
                       {L"RRR", "46", expandRankRepeat},
                       {L"RRRR", "47", expandRankRepeat},
                       {L"OORR", "45", expandTwoPair},
                       {L"8-", "46", expandRankAtMost},
                       {L"Axxy", "46", expandSuitedRank},
                       {L"hh", "45", expandSuitPair},
                       {L"xxy", "4", expandSuitDistribution},
                       {L"xxxy", "5", expandSuitDistribution},
                       {L"xxyy", "4", expandSuitDistribution},
                       {L"xxyz", "6", expandSuitDistribution},
                       {L"Axxyy", "4", expandDoubleSuitedRank},
                       // Claimed by nobody.
                       {L"As*", "67", nullptr},
                       {L"AsKs", "7", nullptr},
                       {L"x", "567", nullptr},
                       {L"ak", "4", nullptr},
                       {L"ASKS", "45", nullptr},
                       {L"AsKsXxXx", "5", nullptr},
                       {L"", "4", nullptr}};

Hands dispatch(std::wstring_view term, int n) {
    HandList list{{1, 1, 1}, n};  // the dispatcher discards what the list held
    const std::uint64_t count = expandHandPattern(term, list);
    EXPECT_EQ(count, list.hands.size()) << std::wstring(term);
    return list.hands;
}

TEST(PatternDispatch, EachTermGoesToItsShape) {
    for (const Case& c : kCases) {
        const std::wstring term = c.term;
        for (const char* size = c.sizes; *size; ++size) {
            const int n = *size - '0';
            SCOPED_TRACE(testing::Message() << term << " with " << n << " cards");
            const Hands dispatched = dispatch(term, n);
            bool claimed = false;
            EXPECT_EQ(dispatched, c.owner ? expand(c.owner, term, n, &claimed) : Hands{});
            EXPECT_EQ(claimed, c.owner != nullptr);
        }
    }
}

TEST(PatternDispatch, KnownCountsOfTypicalTermsOfEachShape) {
    for (const HandCount& c : kHandCounts)
        EXPECT_EQ(dispatch(c.term, c.cards).size(), c.hands) << c.term << " with " << c.cards;
}

// A shape declines the terms of other forms without touching the list; it claims, with no hand,
// terms whose cards collide and hand sizes it cannot serve.
TEST(Shapes, DeclineOtherFormsAndClaimWhatTheyCannotServe) {
    const struct {
        Expander expander;
        int n;
        const wchar_t* terms;  // separated by blanks
        bool claimed = false;
    } cases[] = {
        {expandSingleCard, 2, L"As"},
        {expandSingleCard, 8, L"As"},
        {expandSingleCard, 4, L"Xx as AS A Ash"},
        // Three codes for four positions, not a code, odd length, case-sensitive, 16 characters.
        {expandCardList, 4, L"AsKsQs AsKsQsJz AsKsQsJsT asKsQsJs AsKsQsJsTs9s8s7s"},
        {expandCardList, 2, L"AsKs"},     // too short for a card list
        {expandPartialHand, 7, L"AsKs"},  // five missing
        {expandPartialHand, 5, L"x"},
        {expandPartialHand, 4, L"AsKsQsJsTs ASKS AsKx XsKs A- 1s2s"},
        {expandCardWithSuit, 6, L"Asx AsH XsH Xsh As Ashh"},
        {expandSuitPair, 4, L"hd HH xx h hhh"},
        {expandRankRepeat, 4, L"rr R RRRRR RRr OORR"},
        {expandAllHands, 4, L"** x"},
        {expandRankSet, 5, L"AAAK AAKK ak A+ As AKQJT 1 x"},
        {expandSuitDistribution, 4, L"xyy XXYY"},
        {expandSuitedRank, 4, L"axxy Axx Axxyy Axyy xxxy"},
        {expandDoubleSuitedRank, 4, L"Axxy -xxyy"},
        {expandTwoPair, 4, L"oorr"},
        {expandPairAndTwo, 5, L"AAKK AKQJ AAAK AAK AAKx"},
        {expandRankAtMost, 4, L"8+ x- 88-"},
        // The rainbow rule takes only four characters for four cards.
        {expandRainbowRanks, 5, L"AKQJ"},
        {expandRainbowRanks, 4, L"AKQ"},
        {expandPairsUp, 4, L"QK+ QQ-"},
        {expandTwoRanksUp, 4, L"TT+ T9- Tx+"},
        {expandThreeRanksDown, 4, L"KQK- KQJ+ KQJT-"},
        {expandFourRanksDown, 4, L"AKQQ- AKQT+"},
        {expandTripsDown, 4, L"99- 998- xxx-"},
        {expandPairAndTwoUp, 4, L"5533+ 5532-"},
        {expandTwoRankSpan, 4, L"KQ-53 KQ+54 KQ-5x"},
        {expandRundowns, 4, L"$3G $0 0G $0Gx"},
        // Claimed with no hand.
        {expandCardList, 4, L"AsAsXxXx", true},
        {expandCardList, 5, L"AxAxAxAxAx", true},  // five aces
        {expandCardList, 2, L"AsKsQs", true},
        {expandPartialHand, 4, L"AsAs", true},
        {expandPartialHand, 5, L"AsKsas", true},
        {expandCardWithSuit, 3, L"Ash", true},
        {expandSuitPair, 3, L"ss", true},
        {expandRankRepeat, 3, L"RR", true},
        {expandAllHands, 3, L"*", true},
        {expandRankSet, 3, L"A AK AAK 2222", true},
        {expandRankSet, 2, L"QQ", true},
        {expandRankSet, 8, L"A", true},
        {expandRankSet, 0, L"QQ", true},
        {expandRainbowRanks, 4, L"KQJ- 999- akqj AKQs", true},
        {expandPairsUp, 4, L"xx+", true},
        {expandTwoRankSpan, 4, L"54-KQ", true}};
    for (const auto& c : cases) {
        std::wistringstream terms(c.terms);
        for (std::wstring term; terms >> term;)
            EXPECT_TRUE(c.claimed ? claimsNothing(c.expander, term, c.n)
                                  : declines(c.expander, term, c.n))
                << term << " with " << c.n << " cards";
    }
    EXPECT_TRUE(declines(expandRankSet, L"", 5));
}

}  // namespace
}  // namespace varnel::test
