#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>

#include "eval/omaha_eval.h"
#include "eval/table_format.h"
#include "range/hand_class.h"
#include "range/ordering.h"
#include "range/ordering_format.h"
#include "tools/gen-orderings/estimator.h"
#include "tools/gen-orderings/hand_classes.h"
#include "tools/gen-orderings/ordering_files.h"
#include "tools/gen-orderings/pair_values.h"

namespace varnel::gen {
namespace {

std::uint64_t choose(int n, int k) {
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i)
        r = r * static_cast<std::uint64_t>(n - k + i) / static_cast<std::uint64_t>(i);
    return r;
}

TEST(HandClasses, CountsMatchTheFileFormats) {
    for (const auto& f : kOrderingFormats) {
        const auto classes = enumerateHandClasses(f.numCards);
        EXPECT_EQ(classes.size(), static_cast<std::size_t>(f.classCount)) << f.numCards;
        EXPECT_EQ(static_cast<std::uint64_t>(f.totalHands), choose(52, f.numCards));
        std::uint64_t hands = 0;
        for (const auto& c : classes) hands += c.handCount();
        EXPECT_EQ(hands, static_cast<std::uint64_t>(f.totalHands)) << f.numCards;
    }
}

// Every n-card hand appears in exactly one class: the members are n-card hands and, sorted,
// there are exactly 52 choose n distinct ones.
TEST(HandClasses, MembersCoverEveryHandOnce) {
    for (int n : {4, 5}) {
        std::vector<CardMask> all;
        for (const auto& c : enumerateHandClasses(n)) {
            const std::size_t before = all.size();
            c.appendMembers(all);
            EXPECT_EQ(all.size() - before, c.handCount());
        }
        for (CardMask m : all) ASSERT_EQ(cardCount(m), n);
        std::sort(all.begin(), all.end());
        EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
        EXPECT_EQ(all.size(), choose(52, n));
    }
}

// The name of each class expands to exactly its members, and fits the record's name field.
TEST(HandClasses, NamesRoundTripThroughTheExpansion) {
    for (int n : {4, 5, 6, 7}) {
        const auto classes = enumerateHandClasses(n);
        const std::size_t stride = n == 4 ? 1 : (n == 5 ? 3 : (n == 6 ? 31 : 601));
        const std::size_t nameLimit =
            n <= 5 ? kShortNameUnits : static_cast<std::size_t>(ratedNameLength(n));
        std::vector<std::string> names;
        for (std::size_t i = 0; i < classes.size(); i += stride) {
            const std::string name = classes[i].name();
            ASSERT_LE(name.size(), nameLimit) << name;
            HandList list;
            list.numCards = n;
            expandHandClass(name, list);
            std::vector<CardMask> members;
            classes[i].appendMembers(members);
            std::sort(list.hands.begin(), list.hands.end());
            ASSERT_EQ(list.hands, members) << name;
            if (n == 6) {
                ASSERT_EQ(countSixCardClass(name), static_cast<std::int32_t>(members.size()));
            }
            names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << n;
    }
}

TEST(HandClasses, CanonicalSpelling) {
    HandClass c;
    c.suits = {0b1000000000001, 0b1000000000001, 0, 0};  // A2 in two suits
    EXPECT_EQ(c.name(), "(A2)(A2)");
    c.suits = {0b0000000000111, 1u << 12, 1u << 11, 0};  // 432 suited, A and K alone
    EXPECT_EQ(c.name(), "(432)AK");
}

// Five-card values against poker order, and the fast tables against the plain evaluation.
TEST(PairValues, OrderAndFastTablesAgree) {
    auto v = [](const std::wstring& board, const std::wstring& hole) {
        CardMask b = 0, h = 0;
        parseCardRun(board, b);
        parseCardRun(hole, h);
        CardId bc[5], hc[2];
        cardsFromMask(b, bc);
        cardsFromMask(h, hc);
        return plainPairValue(bc, hc[0], hc[1]);
    };
    const std::wstring board = L"5h4d3cKsKd";
    EXPECT_LT(v(board, L"Qh9c"), v(board, L"AhQc"));  // kings, ace kicker beats queen
    EXPECT_LT(v(board, L"AhQc"), v(board, L"Ah2c"));  // the wheel beats a pair
    EXPECT_LT(v(board, L"Ah2c"), v(board, L"6h2c"));  // six-high straight beats the wheel
    EXPECT_LT(v(board, L"6h2c"), v(board, L"KhKc"));  // quads use two hole cards
    EXPECT_EQ(v(board, L"Ah2c"), v(board, L"As2d"));
    EXPECT_LT(v(L"2h7h9hJs3d", L"AhKs"), v(L"2h7h9hJs3d", L"4h5h"));  // only two hole cards count

    Rng rng(5);
    for (int trial = 0; trial < 2000; ++trial) {
        CardId deck[kDeckSize];
        std::iota(deck, deck + kDeckSize, 0);
        for (int i = 0; i < 7; ++i)
            std::swap(
                deck[i],
                deck[i + static_cast<int>(rng.below(static_cast<std::uint32_t>(kDeckSize - i)))]);
        const BoardTriples triples(deck);
        ASSERT_EQ(triples.pairValue(deck[5], deck[6]), plainPairValue(deck, deck[5], deck[6]));
    }
}

// The pair values order hands exactly as the program's table evaluator does, when its table is
// at hand: equal where it is equal, larger where it is larger.
TEST(PairValues, AgreeWithTheTableEvaluator) {
    const char* data = std::getenv("VARNEL_DATA_DIR");
    const std::string path = data ? std::string(data) + "/" + kTableFileName : std::string();
    if (data == nullptr || !std::filesystem::exists(path)) GTEST_SKIP() << "no omaha-7.bin";
    omahaEvaluator().attach(loadOmahaTable(path));
    ASSERT_TRUE(omahaEvaluator().usable());
    Rng rng(11);
    for (int trial = 0; trial < 20000; ++trial) {
        CardId deck[kDeckSize];
        std::iota(deck, deck + kDeckSize, 0);
        for (int i = 0; i < 9; ++i) {
            std::swap(
                deck[i],
                deck[i + static_cast<int>(rng.below(static_cast<std::uint32_t>(kDeckSize - i)))]);
        }
        CardId first[2] = {std::min(deck[5], deck[6]), std::max(deck[5], deck[6])};
        CardId second[2] = {std::min(deck[7], deck[8]), std::max(deck[7], deck[8])};
        const auto plainA = plainPairValue(deck, first[0], first[1]);
        const auto plainB = plainPairValue(deck, second[0], second[1]);
        const auto tableA = evaluateOmaha(first, 2, deck);
        const auto tableB = evaluateOmaha(second, 2, deck);
        ASSERT_EQ(plainA < plainB, tableA < tableB) << trial;
        ASSERT_EQ(plainA == plainB, tableA == tableB) << trial;
    }
}

TEST(Estimator, DeterministicWhateverTheThreadsAndSensiblyOrdered) {
    std::vector<CardMask> hands(3);
    ASSERT_TRUE(parseCardRun(L"AcKcAsKs", hands[0]));
    ASSERT_TRUE(parseCardRun(L"2c2d2h2s", hands[1]));
    ASSERT_TRUE(parseCardRun(L"4c5c4d5d", hands[2]));
    EstimateSettings s;
    s.numCards = 4;
    s.opponents = 5;
    s.dealsPerBoard = 1;
    s.threads = 1;
    Tally once;
    playBoards(hands, s, 0, 600, once, nullptr);
    s.threads = 2;
    Tally split;
    playBoards(hands, s, 0, 200, split, nullptr);
    playBoards(hands, s, 200, 400, split, nullptr);
    EXPECT_EQ(split.score, once.score);
    EXPECT_EQ(split.units, once.units);
    EXPECT_GT(once.equity(0), once.equity(2));
    EXPECT_GT(once.equity(2), once.equity(1));
    // Six-handed, double-suited aces and kings win about 35%; some 400 deals give a few points.
    EXPECT_NEAR(once.equity(0), 0.35, 0.08);
}

// A complete ordering written from made-up scores: files valid, every hand selectable once.
TEST(OrderingFiles, WrittenFilesValidateAndLoad) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("varnel-gen-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto classes = enumerateHandClasses(4);
    std::vector<double> scores(classes.size());
    std::iota(scores.rbegin(), scores.rend(), 0.0);
    writeOrdering(dir, 4, classes, scores);
    std::string why;
    EXPECT_TRUE(orderingValid(dir, 4, why)) << why;
    EXPECT_FALSE(orderingValid(dir, 5, why));

    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    resetOrderingCaches();
    HandList all = selectTopPercent(4, 100.5);
    std::filesystem::current_path(old);
    resetOrderingCaches();
    ASSERT_EQ(all.hands.size(), 270725u);
    std::vector<CardMask> members;
    classes.front().appendMembers(members);
    EXPECT_TRUE(std::equal(members.begin(), members.end(), all.hands.begin()));
    std::sort(all.hands.begin(), all.hands.end());
    EXPECT_EQ(std::adjacent_find(all.hands.begin(), all.hands.end()), all.hands.end());

    std::filesystem::resize_file(handFilePath(dir, 4), 8 * 1000);
    EXPECT_FALSE(orderingValid(dir, 4, why));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace varnel::gen
