// The orderings generator: suit classes and their names, pair values, the estimator and the
// files it writes.

#include <fstream>

#include "eval/omaha_eval.h"
#include "range/hand_class.h"
#include "range/ordering.h"
#include "range/ordering_format.h"
#include "tests/support/reference_eval.h"
#include "tests/support/test_support.h"
#include "tools/gen-orderings/estimator.h"
#include "tools/gen-orderings/ordering_files.h"
#include "tools/gen-orderings/pair_values.h"
#include "tools/gen-orderings/suit_classes.h"

namespace varnel::test {
namespace {

using namespace gen_orderings;

TEST(SuitClasses, CountsMatchTheFileFormats) {
    for (const auto& f : kOrderingFormats) {
        const auto classes = enumerateSuitClasses(f.numCards);
        EXPECT_EQ(classes.size(), static_cast<std::size_t>(f.classCount)) << f.numCards;
        EXPECT_EQ(static_cast<std::uint64_t>(f.totalHands), choose(52, f.numCards));
        std::uint64_t hands = 0;
        for (const auto& c : classes) hands += c.handCount();
        EXPECT_EQ(hands, static_cast<std::uint64_t>(f.totalHands)) << f.numCards;
    }
}

// Every n-card hand appears in exactly one class: the members are n-card hands and, sorted,
// there are exactly 52 choose n distinct ones.
TEST(SuitClasses, MembersCoverEveryHandOnce) {
    for (int n : {4, 5}) {
        std::vector<CardMask> all;
        for (const auto& c : enumerateSuitClasses(n)) {
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
TEST(SuitClasses, NamesRoundTripThroughTheExpansion) {
    for (int n : {4, 5, 6, 7}) {
        const auto classes = enumerateSuitClasses(n);
        const std::size_t stride = n == 4 ? 1 : (n == 5 ? 3 : (n == 6 ? 31 : 601));
        const std::size_t nameLimit =
            n <= 5 ? kShortNameUnits : static_cast<std::size_t>(ratedNameLength(n));
        std::vector<std::string> names;
        for (std::size_t i = 0; i < classes.size(); i += stride) {
            const std::string name = classes[i].name();
            ASSERT_LE(name.size(), nameLimit) << name;
            HandList list{{}, n};
            expandHandClass(name, list);
            std::vector<CardMask> members;
            classes[i].appendMembers(members);
            std::sort(list.hands.begin(), list.hands.end());
            ASSERT_EQ(list.hands, members) << name;
            ASSERT_TRUE(n != 6 || countSixCardClass(name) == std::ssize(members)) << name;
            names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << n;
    }
}

TEST(SuitClasses, CanonicalSpelling) {
    SuitClass c;
    c.suits = {0b1000000000001, 0b1000000000001, 0, 0};  // A2 in two suits
    EXPECT_EQ(c.name(), "(A2)(A2)");
    c.suits = {0b0000000000111, 1u << 12, 1u << 11, 0};  // 432 suited, A and K alone
    EXPECT_EQ(c.name(), "(432)AK");
}

// Pair values are the class ranks of the best two-plus-three hand: the tests' own reference
// evaluator's, and the program's table evaluator's when its table is at hand.
TEST(PairValues, AreTheClassRanksOfTheBestHand) {
    const bool withTable = loadTable();
    std::mt19937_64 rng(5);
    PairTable table;
    CardId deck[kDeckSize];
    std::iota(deck, deck + kDeckSize, 0);
    for (int trial = 0; trial < 500; ++trial) {
        std::shuffle(deck, deck + kDeckSize, rng);
        fillPairTable(deck, table);
        for (int i = 5; i < 9; ++i)
            for (int j = i + 1; j < 9; ++j) {
                const CardId pair[2] = {std::min(deck[i], deck[j]), std::max(deck[i], deck[j])};
                const int value = table[static_cast<std::size_t>(pairIndex(pair[0], pair[1]))];
                ASSERT_EQ(value, reference().bestOfPair(pair[0], pair[1], deck)) << trial;
                ASSERT_TRUE(!withTable || value == evaluateOmaha(pair, 2, deck)) << trial;
            }
        ASSERT_EQ(handValue(table, deck + 5, 4), reference().bestOmaha(deck + 5, 4, deck));
    }
}

TEST(Estimator, DeterministicWhateverTheThreadsAndSensiblyOrdered) {
    const std::vector<CardMask> hands = {cards(L"AcKcAsKs"), cards(L"2c2d2h2s"),
                                         cards(L"4c5c4d5d")};
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

// A complete ordering written from made-up scores: files valid, every hand selectable, best class
// first; the check reads the contents, so one changed byte among the hands fails it.
TEST(OrderingFiles, WrittenFilesValidateAndLoad) {
    const WorkingDir scratch;
    const std::filesystem::path& dir = scratch.path();
    const auto classes = enumerateSuitClasses(4);
    std::vector<double> scores(classes.size());
    std::iota(scores.rbegin(), scores.rend(), 0.0);
    writeOrdering(dir, 4, classes, scores);
    std::string why;
    EXPECT_TRUE(orderingValid(dir, 4, why)) << why;
    EXPECT_FALSE(orderingValid(dir, 5, why));

    std::vector<CardMask> members;  // of the best class, which comes first
    classes.front().appendMembers(members);
    resetOrderingCaches();
    const HandList all = selectTopPercent(4, 100).list;
    resetOrderingCaches();
    ASSERT_EQ(all.hands.size(), choose(52, 4));
    EXPECT_TRUE(std::equal(members.begin(), members.end(), all.hands.begin()));

    std::fstream(handFilePath(dir, 4), std::ios::in | std::ios::out | std::ios::binary)
        .seekp(8 * 270000 + 3)
        .put('\x01');
    EXPECT_FALSE(orderingValid(dir, 4, why));
    EXPECT_EQ(why,
              "file oh6maxordering.64 is not valid: it is damaged (its checksum does not match)");
}

}  // namespace
}  // namespace varnel::test
