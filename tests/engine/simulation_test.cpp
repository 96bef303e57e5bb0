#include "engine/simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/deal_helpers.h"
#include "engine/mersenne_twister.h"

namespace varnel {
namespace {

using test::boardShares;
using test::cards;
using test::mask;

class Simulation : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::loadTestTable()) << "omaha-7.bin not found in VARNEL_DATA_DIR";
    }
};

// Puts another table (or none) in place of the evaluator's for one test.
struct TableSwap {
    explicit TableSwap(std::unique_ptr<OmahaTable> table) {
        omahaEvaluator().attach(std::move(table));
    }
    ~TableSwap() {
        omahaEvaluator().attach(nullptr);
        test::loadTestTable();
    }
};

HandList handList(int numCards, std::initializer_list<const wchar_t*> hands) {
    HandList list;
    list.numCards = numCards;
    for (const wchar_t* h : hands) list.hands.push_back(mask(h));
    return list;
}

struct Outcome {
    std::vector<double> equities;
    std::int32_t rounds = 0;
    SimulationReport report;
    std::vector<int> steps;
};

SimulationOptions quiet(std::uint32_t seed = 1) {
    SimulationOptions options;
    options.progressPause = std::chrono::milliseconds(0);
    options.seed = seed;
    return options;
}

// Runs the simulation for players lists[0], lists[1], ...
Outcome simulate(int holeCount, const std::vector<HandList>& lists, Boards boards,
                 std::int32_t rounds, std::int32_t seconds = 0,
                 SimulationOptions options = quiet()) {
    Outcome out;
    out.equities.assign(lists.size(), -1.0);
    out.rounds = rounds;
    const auto others = static_cast<std::int32_t>(lists.size()) - 1;
    out.equities[0] = simulateEquity(
        holeCount, lists[0], boards, lists.data() + 1, others, out.equities.data() + 1, out.rounds,
        seconds, [&](int step) { out.steps.push_back(step); }, options, &out.report);
    return out;
}

// Standard error of a mean of `n` shares with the given mean (shares lie in 0..1).
double standardError(double mean, int n) {
    return std::sqrt(mean * (1 - mean) / n) + 1e-9;
}

std::vector<CardId> remainingDeck(CardMask used) {
    return cardsFromMask(kFullDeck & ~used);
}

TEST_F(Simulation, FixedFlopAndHandsMatchEnumerationOfAllTurnsAndRivers) {
    const std::vector<HandList> lists = {handList(4, {L"AsKsQh7d"}), handList(4, {L"9c9d8h8c"})};
    const std::wstring flop = L"Ts9h2s";
    const std::vector<std::vector<CardId>> hands = {cards(L"AsKsQh7d"), cards(L"9c9d8h8c")};
    const std::vector<CardId> deck = remainingDeck(mask(L"AsKsQh7d9c9d8h8c") | mask(flop));
    ASSERT_EQ(deck.size(), 41u);
    const std::vector<CardId> f = cards(flop);
    double exact = 0;
    int completions = 0;
    for (std::size_t i = 0; i < deck.size(); ++i) {
        for (std::size_t j = i + 1; j < deck.size(); ++j) {
            const CardId board[5] = {f[0], f[1], f[2], deck[i], deck[j]};
            exact += boardShares(hands, board)[0];
            ++completions;
        }
    }
    ASSERT_EQ(completions, 820);
    exact /= completions;

    const int rounds = 60000;
    const Outcome out = simulate(4, lists, {mask(flop), 0}, rounds);
    EXPECT_EQ(out.rounds, rounds);
    EXPECT_EQ(out.report.status, SimulationStatus::Finished);
    EXPECT_NEAR(out.equities[0], exact, 4 * standardError(exact, rounds));
    EXPECT_NEAR(out.equities[0] + out.equities[1], 1.0, 1e-9);
}

TEST_F(Simulation, TwoBoardsMatchTheMeanOfEachBoardsEnumeration) {
    const std::vector<std::vector<CardId>> hands = {cards(L"AhKhJc4d"), cards(L"QsQdTs9s")};
    const std::vector<HandList> lists = {handList(4, {L"AhKhJc4d"}), handList(4, {L"QsQdTs9s"})};
    const CardMask flop1 = mask(L"Kd8s3h"), flop2 = mask(L"2c5s6d");
    const std::vector<CardId> deck = remainingDeck(mask(L"AhKhJc4dQsQdTs9s") | flop1 | flop2);
    ASSERT_EQ(deck.size(), 38u);
    double exact = 0;
    for (CardMask flop : {flop1, flop2}) {
        const std::vector<CardId> f = cardsFromMask(flop);
        double sum = 0;
        int n = 0;
        for (std::size_t i = 0; i < deck.size(); ++i) {
            for (std::size_t j = i + 1; j < deck.size(); ++j) {
                const CardId board[5] = {f[0], f[1], f[2], deck[i], deck[j]};
                sum += boardShares(hands, board)[0];
                ++n;
            }
        }
        exact += sum / n / 2;
    }
    const int rounds = 60000;
    const Outcome out = simulate(4, lists, {flop1, flop2}, rounds, 0, quiet(7));
    EXPECT_EQ(out.rounds, rounds);
    // The two boards of one deal are dependent, but each board's error is at most one standard
    // error of its own; their mean's error is at most the mean of the two.
    EXPECT_NEAR(out.equities[0], exact, 4 * standardError(exact, rounds));
    EXPECT_NEAR(out.equities[0] + out.equities[1], 1.0, 1e-9);
}

TEST_F(Simulation, RandomOpponentMatchesEnumerationOfAllHands) {
    // Two hole cards: every opponent hand of the 45 remaining cards, on a full board.
    const std::wstring board = L"Jh7c4s3d2h";
    const std::vector<CardId> b = cards(board);
    const CardId full[5] = {b[0], b[1], b[2], b[3], b[4]};
    const std::vector<CardId> mine = cards(L"Ah5c");
    const std::vector<CardId> deck = remainingDeck(mask(board) | mask(L"Ah5c"));
    double exact = 0;
    int n = 0;
    for (std::size_t i = 0; i < deck.size(); ++i) {
        for (std::size_t j = i + 1; j < deck.size(); ++j) {
            exact += boardShares({mine, {deck[i], deck[j]}}, full)[0];
            ++n;
        }
    }
    ASSERT_EQ(n, 990);
    exact /= n;
    const int rounds = 50000;
    const Outcome out = simulate(2, {handList(2, {L"Ah5c"}), HandList{}}, {mask(board), 0}, rounds);
    EXPECT_NEAR(out.equities[0], exact, 4 * standardError(exact, rounds));
    // The first player may be the random one: it is dealt like any other random hand.
    const Outcome swapped =
        simulate(2, {HandList{}, handList(2, {L"Ah5c"})}, {mask(board), 0}, rounds);
    EXPECT_EQ(swapped.report.status, SimulationStatus::Finished);
    EXPECT_EQ(swapped.rounds, rounds);
    EXPECT_NEAR(swapped.equities[1], exact, 4 * standardError(exact, rounds));
    EXPECT_NEAR(swapped.equities[0] + swapped.equities[1], 1.0, 1e-9);
}

TEST_F(Simulation, DeadCardsAreNeverDealt) {
    // Everything but eight cards is dead: the random opponent takes four of them and the turn and
    // river come from the other four. The exact equity enumerates those eight cards only.
    const std::wstring flop = L"Kc9d4h", mine = L"AcAdQsJs";
    const CardMask live = mask(L"2c3d5h6s7c8d9sTh");
    const CardMask dead = kFullDeck & ~(live | mask(flop) | mask(mine));
    const std::vector<CardId> l = cardsFromMask(live), f = cards(flop), me = cards(mine);
    double exact = 0;
    int n = 0;
    for (unsigned pick = 0; pick < 256; ++pick) {
        if (std::popcount(pick) != 4) continue;
        std::vector<CardId> opponent, rest;
        for (int i = 0; i < 8; ++i) ((pick >> i) & 1 ? opponent : rest).push_back(l[i]);
        for (std::size_t i = 0; i < rest.size(); ++i) {
            for (std::size_t j = i + 1; j < rest.size(); ++j) {
                const CardId board[5] = {f[0], f[1], f[2], rest[i], rest[j]};
                exact += boardShares({me, opponent}, board)[0];
                ++n;
            }
        }
    }
    exact /= n;
    SimulationOptions options = quiet(3);
    options.deadCards = dead;
    const int rounds = 40000;
    // Every hand of the opponent's list holds a dead card: all are dropped, and with nothing
    // left the opponent's hand is random.
    const Outcome out =
        simulate(4, {handList(4, {L"AcAdQsJs"}), handList(4, {L"2c3d5hAs", L"2c3d5hKs"})},
                 {mask(flop), 0}, rounds, 0, options);
    EXPECT_EQ(out.rounds, rounds);
    EXPECT_NEAR(out.equities[0], exact, 4 * standardError(exact, rounds));
}

TEST_F(Simulation, ListHandsHoldingDeadCardsAreDropped) {
    // On a full board the only list hand left decides every deal.
    const std::wstring board = L"AhKh7c4d2s";
    SimulationOptions options = quiet();
    options.deadCards = mask(L"QhJh");
    const Outcome out =
        simulate(4, {handList(4, {L"QhJhTh3c", L"8c8d5s6s"}), handList(4, {L"9c9d3h3s"})},
                 {mask(board), 0}, 100, 0, options);
    const std::vector<CardId> b = cards(board);
    const CardId full[5] = {b[0], b[1], b[2], b[3], b[4]};
    EXPECT_EQ(out.equities[0], boardShares({cards(L"8c8d5s6s"), cards(L"9c9d3h3s")}, full)[0]);
}

TEST_F(Simulation, FixedBoardsSplitBetweenWinnersAndAcrossBoards) {
    struct Case {
        const char* name;
        std::vector<const wchar_t*> hands;
        Boards boards;
        std::vector<double> equities;
    };
    const double third = 1.0 / 3;
    const Case cases[] = {
        {"each wins one board alone",
         {L"AsAh3c4d", L"KsKh5c6d"},
         {mask(L"Ac9d7h2s3h"), mask(L"Kc8d6h2c4s")},
         {0.5, 0.5}},
        {"three jack-high straights on both boards",
         {L"JcTc3d4d", L"JdTd3h4h", L"JhTh3s4s"},
         {mask(L"9c8d7h2s2d"), mask(L"9d8c7s2h5c")},
         {third, third, third}},
        {"royal flush against aces",
         {L"JsTs4h5h", L"AhAdKhKd"},
         {mask(L"AsKsQs2d3c"), 0},
         {1.0, 0.0}},
        {"equal straights", {L"JhTh4h5h", L"JdTd6c7c"}, {mask(L"AsKsQs2d3c"), 0}, {0.5, 0.5}},
    };
    for (const Case& c : cases) {
        std::vector<HandList> lists;
        for (const wchar_t* hand : c.hands) lists.push_back(handList(4, {hand}));
        const Outcome out = simulate(4, lists, c.boards, 30);
        EXPECT_EQ(out.rounds, 30) << c.name;
        for (std::size_t p = 0; p < c.equities.size(); ++p)
            EXPECT_DOUBLE_EQ(out.equities[p], c.equities[p]) << c.name << " player " << p;
    }
}

TEST_F(Simulation, TenPlayersTyingOnEveryDealGetATenthEach) {
    // A table whose every walk ends in the same value makes every player tie on every board.
    auto constant = makeOmahaTable(2 * kStartState);
    ASSERT_TRUE(constant);
    for (std::size_t i = kStartState; i < constant->size; ++i) constant->entries[i] = kStartState;
    const TableSwap swap(std::move(constant));
    std::vector<HandList> lists(10);
    lists[0] = handList(4, {L"AsKsQsJs"});
    for (Boards boards : {Boards{0, 0}, Boards{mask(L"2c3c4c"), mask(L"2d3d4d")}}) {
        const Outcome out = simulate(4, lists, boards, 100);
        EXPECT_EQ(out.rounds, 100);
        for (double e : out.equities) EXPECT_NEAR(e, 0.1, 1e-12);
    }
}

TEST_F(Simulation, ProgressStepsFollowTheRoundsRequested) {
    const std::vector<HandList> lists = {handList(4, {L"AsKsQsJs"}), HandList{}};
    auto steps = [&](int rounds) { return simulate(4, lists, {0, 0}, rounds).steps; };
    auto range = [](int n) {
        std::vector<int> v(n);
        for (int i = 0; i < n; ++i) v[i] = i;
        return v;
    };
    EXPECT_EQ(steps(50), std::vector<int>{0});
    EXPECT_EQ(steps(150), range(150));
    EXPECT_EQ(steps(199), range(199));
    EXPECT_EQ(steps(1000), range(100));
    EXPECT_EQ(steps(1050), range(105));
    EXPECT_TRUE(steps(0).empty());
}

TEST_F(Simulation, ZeroRoundsCountNothing) {
    const Outcome out = simulate(4, {handList(4, {L"AsKsQsJs"}), HandList{}}, {0, 0}, 0);
    EXPECT_EQ(out.rounds, 0);
    EXPECT_EQ(out.equities, (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(out.report.status, SimulationStatus::Finished);
}

TEST_F(Simulation, NegativeTimeLimitStopsAfterTheFirstCountedDeal) {
    const Outcome out = simulate(4, {handList(4, {L"AsKsQsJs"}), HandList{}}, {0, 0}, 1000, -1);
    EXPECT_EQ(out.rounds, 1);
    EXPECT_EQ(out.steps, std::vector<int>{0});  // reported before the deal is counted
    EXPECT_NEAR(out.equities[0] + out.equities[1], 1.0, 1e-9);
}

TEST_F(Simulation, TimeLimitEndsALongRun) {
    const Outcome out = simulate(4, {handList(4, {L"AsKsQsJs"}), HandList{}}, {0, 0},
                                 std::numeric_limits<std::int32_t>::max(), 1);
    EXPECT_GT(out.rounds, 0);
    EXPECT_LT(out.rounds, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(out.report.status, SimulationStatus::Finished);
}

TEST_F(Simulation, PauseFollowsEachProgressReport) {
    SimulationOptions options = quiet();
    options.progressPause = std::chrono::milliseconds(20);
    const auto start = std::chrono::steady_clock::now();
    const Outcome out =
        simulate(4, {handList(4, {L"AsKsQsJs"}), HandList{}}, {0, 0}, 3, 0, options);
    EXPECT_EQ(out.steps, std::vector<int>{0});
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

TEST_F(Simulation, RejectedInputsEndBeforeAnyDeal) {
    const HandList hand = handList(4, {L"AsKsQsJs"});
    // A second board without a first, and player counts outside 2..10: nothing is written.
    Outcome out = simulate(4, {hand, HandList{}}, {0, mask(L"2c3c4c")}, 100);
    EXPECT_EQ(out.equities[1], -1.0);
    EXPECT_EQ(out.rounds, 100);
    EXPECT_EQ(out.report.status, SimulationStatus::Rejected);
    out = simulate(4, {hand}, {0, 0}, 100);
    EXPECT_EQ(out.rounds, 100);
    EXPECT_EQ(out.report.status, SimulationStatus::Rejected);
    out = simulate(4, std::vector<HandList>(11, hand), {0, 0}, 100);
    EXPECT_EQ(out.equities[1], -1.0);
    EXPECT_EQ(out.report.status, SimulationStatus::Rejected);
    // Hole-card counts outside 2..7, and a single hand longer than the game's.
    out = simulate(8, {hand, HandList{}}, {0, 0}, 100);
    EXPECT_EQ(out.report.status, SimulationStatus::Rejected);
    out = simulate(4, {handList(5, {L"AsKsQsJsTs"}), HandList{}}, {0, 0}, 100);
    EXPECT_EQ(out.report.status, SimulationStatus::Rejected);
    EXPECT_EQ(out.equities, (std::vector<double>{0.0, 0.0}));
}

TEST_F(Simulation, InputsWithoutAnyValidDealEndAtOnce) {
    const HandList aces = handList(4, {L"AsAhAdAc"});
    const std::vector<std::pair<const char*, Outcome>> cases = {
        {"same single hand", simulate(4, {aces, aces}, {0, 0}, 1000)},
        {"single hand on a board card",
         simulate(4, {aces, HandList{}}, {mask(L"As2c3c"), 0}, 1000)},
        {"ten 5-card hands and a board need 55 cards",
         simulate(5, {handList(5, {L"AsKsQsJsTs"}), {}, {}, {}, {}, {}, {}, {}, {}, {}}, {0, 0},
                  1000)},
        {"seven 7-card hands and a board need 54 cards",
         simulate(7, {handList(7, {L"AsKsQsJsTs9s8s"}), {}, {}, {}, {}, {}, {}}, {0, 0}, 1000)},
        {"two boards and nine 5-card hands need 55 cards",
         simulate(5, {handList(5, {L"AsKsQsJsTs"}), {}, {}, {}, {}, {}, {}, {}, {}},
                  {mask(L"2c3c4c"), mask(L"2d3d4d")}, 1000)},
    };
    for (const auto& [name, out] : cases) {
        EXPECT_EQ(out.report.status, SimulationStatus::NoValidDeal) << name;
        EXPECT_EQ(out.rounds, 0) << name;
        for (double e : out.equities) EXPECT_EQ(e, 0.0) << name;
    }
    // Dead cards that leave too few cards to deal.
    SimulationOptions options = quiet();
    options.deadCards = kFullDeck & ~mask(L"2c3c4c5c6c7c8c9cTcJcQcKc");
    const Outcome out =
        simulate(4, {handList(4, {L"2c3c4c5c"}), HandList{}}, {0, 0}, 1000, 0, options);
    EXPECT_EQ(out.report.status, SimulationStatus::NoValidDeal);
}

TEST_F(Simulation, ListsThatAlwaysCollideEndAfterTheDiscardCapOrTheTimeLimit) {
    // Every hand of both lists holds the ace of spades: every deal is discarded.
    const std::vector<HandList> lists = {handList(4, {L"AsKsQsJs", L"AsKhQhJh"}),
                                         handList(4, {L"AsKdQdJd", L"AsKcQcJc"})};
    SimulationOptions options = quiet();
    options.maxConsecutiveDiscards = 50000;
    Outcome out = simulate(4, lists, {0, 0}, 1000, 0, options);
    EXPECT_EQ(out.report.status, SimulationStatus::NoValidDeal);
    EXPECT_EQ(out.report.discardedDeals, 50000);
    EXPECT_EQ(out.rounds, 0);
    EXPECT_EQ(out.equities, (std::vector<double>{0.0, 0.0}));
    out = simulate(4, lists, {0, 0}, 1000, -1);
    EXPECT_EQ(out.report.status, SimulationStatus::NoValidDeal);
    EXPECT_LT(out.report.discardedDeals, 50000);
}

TEST_F(Simulation, ShortHandsUseOnlyTheirOwnCards) {
    // A four-card hand in a six-card game, on a full board: the reference sees the same four cards.
    const std::wstring board = L"9h8h7h2c3d";
    const std::vector<CardId> b = cards(board);
    const CardId full[5] = {b[0], b[1], b[2], b[3], b[4]};
    const std::vector<std::vector<CardId>> hands = {cards(L"ThJh7c7d"), cards(L"KcKdQcQd5c5d")};
    const Outcome out = simulate(6, {handList(4, {L"ThJh7c7d"}), handList(6, {L"KcKdQcQd5c5d"})},
                                 {mask(board), 0}, 10);
    EXPECT_EQ(out.equities[0], boardShares(hands, full)[0]);
    EXPECT_EQ(out.equities[0], 1.0);  // the straight flush
}

TEST_F(Simulation, RandomOpponentOfAShortHandMatchesEnumeration) {
    // A four-card hand in a six-card game keeps random hands drawn without regard to the other
    // cards (a collision discards the deal). Eight live cards: the opponent holds six of them.
    const std::wstring board = L"9h8h7h2c3d", mine = L"KcKd7c7d";
    const CardMask live = mask(L"AsKsQsJs6h5h4d4c");
    const std::vector<CardId> b = cards(board), l = cardsFromMask(live);
    const CardId full[5] = {b[0], b[1], b[2], b[3], b[4]};
    double exact = 0;
    int n = 0;
    for (unsigned pick = 0; pick < 256; ++pick) {
        if (std::popcount(pick) != 6) continue;
        std::vector<CardId> opponent;
        for (int i = 0; i < 8; ++i) {
            if ((pick >> i) & 1) opponent.push_back(l[i]);
        }
        exact += boardShares({cards(mine), opponent}, full)[0];
        ++n;
    }
    exact /= n;
    ASSERT_NEAR(exact, 13.0 / 28, 1e-12);  // the opponent wins with 6h and 5h
    SimulationOptions options = quiet(5);
    options.deadCards = kFullDeck & ~(live | mask(board) | mask(mine));
    const int rounds = 4000;  // some 440 deals are discarded for each one counted
    const Outcome out =
        simulate(6, {handList(6, {L"KcKd7c7d"}), HandList{}}, {mask(board), 0}, rounds, 0, options);
    EXPECT_EQ(out.rounds, rounds);
    EXPECT_GT(out.report.discardedDeals, 0);
    EXPECT_NEAR(out.equities[0], exact, 4 * standardError(exact, rounds));
}

TEST_F(Simulation, MissingTableReportsItAndEvaluatesNothing) {
    const TableSwap swap(nullptr);
    const Outcome out = simulate(4, {handList(4, {L"AsKsQsJs"}), HandList{}}, {0, 0}, 1000);
    EXPECT_EQ(out.report.status, SimulationStatus::NoTable);
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
}  // namespace varnel
