#include "engine/equity.h"
#include "engine/mersenne_twister.h"
#include "eval/omaha_eval.h"
#include "exact_equity.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

class MonteCarlo : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(loadTable()) << "omaha-7.bin not found in VARNEL_DATA_DIR";
    }
};

// Puts another table (or none) in place of the evaluator's for one test.
struct TableSwap {
    explicit TableSwap(std::unique_ptr<OmahaTable> table) {
        omahaEvaluator().attach(std::move(table));
    }
    ~TableSwap() {
        omahaEvaluator().attach(nullptr);
        loadTable();
    }
};

HandList handList(int numCards, std::initializer_list<const wchar_t*> hands) {
    HandList list{{}, numCards};
    for (const wchar_t* h : hands) list.hands.push_back(cards(h));
    return list;
}
const HandList kAces = handList(4, {L"AsKsQsJs"});
const HandList kRandom{{}, 0};  // an empty list without a hand size: the player is random

struct Outcome {
    std::vector<double> equities;
    std::int64_t rounds = 0;
    EquityResult result;
    std::vector<int> steps;
};

// computeEquity's Monte Carlo on one thread for players lists[0], lists[1], ... (kRandom, or any
// empty list without a hand size, is a random player).
Outcome simulate(int holeCount, const std::vector<HandList>& lists, Boards boards,
                 std::int64_t rounds, double seconds = 0, std::uint32_t seed = 1,
                 CardMask dead = 0) {
    EquityRequest r;
    r.holeCount = holeCount;
    r.playerCount = static_cast<int>(lists.size());
    for (std::size_t p = 0; p < lists.size() && p < kMaxPlayers; ++p) {
        r.lists[p] = lists[p];
        r.random[p] = lists[p].hands.empty() && lists[p].numCards == 0;
    }
    r.boards = boards;
    r.deadCards = dead;
    r.mode = EquityMode::MonteCarlo;
    r.rounds = rounds;
    r.seconds = seconds;
    r.seed = seed;
    Outcome out;
    r.progress = [&](int step) { out.steps.push_back(step); };
    out.result = computeEquity(r);
    out.rounds = out.result.deals;
    for (std::size_t p = 0; p < lists.size(); ++p)
        out.equities.push_back(p < kMaxPlayers ? out.result.players[p].equity : 0);
    return out;
}

// The equity of player `player` lies within four standard errors of `exact`.
void expectNear(const Outcome& out, std::int64_t rounds, double exact, int player = 0) {
    EXPECT_EQ(out.rounds, rounds);
    EXPECT_EQ(out.result.end, RunEnd::Finished);
    EXPECT_NEAR(out.equities[player], exact, 4 * std::sqrt(exact * (1 - exact) / rounds) + 1e-9);
    EXPECT_NEAR(out.equities[0] + out.equities[1], 1.0, 1e-9);
}

TEST_F(MonteCarlo, FixedHandsMatchExactEnumeration) {
    const CardMask ak = cards(L"AsKsQh7d"), nines = cards(L"9c9d8h8c"), flop = cards(L"Ts9h2s");
    expectNear(simulate(4, {{{ak}, 4}, {{nines}, 4}}, {flop, 0}, 60000), 60000,
               exactEquity({ak, nines}, flop, kFullDeck & ~(ak | nines | flop)));
    // The two boards of a deal are dependent, but each board's error is at most one standard
    // error of its own; their mean's error is at most the mean of the two.
    const CardMask ah = cards(L"AhKhJc4d"), qq = cards(L"QsQdTs9s");
    const CardMask flop1 = cards(L"Kd8s3h"), flop2 = cards(L"2c5s6d");
    const CardMask live = kFullDeck & ~(ah | qq | flop1 | flop2);
    expectNear(simulate(4, {{{ah}, 4}, {{qq}, 4}}, {flop1, flop2}, 60000, 0, 7), 60000,
               (exactEquity({ah, qq}, flop1, live) + exactEquity({ah, qq}, flop2, live)) / 2);
}

TEST_F(MonteCarlo, RandomHandsMatchExactEnumeration) {
    // Every opponent hand on a full board; the first player may be the random one too.
    const CardMask a5 = cards(L"Ah5c"), board = cards(L"Jh7c4s3d2h");
    const double exact = exactEquity({a5, 0}, board, kFullDeck & ~(a5 | board), 2);
    expectNear(simulate(2, {{{a5}, 2}, {}}, {board, 0}, 50000), 50000, exact);
    expectNear(simulate(2, {{}, {{a5}, 2}}, {board, 0}, 50000), 50000, exact, 1);
    // Dead cards leave eight live cards: the random hand is four of them, the turn and river
    // come from the other four.
    const CardMask aces = cards(L"AcAdQsJs"), flop = cards(L"Kc9d4h");
    const CardMask live = cards(L"2c3d5h6s7c8d9sTh");
    expectNear(simulate(4, {{{aces}, 4}, kRandom}, {flop, 0}, 40000, 0, 3,
                        kFullDeck & ~(live | flop | aces)),
               40000, exactEquity({aces, 0}, flop, live, 4));
    // A four-card hand in a six-card game: random hands are drawn without regard to the other
    // cards (a collision discards the deal); the opponent holds six of eight live cards.
    const CardMask kings = cards(L"KcKd7c7d"), straight = cards(L"9h8h7h2c3d");
    const CardMask live6 = cards(L"AsKsQsJs6h5h4d4c");
    expectNear(simulate(6, {{{kings}, 6}, kRandom}, {straight, 0}, 4000, 0, 5,
                        kFullDeck & ~(live6 | straight | kings)),
               4000, exactEquity({kings, 0}, straight, live6, 6));
}

TEST_F(MonteCarlo, FixedBoardsSplitBetweenWinnersAndAcrossBoards) {
    const auto expectShares = [](int holeCount, std::vector<const wchar_t*> hands, Boards boards,
                                 std::vector<double> equities) {
        std::vector<HandList> lists;
        for (const wchar_t* hand : hands) lists.push_back(handList(holeCount, {hand}));
        const Outcome out = simulate(holeCount, lists, boards, 30);
        EXPECT_EQ(out.rounds, 30) << hands[0];
        for (std::size_t p = 0; p < equities.size(); ++p)
            EXPECT_DOUBLE_EQ(out.equities[p], equities[p]) << hands[0] << " player " << p;
    };
    // Each wins one board alone.
    expectShares(4, {L"AsAh3c4d", L"KsKh5c6d"}, {cards(L"Ac9d7h2s3h"), cards(L"Kc8d6h2c4s")},
                 {0.5, 0.5});
    // Three jack-high straights on both boards.
    expectShares(4, {L"JcTc3d4d", L"JdTd3h4h", L"JhTh3s4s"},
                 {cards(L"9c8d7h2s2d"), cards(L"9d8c7s2h5c")}, {1.0 / 3, 1.0 / 3, 1.0 / 3});
    // A royal flush against aces, and equal straights.
    expectShares(4, {L"JsTs4h5h", L"AhAdKhKd"}, {cards(L"AsKsQs2d3c"), 0}, {1.0, 0.0});
    expectShares(4, {L"JhTh4h5h", L"JdTd6c7c"}, {cards(L"AsKsQs2d3c"), 0}, {0.5, 0.5});
    // A four-card hand in a six-card game uses only its own cards: the straight flush.
    expectShares(6, {L"ThJh7c7d", L"KcKdQcQd5c5d"}, {cards(L"9h8h7h2c3d"), 0}, {1.0, 0.0});
}

TEST_F(MonteCarlo, ListHandsHoldingDeadCardsAreDropped) {
    // On a full board the only list hand left decides every deal.
    const CardMask board = cards(L"AhKh7c4d2s");
    const Outcome out =
        simulate(4, {handList(4, {L"QhJhTh3c", L"8c8d5s6s"}), handList(4, {L"9c9d3h3s"})},
                 {board, 0}, 100, 0, 1, cards(L"QhJh"));
    EXPECT_EQ(out.equities[0], boardShares({cards(L"8c8d5s6s"), cards(L"9c9d3h3s")}, board)[0]);
}

TEST_F(MonteCarlo, TenPlayersTyingOnEveryDealGetATenthEach) {
    // A table whose every walk ends in the same value makes every player tie on every board.
    auto constant = makeOmahaTable(2 * kStartState);
    ASSERT_TRUE(constant);
    for (std::size_t i = kStartState; i < constant->size; ++i) constant->entries[i] = kStartState;
    const TableSwap swap(std::move(constant));
    std::vector<HandList> lists(10);
    lists[0] = kAces;
    for (Boards boards : {Boards{0, 0}, Boards{cards(L"2c3c4c"), cards(L"2d3d4d")}}) {
        const Outcome out = simulate(4, lists, boards, 100);
        EXPECT_EQ(out.rounds, 100);
        for (double e : out.equities) EXPECT_NEAR(e, 0.1, 1e-12);
    }
}

TEST_F(MonteCarlo, ProgressStepsRiseFromZeroWithinTheHundred) {
    for (std::int64_t rounds : {50, 1000, 100000}) {
        const std::vector<int> steps = simulate(4, {kAces, kRandom}, {0, 0}, rounds).steps;
        ASSERT_FALSE(steps.empty()) << rounds;
        EXPECT_EQ(steps.front(), 0);
        EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
        EXPECT_LT(steps.back(), kProgressSteps);
    }
    const Outcome none = simulate(4, {kAces, kRandom}, {0, 0}, 0);
    EXPECT_EQ(none.rounds, 0);
    EXPECT_EQ(none.result.end, RunEnd::Finished);
    EXPECT_EQ(none.equities, (std::vector<double>{0.0, 0.0}));
}

TEST_F(MonteCarlo, RequestsThatCannotBeCalculatedAreRejectedWithAReason) {
    const HandList quads = handList(4, {L"AsAhAdAc"}), five = handList(5, {L"AsKsQsJsTs"});
    const HandList none = handList(4, {});  // not random: a list without hands
    const struct {
        const char* name;
        Outcome out;
        const char* reason;
    } cases[] = {
        {"second board without a first", simulate(4, {kAces, kRandom}, {0, cards(L"2c3c4c")}, 100),
         "boards"},
        {"boards sharing a card",
         simulate(4, {kAces, kRandom}, {cards(L"2c3c4c"), cards(L"2c5c6c")}, 100), "share"},
        {"one player", simulate(4, {kAces}, {0, 0}, 100), "players"},
        {"eleven players", simulate(4, std::vector<HandList>(11, kRandom), {0, 0}, 100), "players"},
        {"eight hole cards", simulate(8, {kAces, kRandom}, {0, 0}, 100), "hole cards"},
        {"a single hand longer than the game's", simulate(4, {five, kRandom}, {0, 0}, 100),
         "more cards"},
        {"a list without hands", simulate(4, {kAces, none}, {0, 0}, 100), "player 2 has no hand"},
        {"the same single hand", simulate(4, {quads, quads}, {0, 0}, 100), "player 2's hand"},
        {"a single hand on a board card", simulate(4, {quads, kRandom}, {cards(L"As2c3c"), 0}, 100),
         "player 1's hand"},
        {"a single hand on a dead card",
         simulate(4, {quads, kRandom}, {0, 0}, 100, 0, 1, cards(L"Ac")), "player 1's hand"},
        {"a dead card on the board",
         simulate(4, {kAces, kRandom}, {cards(L"2c3c4c"), 0}, 100, 0, 1, cards(L"4c")), "dead"},
        {"a list blocked by the board",
         simulate(4, {handList(4, {L"2c3c4c5c", L"2c6d7d8d"}), kRandom}, {cards(L"2c9h9d"), 0},
                  100),
         "player 1 has no hand left"},
        {"a list blocked by another player's hand",
         simulate(4, {quads, handList(4, {L"As3c4c5c", L"Ah6d7d8d"})}, {0, 0}, 100),
         "player 2 has no hand left"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.out.result.end, RunEnd::Rejected) << c.name;
        EXPECT_NE(c.out.result.reason.find(c.reason), std::string::npos)
            << c.name << ": " << c.out.result.reason;
        EXPECT_EQ(c.out.rounds, 0) << c.name;
    }
}

TEST_F(MonteCarlo, InputsWithoutAnyValidDealEndAtOnce) {
    const HandList five = handList(5, {L"AsKsQsJsTs"});
    const std::vector<std::pair<const char*, Outcome>> cases = {
        {"ten 5-card hands and a board need 55 cards",
         simulate(5, {five, {}, {}, {}, {}, {}, {}, {}, {}, {}}, {0, 0}, 1000)},
        {"seven 7-card hands and a board need 54 cards",
         simulate(7, {handList(7, {L"AsKsQsJsTs9s8s"}), {}, {}, {}, {}, {}, {}}, {0, 0}, 1000)},
        {"two boards and nine 5-card hands need 55 cards",
         simulate(5, {five, {}, {}, {}, {}, {}, {}, {}, {}}, {cards(L"2c3c4c"), cards(L"2d3d4d")},
                  1000)},
        {"dead cards leave too few to deal",
         simulate(4, {handList(4, {L"2c3c4c5c"}), {}}, {0, 0}, 1000, 0, 1,
                  kFullDeck & ~cards(L"2c3c4c5c6c7c8c9cTcJcQcKc"))}};
    for (const auto& [name, out] : cases) {
        EXPECT_EQ(out.result.end, RunEnd::NoValidDeal) << name;
        EXPECT_EQ(out.rounds, 0) << name;
        for (double e : out.equities) EXPECT_EQ(e, 0.0) << name;
    }
}

TEST_F(MonteCarlo, MissingTableReportsItAndEvaluatesNothing) {
    const TableSwap swap(nullptr);
    const Outcome out = simulate(4, {kAces, kRandom}, {0, 0}, 1000);
    EXPECT_EQ(out.result.end, RunEnd::NoTable);
    EXPECT_EQ(out.equities, (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(out.rounds, 0);
    EXPECT_TRUE(out.steps.empty());
}

TEST(SimulationRandom, GeneratorMatchesTheStandardMersenneTwister) {
    for (std::uint32_t seed : {5489u, 0u, 1u, 0xffffffffu}) {
        MersenneTwister ours(seed);
        std::mt19937 standard(seed);
        for (int i = 0; i < 5000; ++i)
            ASSERT_EQ(ours(), standard()) << "seed " << seed << " output " << i;
    }
}

}  // namespace
}  // namespace varnel::test
