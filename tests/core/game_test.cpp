#include "core/game.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

int countFor(const wchar_t* name, int start = -99) {
    std::int32_t n = start;
    holeCardsForGame(name, n);
    return n;
}

TEST(GameTypes, RecognisedNames) {
    EXPECT_EQ(countFor(L"Omaha"), 4);
    EXPECT_EQ(countFor(L"Omaha Hi"), 4);
    EXPECT_EQ(countFor(L"Omaha Hi/Lo"), 4);
    EXPECT_EQ(countFor(L"Omaha whatever"), 4);
    EXPECT_EQ(countFor(L"5 Card Omaha"), 5);
    EXPECT_EQ(countFor(L"5 Card Omaha Hi/Lo"), 5);
    EXPECT_EQ(countFor(L"6 Card Omaha"), 6);
    EXPECT_EQ(countFor(L"6 Card Omaha Hi/Lo"), 6);
    EXPECT_EQ(countFor(L"7 Card Omaha"), 7);
    EXPECT_EQ(countFor(L"Hold'em No Limit"), 2);
    EXPECT_EQ(countFor(L"Courchevel"), 5);
    EXPECT_EQ(countFor(L"Courchevel Hi/Lo"), 5);
}

TEST(GameTypes, UnrecognisedNamesLeaveCountUnchanged) {
    for (const wchar_t* name : {L"7 Card Omaha Hi/Lo", L"omaha", L"", L"Omah", L"6 Card Omah"}) {
        std::int32_t n = 9;
        EXPECT_FALSE(holeCardsForGame(name, n));
        EXPECT_EQ(n, 9);
    }
}

}  // namespace
}  // namespace varnel
