// Ordering files that the set-up is still generating are reported as such.
#include "ordering_files_helper.h"

namespace varnel::testing {
namespace {

using OrderingsBeingGenerated = OrderingDirTest;

TEST_F(OrderingsBeingGenerated, MissingFilesSaySoUntilTheyAppear) {
    writeFile("orderings.generating", "");
    EXPECT_TRUE(selectTopPercent(4, 50).hands.empty());
    ASSERT_EQ(messages.size(), 3u);  // the class file, then the hand file at load and selection
    EXPECT_EQ(messages[0].text,
              L"File oh6maxordering.bin is being generated, try again in a few minutes");
    EXPECT_EQ(messages[2].text,
              L"File oh6maxordering.64 is being generated, try again in a few minutes");
    EXPECT_EQ(messages[2].caption, L"File error");

    writeFile("oh6maxordering.bin", shortRecord("AA", 6));
    writeCountingHands("oh6maxordering.64", 6);
    std::filesystem::remove("orderings.generating");
    EXPECT_EQ(selectTopPercent(4, 50).hands, countingHands(6));
    EXPECT_TRUE(selectTopPercent(7, 50).hands.empty());
    EXPECT_EQ(messages.back().text, L"File oh7vsrandomordering.64 doesn't exist!");
}

}  // namespace
}  // namespace varnel::testing
