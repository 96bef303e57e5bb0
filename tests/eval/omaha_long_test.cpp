// Long checks of the generated table (label "long"): every (board, hole pair) case, and many
// more random deals than the regular tests.

#include <atomic>
#include <thread>

#include "eval/omaha_eval.h"
#include "eval/table_checks.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

TEST(OmahaTableLong, EveryBoardAndHolePair) {
    ASSERT_TRUE(loadTable());
    const auto& ref = reference();
    std::atomic<long> cases{0}, mismatches{0};
    // Boards are split between threads by their lowest card.
    auto work = [&](int part, int parts) {
        long n = 0, bad = 0;
        CardId b[kBoardCards];
        for (b[0] = part; b[0] < kDeckSize; b[0] += parts)
            for (b[1] = b[0] + 1; b[1] < kDeckSize; ++b[1])
                for (b[2] = b[1] + 1; b[2] < kDeckSize; ++b[2])
                    for (b[3] = b[2] + 1; b[3] < kDeckSize; ++b[3])
                        for (b[4] = b[3] + 1; b[4] < kDeckSize; ++b[4]) {
                            const CardMask used = maskFromCards(b);
                            const std::uint32_t state = omahaBoardState(b);
                            for (CardId x = 0; x < kDeckSize; ++x) {
                                if (used >> x & 1) continue;
                                for (CardId y = x + 1; y < kDeckSize; ++y) {
                                    if (used >> y & 1) continue;
                                    const CardId hole[2] = {x, y};
                                    ++n;
                                    bad += evaluateOmahaFromState(state, hole, 2) !=
                                           ref.bestOfPair(x, y, b);
                                }
                            }
                        }
        cases += n;
        mismatches += bad;
    };
    const int parts = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> threads;
    for (int p = 0; p < parts; ++p) threads.emplace_back(work, p, parts);
    for (auto& t : threads) t.join();
    EXPECT_EQ(cases.load(), 2'809'475'760L);  // C(52,5) boards x C(47,2) hole pairs
    EXPECT_EQ(mismatches.load(), 0);
}

TEST(OmahaTableLong, ManyRandomDeals) {
    ASSERT_TRUE(loadTable());
    EXPECT_EQ(compareRandomDeals(10'000'000, 99), 60'000'000);
}

}  // namespace
}  // namespace varnel::test
