// The pattern dispatcher: which shape claims which term (the dispatcher must return exactly what
// that shape builds), and the counts of typical terms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace varnel::test
