#include "engine/calculation.h"

#include <future>

#include "exact_equity.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

PreparedCalculation read(const CalculationRequest& request, int holeCount = 4) {
    return readCalculationRequest(request, holeCount);
}

TEST(CalculationRequestReading, PlayerFields) {
    const PreparedCalculation p =
        read({{L"P 1", L""}, {L"P 2", L"AsKsQsJs"}, {L"P 3", L"random"}, {L"P 4", L"Random"}});
    EXPECT_EQ(p.playerCount, 3u);  // empty fields are not counted
    ASSERT_EQ(p.diagnostics.players.size(), 3u);
    EXPECT_EQ(p.diagnostics.players[0].key, L"P 2");
    EXPECT_EQ(p.diagnostics.players[0].hands, 1);
    EXPECT_EQ(p.lists[0].hands, std::vector<CardMask>{cards(L"AsKsQsJs")});
    EXPECT_TRUE(p.diagnostics.players[1].random);
    EXPECT_TRUE(p.lists[1].hands.empty());
    // Only the exact keyword is random, and "Random" is no range either: an empty list.
    EXPECT_FALSE(p.diagnostics.players[2].random);
    EXPECT_LE(p.diagnostics.players[2].hands, 0);
    EXPECT_TRUE(p.lists[2].hands.empty());
}

TEST(CalculationRequestReading, PlayersComeInKeyOrderWithP10Last) {
    CalculationRequest request;
    for (int n = 1; n <= 10; ++n) {
        const std::wstring key = n < 10 ? L"P " + std::to_wstring(n) : L"P10";
        request[key] = n == 10 ? L"AsKsQsJs" : L"random";
    }
    const PreparedCalculation p = read(request);
    EXPECT_EQ(p.playerCount, 10u);
    EXPECT_EQ(p.diagnostics.players.back().key, L"P10");
    EXPECT_EQ(p.lists[9].hands, std::vector<CardMask>{cards(L"AsKsQsJs")});
}

TEST(CalculationRequestReading, BoardKeysAndTexts) {
    const struct {
        CalculationRequest request;
        Boards boards;
    } cases[] = {{{{L"B1", L"AsKd7h"}}, {cards(L"AsKd7h"), 0}},
                 {{{L"B1", L"AsKd"}}, {0, 0}},                    // fewer than three cards
                 {{{L"B1", L"AsKd7h2c9s4d"}}, {0, 0}},            // more than five
                 {{{L"B1", L"AsKd7h2"}}, {cards(L"AsKd7h"), 0}},  // a trailing character is ignored
                 {{{L"B2", L"AsKd7h2c9s"}}, {0, cards(L"AsKd7h2c9s")}},
                 {{{L"B3", L"AsKd7h"}, {L"Bx", L"2c3c4c"}, {L"B12", L"5c6c7c"}}, {0, 0}},
                 // Board numbers are read like atoi.
                 {{{L"B 1", L"AsKd7h"}}, {cards(L"AsKd7h"), 0}},
                 {{{L"B02x", L"AsKd7h"}}, {0, cards(L"AsKd7h")}},
                 {{{L"B-1", L"AsKd7h"}}, {0, 0}},
                 {{{L"B99999999999999999999", L"AsKd7h"}}, {0, 0}},
                 // "B01" sorts before "B1": the later key's board replaces the earlier one.
                 {{{L"B01", L"AsKd7h"}, {L"B1", L"2c3c4c"}}, {cards(L"2c3c4c"), 0}}};
    for (const auto& c : cases)
        EXPECT_EQ(read(c.request).boards, c.boards) << c.request.begin()->first;
}

TEST(CalculationRequestReading, BoardsWithAPieceThatIsNoCardAreLeftOutAndTold) {
    PreparedCalculation p = read({{L"B1", L"AsKx7h"}, {L"B2", L"2c2c3c"}});
    EXPECT_EQ(p.boards, (Boards{0, 0}));
    ASSERT_EQ(p.diagnostics.messages.size(), 2u);
    EXPECT_NE(p.diagnostics.messages[0].find(L"\"Kx\" is not a card code"), std::wstring::npos);
    EXPECT_NE(p.diagnostics.messages[1].find(L"2c is given twice"), std::wstring::npos);
    p = read({{L"B1", L"As Kd7h"}});
    EXPECT_EQ(p.boards[0], 0u);
    EXPECT_EQ(p.diagnostics.messages.size(), 1u);
}

TEST(CalculationRequestReading, DeadCardsComeFromD) {
    EXPECT_EQ(read({{L"D", L"AsKd7h2c"}}).deadCards, cards(L"AsKd7h2c"));
    const PreparedCalculation p = read({{L"D", L"AsXx"}});
    EXPECT_EQ(p.deadCards, 0u);
    EXPECT_EQ(p.diagnostics.messages.size(), 1u);
}

TEST(CalculationRequestReading, PlayersBeyondTheTenthAreCountedNotRead) {
    CalculationRequest request;
    for (int n = 1; n <= 11; ++n) request[L"P" + std::to_wstring(100 + n)] = L"AsKsQsJs";
    const PreparedCalculation p = read(request);
    EXPECT_EQ(p.playerCount, 11u);
    EXPECT_EQ(p.diagnostics.players.size(), 10u);
}

class Calculation : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(loadTable()) << "omaha-7.bin not found in VARNEL_DATA_DIR";
    }
    SimulationOptions quiet() {
        SimulationOptions options;
        options.progressPause = std::chrono::milliseconds(0);
        options.seed = 11;
        return options;
    }
};

TEST_F(Calculation, EquitiesMatchEnumerationEndToEnd) {
    // P 2 is a range of two hands; each is drawn half of the time.
    const CardMask flop = cards(L"Qd8c3s"), hero = cards(L"AhAd9h9d");
    const CalculationRequest request = {
        {L"B1", L"Qd8c3s"}, {L"P 1", L"AhAd9h9d"}, {L"P 2", L"KsJsTs2c,KcJcTc2d"}, {L"D", L""}};
    double exact = 0;
    for (const CardMask opponent : {cards(L"KsJsTs2c"), cards(L"KcJcTc2d")})
        exact += exactEquity({hero, opponent}, flop, kFullDeck & ~(flop | hero | opponent)) / 2;
    std::uint32_t players = 99;
    double results[kMaxPlayers];
    std::promise<void> done;
    std::future<void> ready = done.get_future();
    int calls = 0;
    CalculationDiagnostics diagnostics;
    const int rounds = 50000;
    EXPECT_EQ(runCalculation(
                  rounds, 0, request, 4, players, results, [&](int) { ++calls; }, &done, quiet(),
                  &diagnostics),
              1);
    EXPECT_EQ(ready.wait_for(std::chrono::seconds(0)), std::future_status::ready);
    EXPECT_EQ(players, 2u);
    EXPECT_EQ(calls, 100);
    EXPECT_EQ(diagnostics.simulation.countedDeals, rounds);
    EXPECT_NEAR(results[0], exact, 4 * std::sqrt(exact * (1 - exact) / rounds));
    EXPECT_NEAR(results[0] + results[1], 1.0, 1e-9);
    for (int p = 2; p < kMaxPlayers; ++p) EXPECT_EQ(results[p], 0.0);
}

TEST_F(Calculation, DeadCardsFromDDecideTheBoard) {
    // All but two cards are dead: the turn and river are forced, and so is the result.
    const std::wstring flop = L"Kc9d4h", first = L"AcAd2s3s", second = L"KdKh5s6s";
    const CardMask live = cards(L"Ks9c");
    std::wstring dead;
    for (CardId c : cardsFromMask(kFullDeck & ~(live | cards(flop + first + second)))) {
        dead += cardCodes[c];
    }
    std::uint32_t players = 0;
    double results[kMaxPlayers];
    runCalculation(200, 0, {{L"B1", flop}, {L"D", dead}, {L"P 1", first}, {L"P 2", second}}, 4,
                   players, results, {}, nullptr, quiet());
    EXPECT_EQ(results[0], 0.0);  // four kings beat the aces
    EXPECT_EQ(results[1], 1.0);
}

TEST_F(Calculation, ElevenPlayersGiveZeroEquities) {
    CalculationRequest request;
    for (int n = 1; n <= 11; ++n)
        request[L"P" + std::to_wstring(100 + n)] = n == 1 ? L"AsKsQsJs" : L"random";
    std::uint32_t players = 0;
    double results[kMaxPlayers];
    std::fill(results, results + kMaxPlayers, -1.0);
    CalculationDiagnostics diagnostics;
    runCalculation(100, 0, request, 4, players, results, {}, nullptr, quiet(), &diagnostics);
    EXPECT_EQ(players, 11u);
    for (double r : results) EXPECT_EQ(r, 0.0);
    EXPECT_EQ(diagnostics.simulation.status, SimulationStatus::Rejected);
}

TEST_F(Calculation, RejectedBoardIsToldThroughTheReportHookWithoutDiagnostics) {
    const CapturedReports told;
    std::uint32_t players = 0;
    double results[kMaxPlayers];
    runCalculation(100, 0, {{L"B1", L"AsKx7h"}, {L"P 1", L"AhAd9h9d"}, {L"P 2", L"random"}}, 4,
                   players, results, {}, nullptr, quiet());
    ASSERT_EQ(told.reports.size(), 1u);
    EXPECT_NE(told.reports[0].text.find(L"B1"), std::wstring::npos);
    EXPECT_NEAR(results[0] + results[1], 1.0, 1e-9);  // the run went on without the board
}

}  // namespace
}  // namespace varnel::test
