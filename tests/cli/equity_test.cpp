// varnel-cli equity through the program: its modes, columns and JSON keys, exit codes and
// messages.

#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// varnel-cli equity with `args`, its standard error appended to its output.
CliRun equity(const std::string& args) {
    CliRun r = runCli("equity " + args);
    r.out += r.err;
    return r;
}

TEST(CliEquity, OneLinePerPlayerThenTheRun) {
    CliRun r = equity(
        "--mode mc --seed 5 --rounds 2000 --threads 2 --board1 Qd8c3s AhAd9h9d "
        "'KsJsTs2c,KcJcTc2d' random");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    std::istringstream lines(r.out);
    std::string text;
    double sum = 0;
    for (int p = 1; p <= 3; ++p) {
        ASSERT_TRUE(std::getline(lines, text));
        // "P n", the text given, the equity with two decimals and a percent sign, then win, tie
        // and precision.
        const std::size_t tab1 = text.find('\t'), tab2 = text.find('\t', tab1 + 1);
        ASSERT_NE(tab2, std::string::npos) << text;
        EXPECT_EQ(text.substr(0, tab1), "P " + std::to_string(p));
        const std::string equity = text.substr(tab2 + 1, text.find('\t', tab2 + 1) - tab2 - 1);
        EXPECT_TRUE(equity.ends_with("%") && equity.size() >= 5 && equity[equity.size() - 4] == '.')
            << text;
        EXPECT_NE(text.find("%\t+-"), std::string::npos) << text;
        sum += std::stod(equity);
    }
    EXPECT_NEAR(sum, 100.0, 0.03);
    ASSERT_TRUE(std::getline(lines, text));
    EXPECT_TRUE(text.starts_with("mode\tmonte-carlo\tdeals\t2000\t")) << text;
    EXPECT_FALSE(std::getline(lines, text));

    r = equity("--mode exact --board1 Qh7c2d3s AhAdKsQs JhTh9c8c");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("P 1\tAhAdKsQs\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("%\texact\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("mode\texact\tdeals\t40\tseconds\t"), std::string::npos) << r.out;

    r = equity("--mode mc --rounds 100000000 --precision 2 AhAdKsQs random");
    EXPECT_NE(r.out.find("\tended\tprecision reached"), std::string::npos) << r.out;
}

TEST(CliEquity, JsonCarriesTheRunAndEveryPlayersFigures) {
    nlohmann::json j = nlohmann::json::parse(
        equity("--json --seed 9 --rounds 3000 --threads 3 --game '6 Card Omaha' "
               "AsKsQsJsTs9s random")
            .out);
    EXPECT_EQ(j["game"], "6 Card Omaha");
    EXPECT_EQ(j["holeCards"], 6);
    EXPECT_EQ(j["deals"], 3000);
    ASSERT_EQ(j["players"].size(), 2u);
    EXPECT_EQ(j["players"][0]["field"], "P 1");
    EXPECT_EQ(j["players"][0]["text"], "AsKsQsJsTs9s");
    EXPECT_EQ(j["players"][1]["field"], "P 2");
    EXPECT_TRUE(j["players"][1]["percent"].get<std::string>().ends_with("%"));

    j = nlohmann::json::parse(equity("--json --board1 Qh7c2d3s AhAdKsQs JhTh9c8c,AhJc9d8d").out);
    EXPECT_EQ(j["mode"], "exact");
    EXPECT_EQ(j["status"], "finished");
    EXPECT_EQ(j["deals"], 40);  // the second hand of P 2 holds the Ah of P 1
    EXPECT_TRUE(j["seconds"].is_number());
    double sum = 0;
    for (const auto& p : j["players"]) {
        EXPECT_EQ(p["stderr"], 0.0);
        EXPECT_LE(p["win"].get<double>() + p["tie"].get<double>(), 1.0);
        EXPECT_FALSE(p.contains("high"));
        sum += p["equity"].get<double>();
    }
    EXPECT_NEAR(sum, 1.0, 1e-12);
}

TEST(CliEquity, HiLoGamesAddHighLowAndScoop) {
    // Both hold A-2-3 for the nut low: the low halves are quartered, the high decides the rest.
    const std::string spot = "--game 'Omaha Hi/Lo' --board1 4c5d6hTs As2d3hKs Ah2c3dKh";
    const CliRun r = equity(spot);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("exact\t"), std::string::npos) << r.out;  // three more columns
    const nlohmann::json j = nlohmann::json::parse(equity("--json " + spot).out);
    for (const auto& p : j["players"]) {
        EXPECT_NEAR(p["low"].get<double>(), 0.5, 1e-12);
        EXPECT_EQ(p["scoop"], p["win"]);
    }
    // Two boards: each board's share, whose mean is the equity.
    const nlohmann::json two =
        nlohmann::json::parse(equity("--json --board2 7c8d9hJs " + spot).out);
    for (const auto& p : two["players"]) {
        const double b1 = p["boards"][0], b2 = p["boards"][1];
        EXPECT_NEAR((b1 + b2) / 2, p["equity"].get<double>(), 1e-12);
    }
    EXPECT_NEAR(two["players"][0]["boards"][0].get<double>(), 0.5, 1e-12);  // the tie of board 1
}

TEST(CliEquity, ErrorsExitNonZeroWithAMessage) {
    struct Case {
        const char* args;
        int exitCode;
        const char* message;
    };
    // The reader's problems, one a line on standard error, and exit status 1.
    const Case cases[] = {
        {"--game 'Omaha Lo' AsAh random", 0, nullptr},  // names starting "Omaha" are Omaha
        {"--game Whist AsAh random", 1, "error: Game: 'Whist' is not a known game"},
        {"--game \"Hold'em No Limit\" AhKh xxyy", 1, "plays the Omaha games only"},
        {"AsAh 'Ks('", 1, "error: P 2: 'Ks(' is not a valid range"},
        {"AsAh 'AsAh!AsAh'", 1, "P 2: 'AsAh!AsAh' names no hand of Omaha"},
        {"AsKs AsQs", 1, "no hand of 'AsKs' is left: As is in P 2"},
        {"AsAhAdAc AsKsQsJs", 1, "P 2: 'AsKsQsJs': As is in P 1 too"},
        {"AsAhKhQs2c3c AdAc4h5h6d7d", 1, "P 1: 'AsAhKhQs2c3c' holds 6 cards"},
        {"--board1 AsKx7h AsAh random", 1, "B1: 'AsKx7h' is not a board"},
        {"--board1 AsKd7h2 AsAh random", 1, "'2' at the end is not a card code"},
        {"--board1 2c3c4c --board2 5c6c7c8c AsAh random", 1, "B2: '5c6c7c8c' holds 4 cards"},
        {"--board1 2c3c4c --board2 2c6c7c AsAh random", 1, "shares 2c with B1"},
        {"--dead 2c3c --board1 2c4c5c AsAh random", 1, "D: '2c3c': 2c is on B1 too"},
        {"--game '7 Card Omaha' random random random random random random random random", 1,
         "needs 61 cards; the deck holds 52"},
        {"random AsAh", 0, nullptr},  // the first player may be random too
        {"AsAh", 1, "Fill at least two player fields."},
        {"AhAdKsQs ''", 1, "P 2: the field holds only blanks"},
        {"--rounds 0 AhAdKsQs random", 1, "--rounds: '0' must be at least 1"},
        {"--rounds abc AhAdKsQs random", 1, "--rounds: 'abc' is not a number"},
        {"--rounds 9223372036854775807 AhAdKsQs random", 1, "must be at most 1000000000000"},
        {"--seconds -1 AhAdKsQs random", 1, "--seconds: '-1' must be at least 0"},
        {"--bogus AsAh random", -1, "not expected: --bogus"},  // -1: any failure
    };
    for (const Case& c : cases) {
        const std::string args = c.args;
        const CliRun r = equity(args + (args.starts_with("--rounds") ? "" : " --rounds 100"));
        EXPECT_TRUE(c.exitCode < 0 ? r.exitCode != 0 : r.exitCode == c.exitCode)
            << c.args << ": " << r.exitCode << "\n"
            << r.out;
        EXPECT_TRUE(!c.message || r.out.find(c.message) != std::string::npos) << c.args << r.out;
    }
    const TempDir empty;
    const CliRun r = runCli("equity AsAh random", "", empty.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("evaluator table"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace varnel::test
