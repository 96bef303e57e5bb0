#include "core/game.h"

#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

TEST(GameTypes, RecognisedNames) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"Omaha", 4},        {L"Omaha Hi", 4},
        {L"Omaha Hi/Lo", 4},  {L"Omaha whatever", 4},
        {L"5 Card Omaha", 5}, {L"5 Card Omaha Hi/Lo", 5},
        {L"6 Card Omaha", 6}, {L"6 Card Omaha Hi/Lo", 6},
        {L"7 Card Omaha", 7}, {L"Hold'em No Limit", 2},
        {L"Courchevel", 5},   {L"Courchevel Hi/Lo", 5}};
    for (const auto& [name, count] : cases) {
        std::int32_t n = -99;
        EXPECT_TRUE(holeCardsForGame(name, n)) << name;
        EXPECT_EQ(n, count) << name;
    }
}

TEST(GameTypes, UnrecognisedNamesLeaveCountUnchanged) {
    for (const wchar_t* name : {L"7 Card Omaha Hi/Lo", L"omaha", L"", L"Omah", L"6 Card Omah"}) {
        std::int32_t n = 9;
        EXPECT_FALSE(holeCardsForGame(name, n));
        EXPECT_EQ(n, 9);
    }
}

}  // namespace
}  // namespace varnel::test
