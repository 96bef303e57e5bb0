// The generated table against the reference evaluator, through the evaluation entries and the
// batched walks.

#include "core/cards.h"
#include "eval/hand_category.h"
#include "eval/omaha_eval.h"
#include "eval/table_checks.h"
#include "eval/table_walk.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

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
        const auto c = cardIds(run);
        return ref.rank5({c[0], c[1], c[2], c[3], c[4]});
    };
    EXPECT_EQ(rank5(L"7c5d4h3s2c"), 1);
    EXPECT_EQ(rank5(L"AsKsQsJsTs"), 7462);
    EXPECT_EQ(rank5(L"5h4h3h2hAh"), 7462 - 9);              // the lowest straight flush
    EXPECT_LT(rank5(L"5h4d3h2hAh"), rank5(L"6h5d4h3h2h"));  // the wheel is the lowest straight
    EXPECT_EQ(categoryName(categoryOf(rank5(L"KdKcKh9s9d"))), "full house");
}

TEST(OmahaTable, RandomDealsMatchReference) {
    ASSERT_TRUE(loadTable()) << "generate omaha-7.bin first";
    // 1.2 million hands: 200,000 deals, each with 2..7 hole cards (many more in the long tests).
    EXPECT_EQ(compareRandomDeals(200'000, 1), 1'200'000);
}

TEST(OmahaTable, OmahaRuleExamples) {
    ASSERT_TRUE(loadTable());
    auto value = [](std::wstring_view board, std::wstring_view hole) {
        const auto b = cardIds(board), h = cardIds(hole);
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
    // Fewer than two hole cards give zero.
    const auto board = cardIds(L"AsKd7h2c9s");
    const CardId hole[1] = {cardIdFromCode(L"Ah")};
    EXPECT_EQ(evaluateOmaha(hole, 1, board.data()), 0);
    EXPECT_EQ(evaluateOmaha(nullptr, 0, board.data()), 0);
    EXPECT_EQ(evaluateOmahaFromState(omahaBoardState(board.data()), hole, 1), 0);
}

TEST(TableWalk, RandomBatchesMatchReference) {
    ASSERT_TRUE(loadTable());
    const TableWalk walk;
    std::mt19937_64 rng(4);
    std::vector<std::array<CardId, kDeckSize>> decks(kWalkMaxDeals);
    std::vector<WalkDeal> deals(kWalkMaxDeals);
    std::vector<WalkValues> values(kWalkMaxDeals + 1);
    // A deal's boards are the front of its shuffled deck and hand h the cards from 3h on after
    // them (so hands may share cards), sorted.
    auto hand = [&](int i, int h) {
        const CardId* first = &decks[i][kWalkMaxBoards * kBoardCards + 3 * h];
        std::vector<CardId> cards(first, first + deals[i].holeCards[h]);
        std::sort(cards.begin(), cards.end());
        return cards;
    };
    // Every hole-card count with one and two boards, each with 0, 3 and 5 board cards walked
    // before the batch.
    constexpr int kFirstCards[] = {0, 3, 5};
    for (int run = 0; run < 6 * kWalkMaxBoards * 3; ++run) {
        const int holeCount = 2 + run % 6, boards = 1 + run / 6 % 2,
                  firstCard = kFirstCards[run / 12];
        const int hands = 1 + static_cast<int>(rng() % kWalkMaxHands);
        const int count = firstCard == 3 ? kWalkMaxDeals : 1 + rng() % kWalkMaxDeals;
        for (int i = 0; i < count; ++i) {
            WalkDeal& d = deals[i];
            std::iota(decks[i].begin(), decks[i].end(), 0);
            std::shuffle(decks[i].begin(), decks[i].end(), rng);
            for (int b = 0; b < boards; ++b) {
                d.boardState[b] = walk.boardStart();
                for (int k = 0; k < kBoardCards; ++k) {
                    d.board[b][k] = walkCard(decks[i][b * kBoardCards + k]);
                    if (k < firstCard)
                        d.boardState[b] = walk.advanceBoard(d.boardState[b], d.board[b][k]);
                }
            }
            // About one hand in three is shorter than holeCount, down to no card at all.
            for (int h = 0; h < hands; ++h) {
                d.holeCards[h] = rng() % 3 ? holeCount : rng() % (holeCount + 1);
                const auto cards = hand(i, h);
                for (std::size_t k = 0; k < cards.size(); ++k) d.hole[h][k] = walkCard(cards[k]);
            }
        }
        values[count][0][0] = -1;
        walk.evaluate({holeCount, hands, boards, firstCard}, deals.data(), count, values.data());
        for (int i = 0; i < count; ++i)
            for (int h = 0; h < hands; ++h)
                for (int b = 0; b < boards; ++b) {
                    const auto cards = hand(i, h);
                    const int n = static_cast<int>(cards.size());
                    ASSERT_EQ(values[i][h][b],
                              reference().bestOmaha(cards.data(), n, &decks[i][b * kBoardCards]))
                        << "run " << run << ", deal " << i << ", hand " << h << ", board " << b;
                }
        EXPECT_EQ(values[count][0][0], -1);  // nothing written past the last deal
    }
}

// Every hole pair on random boards, through evaluateOmaha and through the walk's pair values.
TEST(TableWalk, EveryHolePairOnRandomBoards) {
    ASSERT_TRUE(loadTable());
    const TableWalk walk;
    std::mt19937_64 rng(5);
    PairValues values;
    for (int n = 0; n < 100; ++n) {
        const auto board = randomDeal(rng).board;
        walk.pairValues(omahaBoardState(board.data()), values);
        const CardMask used = maskFromCards(board);
        for (CardId a = 0; a < kDeckSize; ++a)
            for (CardId b = a + 1; b < kDeckSize; ++b) {
                if ((used >> a & 1) || (used >> b & 1)) continue;
                const CardId hole[2] = {a, b};
                const int expected = reference().bestOfPair(a, b, board.data());
                ASSERT_EQ(evaluateOmaha(hole, 2, board.data()), expected) << n << " " << a << b;
                ASSERT_EQ(values[a][b], expected) << "board " << n << ", cards " << a << " " << b;
                ASSERT_EQ(values[b][a], expected) << "board " << n << ", cards " << b << " " << a;
            }
    }
}

}  // namespace
}  // namespace varnel::test
