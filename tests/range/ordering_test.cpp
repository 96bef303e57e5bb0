// Percentage ranges from ordering files written by the test in a scratch working directory: the
// selection rule, and files that are missing, damaged, cut short, of another run or no regular
// file at all, each refused with its reason and tried again on the next selection.
#include "range/ordering.h"

#include <sys/stat.h>

#include <fstream>

#include "range/hand_class.h"
#include "range/hand_sets.h"
#include "range/ordering_files.h"
#include "range/range_expression.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

namespace fs = std::filesystem;

const OrderingFormat kFour = *orderingFormat(4);

// Every hand of `n` cards, ascending by mask.
Hands allHands(int n) {
    Hands out;
    for (CardMask m = (CardMask{1} << n) - 1; m <= kFullDeck;) {
        out.push_back(m);
        const CardMask low = m & -m, ripple = m + low;  // the next mask with as many bits
        m = ripple | (((m ^ ripple) >> 2) / low);
    }
    return out;
}

// Writes an ordering of `format` into `dir`: class i, named by its number, holds the next
// sizes[i] of `hands`.
void writeClasses(const OrderingFormat& format, const Hands& hands,
                  const std::vector<std::size_t>& sizes, const fs::path& dir = {}) {
    OrderingWriter writer(format, dir);
    std::size_t at = 0;
    for (std::size_t i = 0; i < sizes.size(); at += sizes[i++])
        writer.addClass(std::to_string(i), 0.5, hands.data() + at, sizes[i]);
    writer.commit();
}

// Class sizes of a 4-card ordering: 1, 2, ... 12 hands, then 17 and then 16 up to the format's
// class count.
std::vector<std::size_t> fourCardSizes() {
    std::vector<std::size_t> sizes;
    for (std::size_t i = 1; i <= 12; ++i) sizes.push_back(i);
    const std::size_t rest = static_cast<std::size_t>(kFour.classCount) - sizes.size();
    const std::size_t left = choose(52, 4) - 78;
    for (std::size_t i = 0; i < rest; ++i) sizes.push_back(left / rest + (i < left % rest));
    return sizes;
}

// The 4-card ordering of all hands, ascending by mask.
void writeFourCardOrdering(const fs::path& dir = {}) {
    writeClasses(kFour, allHands(4), fourCardSizes(), dir);
}

Hands prefix(const Hands& hands, std::size_t n) {
    return {hands.begin(), hands.begin() + static_cast<std::ptrdiff_t>(n)};
}

// Each test runs in a fresh working directory with empty caches and captured messages.
class Ordering : public ::testing::Test {
  protected:
    void SetUp() override { resetOrderingCaches(); }
    void TearDown() override { resetOrderingCaches(); }
    const std::vector<CapturedReports::Report>& messages() const { return m_reports.reports; }

  private:
    WorkingDir m_dir;
    CapturedReports m_reports;
};

TEST_F(Ordering, SelectsClassesStrictlyBelowThePercentageAndEveryHandFromHundredUp) {
    const OrderingFormat small{4, kFour.nominalName, 12, 78};  // classes of 1, 2, ... 12 hands
    const Hands hands = prefix(allHands(4), 78);
    std::vector<std::size_t> sizes(12);
    std::iota(sizes.begin(), sizes.end(), 1);
    writeClasses(small, hands, sizes);
    LoadedOrdering o;
    ASSERT_EQ(loadOrdering(small, {}, o), L"");
    const double tenHands = 10 * 100.0 / 78;  // the first four classes
    EXPECT_EQ(handsBelow(o, tenHands), 6u);
    EXPECT_EQ(handsBelow(o, std::nextafter(tenHands, 100.0)), 10u);
    EXPECT_EQ(handsBelow(o, 100.0 / 78), 0u);
    EXPECT_EQ(handsBelow(o, 0), 0u);
    EXPECT_EQ(handsBelow(o, 99.99), 66u);  // the last class reaches exactly 100
    EXPECT_EQ(handsBelow(o, 100), 78u);
    Hands read;
    ASSERT_EQ(readHands(o, 6, read), L"");
    EXPECT_EQ(read, prefix(hands, 6));

    writeFourCardOrdering();
    HandList list;
    EXPECT_EQ(parseRangeExpression(L"100%", 4, list), static_cast<std::int32_t>(choose(52, 4)));
    EXPECT_EQ(list.hands, allHands(4));
    // 1% of all hands is 2707.25: classes up to 78 + 17 * 154 hands lie below it.
    EXPECT_EQ(selectTopPercent(4, 1).list.hands, prefix(list.hands, 2696));
    const TopHands none = selectTopPercent(8, 50);  // no ordering for eight cards
    EXPECT_TRUE(none.list.hands.empty() && none.problem.empty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(Ordering, MissingFilesAreNamedAndTriedAgain) {
    HandList list;
    std::wstring problem;
    EXPECT_EQ(parseRangeExpression(L"AA,10%", 4, list, &problem), kRangeOrderingUnavailable);
    EXPECT_TRUE(list.hands.empty());
    EXPECT_EQ(problem,
              L"the 4-card percentage ranges are not available: file oh6maxordering.bin doesn't "
              L"exist");
    EXPECT_TRUE(messages().empty());  // the caller took the problem

    std::ofstream("orderings.generating").close();
    EXPECT_EQ(parseRangeExpression(L"10%", 4, list), kRangeOrderingUnavailable);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text,
              L"the 4-card percentage ranges are not available: file oh6maxordering.bin is being "
              L"generated, try again in a few minutes");
    EXPECT_EQ(messages()[0].caption, L"File error");

    writeFourCardOrdering();
    fs::remove("oh6maxordering.64");
    EXPECT_NE(selectTopPercent(4, 10).problem.find(L"oh6maxordering.64 is being generated"),
              std::wstring::npos);
    writeFourCardOrdering();
    EXPECT_EQ(parseRangeExpression(L"AsAhKsKh,1%", 4, list), 1 + 2696);
}

TEST_F(Ordering, DamagedCutShortForeignOrIrregularFilesAreRefused) {
    writeFourCardOrdering();
    writeFourCardOrdering("good");
    std::vector<std::size_t> otherSizes = fourCardSizes();
    std::swap(otherSizes[0], otherSizes[1]);
    writeClasses(kFour, allHands(4), otherSizes, "other");  // the ordering of another run

    const auto restore = [] {
        for (const char* name : {"oh6maxordering.bin", "oh6maxordering.64"}) {
            fs::remove(name);
            fs::copy_file(fs::path("good") / name, name);
        }
    };
    const auto overwrite = [](const char* name, std::uint64_t at, const std::string& bytes) {
        std::fstream(name, std::ios::in | std::ios::out | std::ios::binary)
            .seekp(static_cast<std::streamoff>(at))
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    };
    std::mt19937_64 rng(3);
    std::string noise(8000, '\0');
    for (char& c : noise) c = static_cast<char>(rng());
    const std::wstring damaged = L"is not valid: it is damaged (its checksum does not match)";
    const std::wstring cutShort = L"is not valid: it has the wrong size";
    const struct {
        const char* what;
        std::function<void()> damage;
        std::wstring reason;
    } cases[] = {
        {"hand file cut short", [] { fs::resize_file("oh6maxordering.64", 8 * 135362); },
         L"file oh6maxordering.64 " + cutShort},
        {"class file cut short", [] { fs::resize_file("oh6maxordering.bin", 20 * 9000); },
         L"file oh6maxordering.bin " + cutShort},
        {"random bytes among the hands", [&] { overwrite("oh6maxordering.64", 8 * 50000, noise); },
         L"file oh6maxordering.64 " + damaged},
        {"one class count changed", [&] { overwrite("oh6maxordering.bin", 19, "\x02"); },
         L"file oh6maxordering.bin " + damaged},
        {"hand file of another run",
         [] {
             fs::remove("oh6maxordering.64");
             fs::copy_file("other/oh6maxordering.64", "oh6maxordering.64");
         },
         L"file oh6maxordering.64 does not belong to oh6maxordering.bin (the two come from "
         L"different runs)"},
        {"FIFO",
         [] {
             fs::remove("oh6maxordering.64");
             ASSERT_EQ(mkfifo("oh6maxordering.64", 0600), 0);
         },
         L"file oh6maxordering.64 is not a regular file"},
        {"link loop",
         [] {
             fs::remove("oh6maxordering.bin");
             fs::create_symlink("oh6maxordering.bin", "oh6maxordering.bin");
         },
         L"file oh6maxordering.bin cannot be checked: "}};
    const std::wstring unavailable = L"the 4-card percentage ranges are not available: ";
    for (const auto& c : cases) {
        restore();
        // 90% is 243652.5 hands: 78 + 17 * 7927 + 16 * 6800 lie below it.
        ASSERT_EQ(selectTopPercent(4, 90).list.hands.size(), 243637u) << c.what;
        resetOrderingCaches();
        c.damage();
        const TopHands top = selectTopPercent(4, 90);
        EXPECT_TRUE(top.list.hands.empty()) << c.what;
        EXPECT_EQ(top.problem.substr(0, unavailable.size() + c.reason.size()),
                  unavailable + c.reason)
            << c.what;
    }
    // Damage after loading is found in the blocks a selection reads, and only there.
    restore();
    ASSERT_TRUE(selectTopPercent(4, 90).problem.empty());
    overwrite("oh6maxordering.64", 8 * 250000, noise);
    EXPECT_TRUE(selectTopPercent(4, 50).problem.empty());
    EXPECT_NE(selectTopPercent(4, 95).problem.find(damaged), std::wstring::npos);
    EXPECT_TRUE(messages().empty());
}

TEST_F(Ordering, MasksThatAreNoHandsOfTheGameAreRefused) {
    const OrderingFormat small{4, kFour.nominalName, 2, 3};
    for (CardMask bad : {cards(L"AsKsQsJsTs"), cards(L"AsKsQs"), CardMask{1} << 60 | 7}) {
        writeClasses(small, {cards(L"AsKsQsJs"), bad, cards(L"2c3c4c5c")}, {1, 2});
        LoadedOrdering o;
        ASSERT_EQ(loadOrdering(small, {}, o), L"");
        Hands read;
        EXPECT_EQ(readHands(o, 3, read),
                  L"file oh6maxordering.64 is not valid: it holds a mask that is not a hand of 4 "
                  L"cards");
        EXPECT_TRUE(read.empty());
    }
}

TEST_F(Ordering, SixAndSevenCardRecords) {
    const auto expand = [](std::string_view name, int n) {
        HandList list{{}, n};
        expandHandClass(name, list);
        return list.hands;
    };
    // 6 cards: the counts must be those the names denote (4 and 6 hands).
    const OrderingFormat six{6, orderingFormat(6)->nominalName, 2, 10};
    Hands both = expand("(AK)(AK)(AK)", 6), akqs = expand("(AKQ)(AKQ)", 6);
    both.insert(both.end(), akqs.begin(), akqs.end());
    LoadedOrdering o;
    Hands read;
    for (std::size_t first : {4, 5}) {
        OrderingWriter writer(six, {});
        writer.addClass("(AK)(AK)(AK)", 0.9, both.data(), first);
        writer.addClass("(AKQ)(AKQ)", 0.8, both.data() + first, both.size() - first);
        writer.commit();
        if (first == 5) break;
        ASSERT_EQ(loadOrdering(six, {}, o), L"");
        ASSERT_EQ(readHands(o, handsBelow(o, 50), read), L"");  // the first class holds 40%
        EXPECT_EQ(read, prefix(both, 4));
    }
    EXPECT_EQ(loadOrdering(six, {}, o),
              L"file oh6vsrandomordering.bin is not valid: a class does not hold the hands its "
              L"name denotes");
    // 7 cards: counts from the file.
    const OrderingFormat seven{7, orderingFormat(7)->nominalName, 2, 3};
    const Hands sevens = {cards(L"AsKsQsJsTs9s8s"), cards(L"AhKhQhJhTh9h8h"),
                          cards(L"2c3c4c5c6c7c8c")};
    writeClasses(seven, sevens, {2, 1});
    ASSERT_EQ(loadOrdering(seven, {}, o), L"");
    EXPECT_EQ(handsBelow(o, 99), 2u);
    read.clear();
    ASSERT_EQ(readHands(o, 3, read), L"");
    EXPECT_EQ(read, sevens);
    EXPECT_TRUE(messages().empty());
}

}  // namespace
}  // namespace varnel::test
