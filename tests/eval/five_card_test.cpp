// The five-card class ranks shared by the generators, against the tests' own reference evaluator.
#include "eval/five_card.h"

#include "tests/support/reference_eval.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// Every five-card hand gets the class rank that the tests' own reference evaluator gives it.
TEST(FiveCardRanks, EveryHandMatchesTheReference) {
    const five_card::ClassRanks& ranks = five_card::classRanks();
    std::array<CardId, 5> c{};
    for (c[0] = 0; c[0] < kDeckSize; ++c[0])
        for (c[1] = c[0] + 1; c[1] < kDeckSize; ++c[1])
            for (c[2] = c[1] + 1; c[2] < kDeckSize; ++c[2])
                for (c[3] = c[2] + 1; c[3] < kDeckSize; ++c[3])
                    for (c[4] = c[3] + 1; c[4] < kDeckSize; ++c[4]) {
                        unsigned rankSet = 0;
                        bool oneSuit = true;
                        for (CardId card : c) {
                            rankSet |= 1u << rankOf(card);
                            oneSuit = oneSuit && suitOf(card) == suitOf(c[0]);
                        }
                        const int mine = oneSuit
                                             ? ranks.flush(rankSet)
                                             : ranks.plain(rankOf(c[0]), rankOf(c[1]), rankOf(c[2]),
                                                           rankOf(c[3]), rankOf(c[4]));
                        ASSERT_EQ(mine, reference().rank5(c));
                    }
    EXPECT_EQ(ranks.plain(5, 3, 2, 1, 0), 1);                    // 7-5-4-3-2
    EXPECT_EQ(ranks.flush(0x1Fu << 8), five_card::kClassCount);  // royal flush
    EXPECT_EQ(ranks.plain(4, 4, 4, 4, 4), 0);                    // five of a rank
}

}  // namespace
}  // namespace varnel::test
