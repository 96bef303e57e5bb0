#include "engine/calculation.h"

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

TEST(CalculationRequestReading, PlayersComeInKeyOrderWithP10LastAndTenAtMost) {
    CalculationRequest request;
    for (int n = 1; n <= 10; ++n) {
        const std::wstring key = n < 10 ? L"P " + std::to_wstring(n) : L"P10";
        request[key] = n == 10 ? L"AsKsQsJs" : L"random";
    }
    PreparedCalculation p = read(request);
    EXPECT_EQ(p.playerCount, 10u);
    EXPECT_EQ(p.diagnostics.players.back().key, L"P10");
    EXPECT_EQ(p.lists[9].hands, std::vector<CardMask>{cards(L"AsKsQsJs")});
    // An eleventh player is counted, not read.
    request[L"P11"] = L"random";
    p = read(request);
    EXPECT_EQ(p.playerCount, 11u);
    EXPECT_EQ(p.diagnostics.players.size(), 10u);
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

TEST(CalculationRequestReading, BoardsAndDeadCardsWithAPieceThatIsNoCardAreLeftOutAndTold) {
    PreparedCalculation p = read({{L"B1", L"AsKx7h"}, {L"B2", L"2c2c3c"}});
    EXPECT_EQ(p.boards, (Boards{0, 0}));
    ASSERT_EQ(p.diagnostics.messages.size(), 2u);
    EXPECT_NE(p.diagnostics.messages[0].find(L"\"Kx\" is not a card code"), std::wstring::npos);
    EXPECT_NE(p.diagnostics.messages[1].find(L"2c is given twice"), std::wstring::npos);
    for (const auto& [key, text] : {std::pair{L"B1", L"As Kd7h"}, std::pair{L"D", L"AsXx"}}) {
        p = read({{key, text}});
        EXPECT_EQ(p.boards[0] | p.deadCards, 0u) << text;
        EXPECT_EQ(p.diagnostics.messages.size(), 1u) << text;
    }
    EXPECT_EQ(read({{L"D", L"AsKd7h2c"}}).deadCards, cards(L"AsKd7h2c"));
}

}  // namespace
}  // namespace varnel::test
