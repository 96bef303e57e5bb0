// varnel-cli range through the program: counts, listings, errors, and expressions that combine
// the shapes with the set operators, compared with hand sets built here by brute force.

#include <sstream>

#include "tests/range/oracle.h"
#include "tests/support/hand_counts.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

struct Listed {
    long count = -2;
    Hands hands;
};

// `varnel-cli range` on the expression (no single quotes inside), with the listing if asked.
Listed range(const std::string& expression, int n, bool list = false) {
    const CliRun run = runCli("range --cards " + std::to_string(n) + (list ? " --list '" : " '") +
                              expression + "'");
    EXPECT_EQ(run.exitCode, 0) << expression << ": " << run.err;
    Listed result;
    std::istringstream lines(run.out);
    std::string line;
    if (std::getline(lines, line)) result.count = std::stol(line);
    while (std::getline(lines, line))
        result.hands.push_back(cards(std::wstring(line.begin(), line.end())));
    return result;
}

TEST(CliRange, CountsListingsAndDefaults) {
    EXPECT_EQ(runCli("range AsKsXxXx").out, std::to_string(handCount(L"AsKsXxXx", 4)) + "\n");
    EXPECT_EQ(runCli("range As").out, std::to_string(handCount(L"As", 4)) + "\n");
    EXPECT_EQ(range("*", 5).count, static_cast<long>(choose(52, 5)));
    EXPECT_EQ(runCli("range ',AsKs'").out, "0\n");  // a comma-led text names nothing
    // Listed in list order, the cards of a hand ascending; an intersection ascends.
    EXPECT_EQ(runCli("range --cards 2 --list 'AsKs,QhJh'").out, "2\nKsAs\nJhQh\n");
    EXPECT_EQ(runCli("range --cards 2 --list '(as ks , qh jh) : ( QhJh , AsKs )'").out,
              "2\nJhQh\nKsAs\n");
}

TEST(CliRange, FailuresExitNonZero) {
    const CliRun bad = runCli("range --list 'AK('");
    EXPECT_EQ(bad.out, "-1\n");
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_NE(bad.err.find("\"AK(\" does not parse"), std::string::npos) << bad.err;
    EXPECT_NE(runCli("range --cards 9 A").exitCode, 0);  // hand size out of range
    EXPECT_NE(runCli("range").exitCode, 0);              // no expression
    EXPECT_EQ(runCli("range '10%xyz'").out, "-1\n");
    // A percentage without its ordering is an error of its own, not an empty range.
    const TempDir empty;
    const CliRun missing = runCli("range --cards 6 'AA,10%'", "", empty.path().string());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
              "error: the 6-card percentage ranges are not available: file "
              "oh6vsrandomordering.bin doesn't exist\n");
}

TEST(CliRange, OperatorsOverShapesMatchBruteForce) {
    const std::pair<const char*, std::function<bool(CardMask)>> cases[] = {
        {"QQ+!AA",
         [](CardMask h) {
             const auto r = rankCounts(h);
             return (r[10] >= 2 || r[11] >= 2) && r[12] < 2;
         }},
        {"8-:A!OORR", [](CardMask h) {
             const auto r = rankCounts(h);
             const bool low = std::any_of(r.begin(), r.begin() + 7, [](int k) { return k > 0; });
             return low && r[12] > 0 && std::count(r.begin(), r.end(), 2) != 2;
         }}};
    for (const auto& [expression, keep] : cases)
        EXPECT_EQ(range(expression, 4).count, std::ssize(handsWhere(4, keep))) << expression;
}

TEST(CliRange, ListedHandsAndHandSizes) {
    const Listed axxyy = range("A:xxyy", 4, true);
    EXPECT_EQ(axxyy.count, static_cast<long>(handCount(L"Axxyy", 4)));
    EXPECT_EQ(sorted(axxyy.hands), sorted(range("Axxyy", 4, true).hands));
    EXPECT_TRUE(std::is_sorted(axxyy.hands.begin(), axxyy.hands.end()));  // an intersection
    // The walks build four-card hands whatever the hand size.
    const Listed walk = range("5532+,AKQT-", 6, true);
    EXPECT_EQ(walk.count, static_cast<long>(handCount(L"5532+", 6) + handCount(L"AKQT-", 4)));
    for (CardMask h : walk.hands) ASSERT_EQ(cardCount(h), 4);
}

}  // namespace
}  // namespace varnel::test
