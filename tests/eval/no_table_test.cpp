// Evaluation while the process-wide evaluator holds no usable table (its own test program, so
// that no other test's table is attached).

#include <gtest/gtest.h>

#include "core/cards.h"
#include "eval/omaha_eval.h"

namespace varnel {
namespace {

void expectAllZero() {
    const CardId board[kBoardCards] = {51, 37, 10, 0, 20};
    const CardId hands[2 * 4] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(evaluateOmaha(hands, 4, board), 0);
    std::uint32_t state = 1;
    omahaBoardStates(board, 1, &state);
    HandValue values[2] = {-1, -1};
    evaluateOmahaPlayers(state, hands, 4, 2, values);
    EXPECT_EQ(values[0], 0);
    EXPECT_EQ(values[1], 0);
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
}  // namespace varnel
