// What the reader and the window tell about the orderings: the generator's log read into
// progress and time left, files in place, and texts that name the game and never a file.
#include "engine/ordering_status.h"

#include <fstream>

#include "engine/request.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// The 4-card ordering done, the 5-card one a quarter through after a minute.
const std::string kLog =
    "  4 cards: 16432 classes,  50.0% (20 s)\r  4 cards: 16432 classes written in 40.0 s "
    "(processor time 70.0 s)\n  5 cards: 134459 classes,  10.0% (5 s)\r  5 cards: 134459 "
    "classes,  25.0% (60 s)";

void touch(const std::filesystem::path& path, const std::string& text = "") {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(OrderingStatus, FilesMarkerAndLogGiveEachOrderingsState) {
    TempDir dir;
    EXPECT_EQ(orderingsStatus(dir.path().string()).of(4).state, OrderingState::Missing);
    touch(dir / "oh6maxordering.bin");
    touch(dir / "oh6maxordering.64");
    touch(dir / "oh56maxordering.bin");  // its hand file is not there yet
    touch(dir / "orderings.generating");
    touch(dir / "generate.log", kLog);
    const OrderingsStatus s = orderingsStatus(dir.path().string());
    EXPECT_TRUE(s.generating);
    EXPECT_EQ(s.of(4).state, OrderingState::Ready);
    EXPECT_EQ(s.of(5).state, OrderingState::InProgress);
    EXPECT_DOUBLE_EQ(s.of(5).percent, 25);
    EXPECT_DOUBLE_EQ(s.of(5).secondsLeft, 180);  // 60 s for 25%: 180 s for the other 75%
    EXPECT_EQ(s.of(6).state, OrderingState::Pending);
    EXPECT_EQ(s.of(7).state, OrderingState::Pending);
}

TEST(OrderingStatus, TextsNameTheGameAndTheTimeLeft) {
    OrderingsStatus s;
    s.generating = true;
    s.cards[0].state = OrderingState::Ready;
    for (int c = 1; c < kOrderingCount; ++c) s.cards[c].state = OrderingState::Pending;
    readGenerationLog(kLog, s);
    EXPECT_EQ(orderingUnavailableText(L"5 Card Omaha", 5, s),
              L"the percentage ranges of 5 Card Omaha are being prepared: 25% done, about 3 min "
              L"left");
    EXPECT_EQ(orderingUnavailableText(L"6 Card Omaha Hi/Lo", 6, s),
              L"the percentage ranges of 6 Card Omaha Hi/Lo are being prepared after the 5-card "
              L"ones (those: 25% done, about 3 min left)");
    s.cards[1] = {OrderingState::InProgress, 0.5, -1};
    EXPECT_NE(orderingUnavailableText(L"5 Card Omaha", 5, s).find(L"time left not known yet"),
              std::wstring::npos);
    EXPECT_EQ(durationText(59), L"less than a minute");
    EXPECT_EQ(durationText(7200), L"about 2 h");
    s = {};
    for (int c = 4; c <= 7; ++c) {
        const std::wstring text = orderingUnavailableText(L"Omaha", c, s);
        EXPECT_NE(text.find(L"are not on this computer"), std::wstring::npos);
        EXPECT_EQ(text.find(L"file"), std::wstring::npos);
    }
}

TEST(OrderingStatus, LonePlayerIsReadForItsCount) {
    const CheckedRequest r = readRequest({L"Omaha", {{L"P 1", L"AsKsXxXx"}}, {}});
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].message, L"Fill at least two player fields.");
    ASSERT_EQ(r.players.size(), 1u);
    EXPECT_EQ(r.players[0].hands, binomial(50, 2));
    EXPECT_EQ(handCountText(1225), L"1,225 hands");
    EXPECT_EQ(handCountText(1), L"1 hand");
    EXPECT_TRUE(playableGame(L"Courchevel Hi/Lo"));
    EXPECT_FALSE(playableGame(L"Hold'em No Limit"));
}

}  // namespace
}  // namespace varnel::test
