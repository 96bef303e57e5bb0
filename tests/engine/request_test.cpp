// The request reader: what it makes of the fields that can be used, and one table of the inputs
// it refuses with the field it names and why.
#include "engine/request.h"

#include "engine/parameters.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

CheckedRequest read(CalculationRequest fields, const wchar_t* game = L"Omaha",
                    RunParameters parameters = {}) {
    return readRequest({game, std::move(fields), parameters});
}

TEST(RequestReader, PlayersBoardsAndDeadCardsOfAUsableRequest) {
    const CheckedRequest r = read({{L"B1", L"Kh9h2d"},
                                   {L"B2", L"Ac5c6d"},
                                   {L"D", L"2c"},
                                   {L"P 1", L""},
                                   {L"P 2", L"KsKdQhJh"},
                                   {L"P 3", L"random"},
                                   {L"P10", L"AA"}});
    ASSERT_TRUE(r.ok()) << r.problemText();
    const EquityRequest& q = r.request;
    EXPECT_EQ(q.holeCount, 4);
    EXPECT_EQ(q.playerCount, 3);  // the empty field is not a player
    EXPECT_EQ(q.boards, (Boards{cards(L"Kh9h2d"), cards(L"Ac5c6d")}));
    EXPECT_EQ(q.deadCards, cards(L"2c"));
    ASSERT_EQ(r.players.size(), 3u);
    EXPECT_EQ(r.players[0].key, L"P 2");
    EXPECT_EQ(q.lists[0].hands, std::vector<CardMask>{cards(L"KsKdQhJh")});
    EXPECT_TRUE(r.players[1].random && q.random[1]);
    EXPECT_EQ(r.players[2].key, L"P10");  // "P10" sorts after "P 9"
    // AA keeps the hands with two or three of the three aces left (Ac is on B2) among the 41
    // cards that no field holds.
    EXPECT_EQ(r.players[2].hands,
              binomial(3, 2) * binomial(38, 2) + binomial(3, 3) * binomial(38, 1));
    for (CardMask hand : q.lists[2].hands) EXPECT_EQ(hand & cards(L"Kh9h2dAc5c6d2cKsKdQhJh"), 0u);
    EXPECT_EQ(q.lists[2].hands.size(), r.players[2].hands);
}

TEST(RequestReader, ParametersAndGamesReachTheRequest) {
    RunParameters p;
    p.mode = EquityMode::MonteCarlo;
    p.rounds = 123;
    p.seconds = 4;
    p.precision = 0.5;
    p.pauseMs = 7;
    p.threads = 3;
    p.seed = 9;
    const CheckedRequest r =
        read({{L"P 1", L"random"}, {L"P 2", L"random"}}, L"6 Card Omaha Hi/Lo", p);
    ASSERT_TRUE(r.ok()) << r.problemText();
    EXPECT_EQ(r.request.holeCount, 6);
    EXPECT_TRUE(r.request.hiLo);
    EXPECT_EQ(r.request.mode, EquityMode::MonteCarlo);
    EXPECT_EQ(r.request.rounds, 123);
    EXPECT_EQ(r.request.seconds, 4);
    EXPECT_EQ(r.request.precision, 0.5);
    EXPECT_EQ(r.request.pause.count(), 7);
    EXPECT_EQ(r.request.threads, 3);
    EXPECT_EQ(r.request.seed, 9u);
}

TEST(RequestReader, RefusedInputsNameTheirFieldAndSayWhy) {
    const RunParameters defaults;
    auto with = [&](auto set) {
        RunParameters p = defaults;
        set(p);
        return p;
    };
    const struct {
        CalculationRequest fields;
        const wchar_t* field;
        const wchar_t* says;
        const wchar_t* game = L"Omaha";
        RunParameters parameters = {};
    } cases[] = {
        // Hands that the known cards leave none of.
        {{{L"B1", L"Kh9h2d"}, {L"P 1", L"KsKdQhJh"}, {L"P 2", L"KK"}},
         L"P 2",
         L"P 2: no hand of 'KK' is left: Kh is on B1, Ks and Kd are in P 1"},
        {{{L"D", L"AsAhAd"}, {L"P 1", L"random"}, {L"P 2", L"AA"}},
         L"P 2",
         L"no hand of 'AA' is left: As, Ah and Ad are in D"},
        {{{L"P 1", L"random"}, {L"P 2", L"AsAh!AsAh"}}, L"P 2", L"names no hand of Omaha"},
        {{{L"P 1", L"random"}, {L"P 2", L"AsKs((QQ"}}, L"P 2", L"'AsKs((QQ' is not a valid range"},
        {{{L"P 1", L"random"}, {L"P 2", L"10%"}},
         L"P 2",
         L"P 2: '10%': the percentage ranges of Omaha are not on this computer"},
        // Card lists longer than the game's hands.
        {{{L"P 1", L"AsAhKhQs2c3c"}, {L"P 2", L"AdAc4h5h6d7d"}},
         L"P 1",
         L"P 1: 'AsAhKhQs2c3c' holds 6 cards; a hand of Omaha holds 4"},
        {{{L"P 1", L"AsKsXxXxXx"}, {L"P 2", L"random"}}, L"P 1", L"holds 5 cards"},
        // Clashes between fields.
        {{{L"P 1", L"KsKdQhJh"}, {L"P 2", L"KsQdJdTc"}},
         L"P 2",
         L"P 2: 'KsQdJdTc': Ks is in P 1 too"},
        {{{L"D", L"As"}, {L"P 1", L"AsKsQsJs"}, {L"P 2", L"random"}},
         L"P 1",
         L"P 1: 'AsKsQsJs': As is in D too"},
        {{{L"B1", L"As2c3c"}, {L"B2", L"As4d5d"}, {L"P 1", L"random"}, {L"P 2", L"random"}},
         L"B2",
         L"shares As with B1"},
        {{{L"B1", L"As2c3c"}, {L"D", L"2c"}, {L"P 1", L"random"}, {L"P 2", L"random"}},
         L"D",
         L"D: '2c': 2c is on B1 too"},
        // Boards.
        {{{L"B1", L"As2c3c"}, {L"B2", L"4d5d6d7d"}, {L"P 1", L"random"}, {L"P 2", L"random"}},
         L"B2",
         L"holds 4 cards and B1 3"},
        {{{L"B2", L"4d5d6d"}, {L"P 1", L"random"}, {L"P 2", L"random"}},
         L"B2",
         L"needs a first one"},
        {{{L"B3", L"4d5d6d"}, {L"P 1", L"random"}, {L"P 2", L"random"}},
         L"B3",
         L"only B1 and B2 are boards"},
        {{{L"B1", L"AsKd7h2"}, {L"P 1", L"random"}, {L"P 2", L"random"}},
         L"B1",
         L"B1: 'AsKd7h2' is not a board of 3 to 5 different cards: '2' at the end"},
        {{{L"B1", L"AsKd"}, {L"P 1", L"random"}, {L"P 2", L"random"}}, L"B1", L"holds 2 cards"},
        {{{L"B1", L"AsKx7h"}, {L"P 1", L"random"}, {L"P 2", L"random"}}, L"B1", L"\"Kx\""},
        {{{L"D", L"2c2c"}, {L"P 1", L"random"}, {L"P 2", L"random"}}, L"D", L"2c is given twice"},
        {{{L"Q", L"x"}, {L"P 1", L"random"}, {L"P 2", L"random"}}, L"Q", L"not a field"},
        // Players, games and the deck.
        {{{L"P 1", L"random"}}, L"", L"Fill at least two player fields."},
        {{{L"P 1", L"random"}, {L"P 2", L"random"}}, L"Game", L"not a known game", L"Stud"},
        {{{L"P 1", L"AsKs"}, {L"P 2", L"random"}},
         L"Game",
         L"Omaha games only",
         L"Hold'em No Limit"},
        {{{L"P 1", L"random"},
          {L"P 2", L"random"},
          {L"P 3", L"random"},
          {L"P 4", L"random"},
          {L"P 5", L"random"},
          {L"P 6", L"random"},
          {L"P 7", L"random"},
          {L"P 8", L"random"}},
         L"",
         L"7 Card Omaha with 8 hands and a board needs 61 cards; the deck holds 52.",
         L"7 Card Omaha"},
        // Parameters.
        {{{L"P 1", L"random"}, {L"P 2", L"random"}},
         L"Rounds",
         L"Rounds: must be at least 1",
         L"Omaha",
         with([](RunParameters& p) { p.rounds = 0; })},
        {{{L"P 1", L"random"}, {L"P 2", L"random"}},
         L"Seconds",
         L"must be at least 0",
         L"Omaha",
         with([](RunParameters& p) { p.seconds = -1; })},
        {{{L"P 1", L"random"}, {L"P 2", L"random"}},
         L"Threads",
         L"from 1 to 256",
         L"Omaha",
         with([](RunParameters& p) { p.threads = 0; })},
    };
    const WorkingDir noOrderings;
    for (const auto& c : cases) {
        const CheckedRequest r = readRequest({c.game, c.fields, c.parameters});
        const std::wstring all = r.problemText();
        ASSERT_FALSE(r.ok()) << c.says;
        const auto named =
            std::find_if(r.problems.begin(), r.problems.end(),
                         [&](const RequestProblem& p) { return p.field == c.field; });
        ASSERT_NE(named, r.problems.end()) << c.says << " | " << all;
        EXPECT_NE(named->message.find(c.says), std::wstring::npos) << all;
    }
}

TEST(RequestReader, OneRequestGivesEveryProblemAtOnce) {
    auto fields = [](const CheckedRequest& r) {
        std::vector<std::wstring> names;
        for (const RequestProblem& p : r.problems) names.push_back(p.field);
        return names;
    };
    EXPECT_EQ(fields(read(
                  {{L"B1", L"AsKd"}, {L"B3", L"x"}, {L"P 1", L"((("}, {L"P 2", L"AsAhKhQs2c3c"}})),
              (std::vector<std::wstring>{L"B1", L"B3", L"P 1", L"P 2"}));
    // With the boards read, clashes come with the other problems.
    EXPECT_EQ(fields(read({{L"B1", L"Kh9h2d"},
                           {L"B3", L"x"},
                           {L"P 1", L"KsKdQhJh"},
                           {L"P 2", L"KK"},
                           {L"P 3", L"((("}})),
              (std::vector<std::wstring>{L"B3", L"P 3", L"P 2"}));
}

TEST(RequestReader, HugeRangesAreRefusedAndAStopEndsTheReading) {
    // With room for 300,000 hands, all 270,725 four-card hands fit once, not twice.
    RequestInput input{L"Omaha", {{L"P 1", L"*"}, {L"P 2", L"random"}}, {}};
    input.handLimit = 300000;
    EXPECT_TRUE(readRequest(input).ok());
    input.fields[L"P 3"] = L"AA,*";
    const CheckedRequest huge = readRequest(input);
    ASSERT_FALSE(huge.ok());
    EXPECT_EQ(huge.problems.front().field, L"P 3");
    EXPECT_EQ(huge.problems.front().message,
              L"P 3: 'AA,*' names more hands than the 29,275 left for it; the ranges together "
              L"may hold 300,000");
    const std::atomic<bool> stop{true};
    const CheckedRequest stopped =
        readRequest({L"Omaha", {{L"P 1", L"AA"}, {L"P 2", L"KK"}}, {}}, &stop);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(stopped.ok());
}

TEST(RunParameterTexts, ReadOnlyPlainNumbersWithinTheirLimits) {
    EXPECT_EQ(readRounds(L" 2500 ").value, 2500);
    EXPECT_EQ(readRounds(L"abc").problem, L"is not a number");
    EXPECT_EQ(readRounds(L"0").problem, L"must be at least 1");
    EXPECT_EQ(readRounds(L"9223372036854775807").problem, L"must be at most 1000000000000");
    EXPECT_EQ(readRounds(L"1.5").problem, L"must be a whole number of deals");
    for (const wchar_t* bad : {L"0x10", L"1e3", L"nan", L"inf", L"", L"-", L"5 5"})
        EXPECT_FALSE(readSeconds(bad)) << bad;
    EXPECT_EQ(readSeconds(L"-1").problem, L"must be at least 0");
    EXPECT_EQ(readPrecision(L"").value, 0.0);
    EXPECT_EQ(readPrecision(L"0.25").value, 0.25);
    EXPECT_FALSE(readPrecision(L"101"));
    EXPECT_EQ(readPause(L"2.5").problem, L"must be a whole number of milliseconds");
    EXPECT_EQ(readMode(L"monte-carlo").value, EquityMode::MonteCarlo);
    EXPECT_FALSE(readMode(L"mc"));
}

}  // namespace
}  // namespace varnel::test
