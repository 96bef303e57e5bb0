// Percentage ranges from hand-made ordering files in a scratch working directory.
#include "range/ordering.h"

#include <cstring>
#include <fstream>

#include "range/hand_sets.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// Each test runs in a fresh working directory with empty caches and captured messages.
class OrderingSelection : public ::testing::Test {
  protected:
    void SetUp() override { resetOrderingCaches(); }
    void TearDown() override { resetOrderingCaches(); }
    const std::vector<CapturedReports::Report>& messages() const { return m_reports.reports; }

  private:
    WorkingDir m_dir;
    CapturedReports m_reports;
};

template <typename T>
void putBytes(std::string& out, T value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof value);
}

// One 20-byte record of a 4/5-card class file.
std::string shortRecord(const std::string& name, std::uint8_t count) {
    std::string r;
    for (int i = 0; i < 9; ++i)
        putBytes(r, static_cast<std::uint16_t>(i < static_cast<int>(name.size()) ? name[i] : ' '));
    r.push_back('\0');
    r.push_back(static_cast<char>(count));
    return r;
}

// One record of a 6/7-card class file (name length 12 or 13).
std::string ratedRecord(int numCards, const std::string& name, std::uint32_t count,
                        double cumulativePercent, double score = 0.5) {
    std::string r = name;
    r.resize(numCards == 6 ? 12 : 13, ' ');
    putBytes(r, score);
    putBytes(r, count);
    putBytes(r, cumulativePercent);
    return r;
}

void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

// A hand file holding the masks 1, 2, ... count (the loader does not look inside them).
void writeCountingHands(const std::string& name, std::uint64_t count) {
    std::string bytes;
    for (std::uint64_t i = 1; i <= count; ++i) putBytes(bytes, i);
    writeFile(name, bytes);
}

Hands countingHands(std::uint64_t count) {
    Hands hands;
    for (std::uint64_t i = 1; i <= count; ++i) hands.push_back(i);
    return hands;
}

const std::wstring kMissing4Hands = L"File oh6maxordering.64 doesn't exist!";

// The cumulative percentage the loader derives for `count` hands of 4 cards.
double fourCardPercent(std::uint32_t count) {
    return (count * 100u) / static_cast<double>(choose(52, 4));
}

// Twelve 4-card classes of 1, 2, ... 12 hands (cumulative 1, 3, 6, 10, ... 78).
void writeTwelveClasses() {
    std::string records;
    for (int i = 1; i <= 12; ++i) records += shortRecord("C" + std::to_string(i), i);
    writeFile("oh6maxordering.bin", records);
    writeCountingHands("oh6maxordering.64", 78);
}

TEST_F(OrderingSelection, IncludesOnlyClassesStrictlyBelowThePercentage) {
    writeTwelveClasses();
    EXPECT_EQ(selectTopPercent(4, fourCardPercent(10)).hands, countingHands(6));
    EXPECT_EQ(selectTopPercent(4, std::nextafter(fourCardPercent(10), 100.0)).hands,
              countingHands(10));
    EXPECT_EQ(selectTopPercent(4, fourCardPercent(1)).hands, countingHands(0));
    EXPECT_TRUE(selectTopPercent(4, 0).hands.empty());
    EXPECT_TRUE(selectTopPercent(4, -3).hands.empty());
    EXPECT_EQ(selectTopPercent(4, 50).hands, countingHands(78));
    EXPECT_EQ(selectTopPercent(4, 50).numCards, 4);
    // Other hand sizes select nothing.
    EXPECT_TRUE(selectTopPercent(3, 50).hands.empty());
    EXPECT_TRUE(selectTopPercent(8, 50).hands.empty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(OrderingSelection, HundredPercentLeavesOutAClassEndingAtExactlyHundred) {
    // 1061 classes of 255 hands and a last one of 170: together every four-card hand.
    std::string records;
    for (int i = 0; i < 1061; ++i) records += shortRecord("C" + std::to_string(i), 255);
    records += shortRecord("Last", 170);
    writeFile("oh6maxordering.bin", records);
    writeCountingHands("oh6maxordering.64", choose(52, 4));
    EXPECT_EQ(selectTopPercent(4, 100).hands.size(), choose(52, 4) - 170);
    EXPECT_EQ(selectTopPercent(4, 100.001).hands.size(), choose(52, 4));
}

TEST_F(OrderingSelection, FilesStillBeingGeneratedSaySoUntilTheyAppear) {
    writeFile("orderings.generating", "");
    EXPECT_TRUE(selectTopPercent(4, 50).hands.empty());
    ASSERT_EQ(messages().size(), 3u);  // the class file, then the hand file at load and selection
    EXPECT_EQ(messages()[0].text,
              L"File oh6maxordering.bin is being generated, try again in a few minutes");
    EXPECT_EQ(messages()[2].text,
              L"File oh6maxordering.64 is being generated, try again in a few minutes");
    EXPECT_EQ(messages()[2].caption, L"File error");

    writeFile("oh6maxordering.bin", shortRecord("AA", 6));
    writeCountingHands("oh6maxordering.64", 6);
    std::filesystem::remove("orderings.generating");
    EXPECT_EQ(selectTopPercent(4, 50).hands, countingHands(6));
    EXPECT_TRUE(selectTopPercent(7, 50).hands.empty());
    EXPECT_EQ(messages().back().text, L"File oh7vsrandomordering.64 doesn't exist!");
}

TEST_F(OrderingSelection, MissingClassFileIsReportedAndRetriedEveryTime) {
    writeCountingHands("oh6maxordering.64", 78);
    EXPECT_TRUE(selectTopPercent(4, 50).hands.empty());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, L"File oh6maxordering.bin doesn't exist!");
    EXPECT_EQ(messages()[0].caption, L"File error");

    EXPECT_TRUE(selectTopPercent(4, 50).hands.empty());
    EXPECT_EQ(messages().size(), 2u);  // tried again, reported again

    writeTwelveClasses();
    EXPECT_EQ(selectTopPercent(4, 50).hands, countingHands(78));
    EXPECT_EQ(messages().size(), 2u);
}

TEST_F(OrderingSelection, MissingHandFileIsReportedAtLoadAndAtEverySelection) {
    writeTwelveClasses();
    std::filesystem::remove("oh6maxordering.64");
    EXPECT_TRUE(selectTopPercent(4, 50).hands.empty());
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0].text, kMissing4Hands);
    EXPECT_EQ(messages()[1].text, kMissing4Hands);
    EXPECT_TRUE(selectTopPercent(4, 50).hands.empty());
    EXPECT_EQ(messages().size(), 3u);

    writeCountingHands("oh6maxordering.64", 78);
    EXPECT_EQ(selectTopPercent(4, 50).hands, countingHands(78));
    EXPECT_EQ(messages().size(), 3u);
}

TEST_F(OrderingSelection, ShortFilesUseWhatWasRead) {
    writeTwelveClasses();
    writeCountingHands("oh6maxordering.64", 7);  // the classes promise 78
    EXPECT_EQ(selectTopPercent(4, 50).hands, countingHands(7));
    EXPECT_TRUE(messages().empty());
}

TEST_F(OrderingSelection, FailingFileQueryIsReportedNotThrown) {
    std::filesystem::create_symlink("oh6maxordering.bin", "oh6maxordering.bin");  // a loop
    writeCountingHands("oh6maxordering.64", 78);
    HandList list;
    EXPECT_NO_THROW(list = selectTopPercent(4, 50));
    EXPECT_TRUE(list.hands.empty());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].text.find(L"oh6maxordering.bin cannot be checked"), std::wstring::npos);
    EXPECT_EQ(messages()[0].caption, L"File error");
}

TEST_F(OrderingSelection, SevenCardsCountFromTheFileAndKeepTheFirstOfARepeatedName) {
    writeFile("oh7vsrandomordering.bin", ratedRecord(7, "(AKQJT)AK", 2, 1.0) +
                                             ratedRecord(7, "(AKQJ9)AK", 3, 2.0) +
                                             ratedRecord(7, "(AKQJT)AK", 50, 3.0));
    writeCountingHands("oh7vsrandomordering.64", 60);
    EXPECT_EQ(selectTopPercent(7, 1.5).hands, countingHands(2));
    EXPECT_EQ(selectTopPercent(7, 99).hands, countingHands(5));
    const RatedClasses rated = loadRatedClassFile(7, L"oh7vsrandomordering.txt");
    ASSERT_EQ(rated.size(), 2u);
    EXPECT_EQ(rated[0].nameView(), "(AKQJT)AK");
    EXPECT_EQ(rated[0].handCount, 2u);
    EXPECT_DOUBLE_EQ(rated[0].cumulativePercent, 1.0);
}

TEST_F(OrderingSelection, SixCardsCountTheHandsTheNamesDenote) {
    // The file's counts (999) are not used: three AK groups name 4 hands, two AKQ groups 6.
    writeFile("oh6vsrandomordering.bin", ratedRecord(6, "(AK)(AK)(AK)", 999, 10.0) +
                                             ratedRecord(6, "(AKQ)(AKQ)", 999, 20.0) +
                                             ratedRecord(6, "AKQJT9", 999, 30.0));
    writeCountingHands("oh6vsrandomordering.64", 100);
    EXPECT_EQ(selectTopPercent(6, 15).hands, countingHands(4));
    EXPECT_EQ(selectTopPercent(6, 25).hands, countingHands(10));
    EXPECT_EQ(selectTopPercent(6, 35).hands, countingHands(10));  // the name without a group
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, L"String AKQJT9");
}

TEST_F(OrderingSelection, SevenCardHandFileAppearingLaterIsUsed) {
    writeFile("oh7vsrandomordering.bin", ratedRecord(7, "(AKQJT)AK", 2, 1.0));
    EXPECT_TRUE(selectTopPercent(7, 50).hands.empty());
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1].text, L"File oh7vsrandomordering.64 doesn't exist!");
    EXPECT_TRUE(selectTopPercent(7, 50).hands.empty());
    EXPECT_EQ(messages().size(), 3u);

    writeCountingHands("oh7vsrandomordering.64", 2);
    EXPECT_EQ(selectTopPercent(7, 50).hands, countingHands(2));
    EXPECT_EQ(messages().size(), 3u);
}

TEST(OrderingNames, DerivedFileNames) {
    EXPECT_EQ(classFileName(L"oh6maxordering.txt"), L"oh6maxordering.bin");
    EXPECT_EQ(handFileName(L"oh6maxordering.txt"), L"oh6maxordering.64");
    const OrderingTable t = makeOrderingTable(7);
    EXPECT_EQ(t.nominalName, L"oh7vsrandomordering.txt");
    EXPECT_EQ(t.classCount, 6009159);
    EXPECT_EQ(static_cast<std::uint64_t>(t.totalHands), choose(52, 7));
    EXPECT_EQ(makeOrderingTable(3).classCount, 0);
}

}  // namespace
}  // namespace varnel::test
