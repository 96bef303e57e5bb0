// Range expressions that combine the rank, four-card and walked shapes with the set operators,
// run through `varnel-cli range` and compared with hand sets built here by brute force.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "shape_reference.h"

namespace varnel {
namespace {

using namespace varnel::test;

struct CliResult {
    long count = -2;
    std::vector<CardMask> hands;
};

// Runs `varnel-cli range` on the expression (single quotes only inside the shell quoting).
CliResult runRange(const std::string& expression, int cards, bool list = false) {
    const std::string command = std::string(VARNEL_CLI_PATH) + " range --cards " +
                                std::to_string(cards) + (list ? " --list '" : " '") + expression +
                                "' 2>/dev/null";
    CliResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    pclose(pipe);
    std::istringstream lines(output);
    std::string line;
    if (std::getline(lines, line)) result.count = std::stol(line);
    while (std::getline(lines, line)) {
        CardMask hand = 0;
        EXPECT_TRUE(parseCardRun(std::wstring(line.begin(), line.end()), hand)) << line;
        result.hands.push_back(hand);
    }
    return result;
}

std::size_t countWhere(int n, const std::function<bool(CardMask)>& keep) {
    return referenceHands(n, keep).size();
}

bool atLeast(CardMask h, wchar_t letter, int k) {
    return rankCounts(h)[rankIndex(letter)] >= k;
}

bool doubleSuited(CardMask h) {
    return suitShape(h) == std::vector<int>{2, 2};
}

TEST(ShapesThroughCli, OperatorsOverShapes) {
    struct Case {
        const char* expression;
        std::function<bool(CardMask)> keep;
    };
    const std::vector<Case> cases = {
        {"AA,KK", [](CardMask h) { return atLeast(h, L'A', 2) || atLeast(h, L'K', 2); }},
        {"QQ+!AA",
         [](CardMask h) {
             return (atLeast(h, L'Q', 2) || atLeast(h, L'K', 2)) && !atLeast(h, L'A', 2);
         }},
        {"a:xxyy", [](CardMask h) { return atLeast(h, L'A', 1) && doubleSuited(h); }},
        {"(AK, AQ) : xxyz",
         [](CardMask h) {
             return atLeast(h, L'A', 1) && (atLeast(h, L'K', 1) || atLeast(h, L'Q', 1)) &&
                    suitShape(h) == std::vector<int>{2, 1, 1};
         }},
        {"8-:A!OORR",
         [](CardMask h) {
             const auto r = rankCounts(h);
             const bool low = std::any_of(r.begin(), r.begin() + 7, [](int k) { return k > 0; });
             return low && r[12] > 0 && std::count(r.begin(), r.end(), 2) != 2;
         }},
        {"xxy!Kxxy",
         [](CardMask h) {
             const auto suits = suitCounts(h);
             const auto shape = suitShape(h);
             if (shape.size() != 2 && shape.size() != 3) return false;
             for (int s = 0; s < kSuits; ++s) {
                 if ((h & cardBit(makeCard(11, s))) && suits[s] >= 2) return false;
             }
             return true;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(runRange(c.expression, 4).count, static_cast<long>(countWhere(4, c.keep)));
    }
}

TEST(ShapesThroughCli, ListedHandsAndHandSizes) {
    const CliResult axxyy = runRange("A:xxyy", 4, true);
    EXPECT_EQ(axxyy.count, 10'368);
    EXPECT_EQ(sorted(axxyy.hands), sorted(runRange("Axxyy", 4, true).hands));
    // An intersection lists its hands in ascending mask order.
    EXPECT_TRUE(std::is_sorted(axxyy.hands.begin(), axxyy.hands.end()));

    EXPECT_EQ(runRange("AKQJ", 5).count, 12'288);
    EXPECT_EQ(runRange("AKQJ", 4).count, 24);
    EXPECT_EQ(runRange("999-", 5).count, 1'544);
    EXPECT_EQ(runRange("$0G,$1G,$2g", 4).count, 2'560 + 6'912 + 6'144);
    EXPECT_EQ(runRange("T9+:9T+", 5).count, runRange("T9+", 5).count);
    EXPECT_EQ(runRange("KQ-54!54-KQ", 4).count, runRange("KQ-54", 4).count);
    EXPECT_EQ(runRange("AA-22!RR", 4).count, 0);
    const CliResult walk = runRange("5532+,AKQT-", 6, true);
    EXPECT_EQ(walk.count, 960 + 2'304);
    for (CardMask h : walk.hands) ASSERT_EQ(cardCount(h), 4);
}

}  // namespace
}  // namespace varnel
