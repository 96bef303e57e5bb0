// The generated table against the reference evaluator, and the evaluation entries.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "core/cards.h"
#include "eval/hand_category.h"
#include "eval/omaha_eval.h"
#include "eval/reference_eval.h"
#include "eval/table_checks.h"

namespace varnel {
namespace {

using testref::reference;

std::vector<CardId> cards(std::wstring_view run) {
    std::vector<CardId> out;
    for (std::size_t i = 0; i + 1 < run.size(); i += 2)
        out.push_back(cardIdFromCode(run.substr(i, 2)));
    return out;
}

TEST(ReferenceNumbering, ClassesPerCategoryAndEnds) {
    const auto& ref = reference();
    ASSERT_EQ(ref.classCount(), 7462);
    int perCategory[kCategoryCount] = {};
    for (int v = 1; v <= ref.classCount(); ++v) {
        ++perCategory[ref.categoryOf(v)];
        // The category words of the command-line tool come from categoryOf.
        ASSERT_EQ(static_cast<int>(categoryOf(v)), ref.categoryOf(v)) << "value " << v;
    }
    for (int c = 0; c < kCategoryCount; ++c) EXPECT_EQ(perCategory[c], kClassesPerCategory[c]);

    auto rank5 = [&](std::wstring_view run) {
        const auto c = cards(run);
        return ref.rank5({c[0], c[1], c[2], c[3], c[4]});
    };
    EXPECT_EQ(rank5(L"7c5d4h3s2c"), 1);
    EXPECT_EQ(rank5(L"AsKsQsJsTs"), 7462);
    EXPECT_EQ(rank5(L"5h4h3h2hAh"), 7462 - 9);              // the lowest straight flush
    EXPECT_LT(rank5(L"5h4d3h2hAh"), rank5(L"6h5d4h3h2h"));  // the wheel is the lowest straight
    EXPECT_EQ(categoryName(categoryOf(rank5(L"KdKcKh9s9d"))), "full house");
}

TEST(OmahaTable, RandomDealsMatchReference) {
    ASSERT_TRUE(testref::loadGeneratedTable()) << "generate omaha-7.bin first";
    // 1.2 million hands: 200,000 deals, each with 2..7 hole cards (many more in the long tests).
    EXPECT_EQ(testref::compareRandomDeals(200'000, 1), 1'200'000);
}

TEST(OmahaTable, EveryHolePairOnRandomBoards) {
    ASSERT_TRUE(testref::loadGeneratedTable());
    const auto& ref = reference();
    std::mt19937_64 rng(2);
    for (int n = 0; n < 300; ++n) {
        const auto board = testref::randomDeal(rng).board;
        const CardMask used = maskFromCards(board);
        for (CardId a = 0; a < kDeckSize; ++a) {
            for (CardId b = a + 1; b < kDeckSize; ++b) {
                if ((used >> a & 1) || (used >> b & 1)) continue;
                const CardId hole[2] = {a, b};
                ASSERT_EQ(evaluateOmaha(hole, 2, board.data()), ref.bestOfPair(a, b, board.data()))
                    << "board " << n << ", hole " << a << " " << b;
            }
        }
    }
}

TEST(OmahaTable, BoardOrderDoesNotMatter) {
    ASSERT_TRUE(testref::loadGeneratedTable());
    std::mt19937_64 rng(3);
    for (int n = 0; n < 2000; ++n) {
        auto board = testref::randomDeal(rng).board;
        std::sort(board.begin(), board.end());
        const std::uint32_t state = omahaBoardState(board.data());
        int orders = 0;
        do {
            ASSERT_EQ(omahaBoardState(board.data()), state) << "board " << n;
            ++orders;
        } while (std::next_permutation(board.begin(), board.end()));
        ASSERT_EQ(orders, 120);
    }
}

TEST(OmahaTable, OmahaRuleExamples) {
    ASSERT_TRUE(testref::loadGeneratedTable());
    auto value = [](std::wstring_view board, std::wstring_view hole) {
        const auto b = cards(board), h0 = cards(hole);
        std::vector<CardId> h = h0;
        std::sort(h.begin(), h.end());
        const HandValue v = evaluateOmaha(h.data(), static_cast<int>(h.size()), b.data());
        EXPECT_EQ(v, reference().bestOmaha(h.data(), static_cast<int>(h.size()), b.data()));
        return v;
    };
    // A royal flush on the board does not play: both hole cards must be used.
    EXPECT_EQ(categoryOf(value(L"AhKhQhJhTh", L"2c3d")), HandCategory::HighCard);
    // A flush needs two hole cards of the board's suit.
    EXPECT_EQ(categoryOf(value(L"2h5h9hKcQd", L"AhTh3c4d")), HandCategory::Flush);
    EXPECT_NE(categoryOf(value(L"2h5h9hKcQd", L"AhTc3c4d")), HandCategory::Flush);
    // Four of a kind on the board cannot play: KK with three sevens is a full house.
    EXPECT_EQ(categoryOf(value(L"7c7d7h7sAs", L"KcKd")), HandCategory::FullHouse);
    // Equally strong hands get equal values.
    EXPECT_EQ(value(L"AsKd7h2c9s", L"QcJd"), value(L"AsKd7h2c9s", L"QdJc"));
}

TEST(OmahaTable, FewerThanTwoHoleCardsGiveZero) {
    ASSERT_TRUE(testref::loadGeneratedTable());
    const auto board = cards(L"AsKd7h2c9s");
    const CardId hole[1] = {cardIdFromCode(L"Ah")};
    EXPECT_EQ(evaluateOmaha(hole, 1, board.data()), 0);
    EXPECT_EQ(evaluateOmaha(nullptr, 0, board.data()), 0);
    EXPECT_EQ(evaluateOmahaFromState(omahaBoardState(board.data()), hole, 1), 0);
}

TEST(OmahaTable, BatchEntriesMatchSingleEvaluation) {
    ASSERT_TRUE(testref::loadGeneratedTable());
    std::mt19937_64 rng(4);
    constexpr int kBoards = 37;  // not a multiple of the interleave width
    std::vector<CardId> boards;
    std::vector<testref::Deal> deals;
    for (int i = 0; i < kBoards; ++i) {
        deals.push_back(testref::randomDeal(rng));
        boards.insert(boards.end(), deals.back().board.begin(), deals.back().board.end());
    }
    std::vector<std::uint32_t> states(kBoards);
    omahaBoardStates(boards.data(), kBoards, states.data());
    for (int i = 0; i < kBoards; ++i) ASSERT_EQ(states[i], omahaBoardState(&boards[i * 5]));

    // One hand per board, each on its own deal's board, against the reference.
    for (int count = 2; count <= kMaxHoleCards; ++count) {
        std::vector<CardId> hands;
        for (const auto& deal : deals) {
            CardId hole[kMaxHoleCards];
            cardsFromMask(maskFromCards({deal.hole.data(), static_cast<std::size_t>(count)}), hole);
            hands.insert(hands.end(), hole, hole + count);
        }
        std::vector<HandValue> values(kBoards);
        evaluateOmahaHands(states.data(), hands.data(), count, kBoards, values.data());
        for (int i = 0; i < kBoards; ++i)
            EXPECT_EQ(values[i], reference().bestOmaha(&hands[i * count], count, &boards[i * 5]));
    }

    // Up to 19 hands (more than the interleave width) of 2..7 cards on one board. The hands come
    // from other deals and may share cards with the board; the entries must still agree.
    for (int count = 2; count <= kMaxHoleCards; ++count) {
        for (int players : {0, 1, 4, 19}) {
            std::vector<CardId> hands;
            for (int p = 0; p < players; ++p) {
                CardId hole[kMaxHoleCards];
                cardsFromMask(
                    maskFromCards({deals[p].hole.data(), static_cast<std::size_t>(count)}), hole);
                hands.insert(hands.end(), hole, hole + count);
            }
            std::vector<HandValue> values(players + 1, -1);
            evaluateOmahaPlayers(states[0], hands.data(), count, players, values.data());
            for (int p = 0; p < players; ++p)
                EXPECT_EQ(values[p], evaluateOmahaFromState(states[0], &hands[p * count], count));
            EXPECT_EQ(values[players], -1);  // nothing written past the last player
        }
    }
}

}  // namespace
}  // namespace varnel
