#include "range/hand_class.h"

#include "range/hand_sets.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

Hands expand(const std::string& name, int numCards) {
    HandList list;
    list.numCards = numCards;
    expandHandClass(name, list);
    std::sort(list.hands.begin(), list.hands.end());
    return list.hands;
}

TEST(HandClass, GroupsShareASuitAndBareCardsTakeTheirOwn) {
    const auto hands = expand("(AK)Q", 3);
    ASSERT_EQ(hands.size(), 12u);  // 4 suits for the group, 3 left for the queen
    EXPECT_TRUE(std::binary_search(hands.begin(), hands.end(), cards(L"AsKsQh")));
    EXPECT_FALSE(std::binary_search(hands.begin(), hands.end(), cards(L"AsKsQs")));
    for (CardMask h : hands) EXPECT_EQ(h & ~kFullDeck, 0u);
}

TEST(HandClass, EqualGroupsGiveEachHandOnce) {
    EXPECT_EQ(expand("(AK)(AK)", 4).size(), 6u);      // 4 choose 2 pairs of suits
    EXPECT_EQ(expand("(AK)(AK)(AK)", 6).size(), 4u);  // the suit left out
    EXPECT_EQ(expand("(AK)(AK)QJ", 6).size(), 12u);   // 4! / 2!
    EXPECT_EQ(expand("AAAA", 4).size(), 1u);
}

TEST(HandClass, ThreeBareCardsAndAGroupOfThreeUseAllAssignments) {
    EXPECT_EQ(expand("(AKQ)JT9", 6).size(), 24u);
    EXPECT_EQ(expand("(AKQ)JJ9", 6).size(), 12u);  // two bare jacks swap into the same hand
}

TEST(HandClass, GroupOrderDoesNotMatter) {
    EXPECT_EQ(expand("(AK)(QJT)9", 6), expand("(QJT)(AK)9", 6));
    EXPECT_EQ(expand("(AK)(Q2)", 4), expand("(Q2)(AK)", 4));
}

TEST(HandClass, NamesOutsideTheNotationNameNothing) {
    for (const char* bad : {"", "(AK", "AK)", "(A(K))", "()AKQJ", "(AA)KQ", "AKQJT", "(ak)(QJ)",
                            "(AK)(QJ)(T9)(87)(65)", "(AK)1Q", "(AK) QJ"}) {
        EXPECT_TRUE(expand(bad, 0).empty()) << bad;
    }
    EXPECT_TRUE(expand("(AK)(QJ)", 6).empty());    // four cards where six are wanted
    EXPECT_EQ(expand("(AK)(QJ)", 0).size(), 12u);  // any count when none is wanted
}

TEST(HandClass, SixCardNameWithoutGroupIsReported) {
    const CapturedReports shown;
    EXPECT_EQ(countSixCardClass("AKQJT9"), 0);
    EXPECT_EQ(countSixCardClass("(AKQ)JT9"), 24);
    ASSERT_EQ(shown.reports.size(), 1u);
    EXPECT_EQ(shown.reports[0].text, L"String AKQJT9");
    EXPECT_EQ(shown.reports[0].caption, L"Message");
}

}  // namespace
}  // namespace varnel::test
