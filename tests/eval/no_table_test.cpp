// Evaluation while the process-wide evaluator holds no usable table (its own test program, so
// that no other test's table is attached).

#include "core/cards.h"
#include "eval/omaha_eval.h"
#include "eval/table_walk.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

void expectAllZero() {
    const CardId board[kBoardCards] = {51, 37, 10, 0, 20};
    const CardId hands[2 * 4] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(evaluateOmaha(hands, 4, board), 0);
    const TableWalk walk;
    WalkDeal deal{};
    deal.boardState[0] = walk.boardStart();
    for (int k = 0; k < kBoardCards; ++k) deal.board[0][k] = walkCard(board[k]);
    for (int k = 0; k < 2 * 4; ++k) deal.hole[k / 4][k % 4] = walkCard(hands[k]);
    deal.holeCards[0] = deal.holeCards[1] = 4;
    WalkValues values[1] = {{{-1}, {-1}}};
    walk.evaluate({4, 2, 1, 0}, &deal, 1, values);
    EXPECT_EQ(values[0][0][0], 0);
    EXPECT_EQ(values[0][1][0], 0);
}

TEST(NoTable, EvaluationGivesZeroWithoutReadingOutsideAnyTable) {
    ASSERT_FALSE(omahaEvaluator().usable());
    expectAllZero();
    omahaEvaluator().attach(makeOmahaTable(0));  // what an N = 0 file loads
    ASSERT_FALSE(omahaEvaluator().usable());
    expectAllZero();
    omahaEvaluator().attach(makeOmahaTable(kStartState));  // too small for the start row
    ASSERT_FALSE(omahaEvaluator().usable());
    expectAllZero();
}

}  // namespace
}  // namespace varnel::test
