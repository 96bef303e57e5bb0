// varnel-cli equity through the program: output shape, exit codes and messages.

#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

TEST(CliEquity, PrintsOneLinePerPlayerThenTheDeals) {
    const CliRun r = runCli(
        "equity --mode mc --seed 5 --rounds 2000 --threads 2 --board1 Qd8c3s AhAd9h9d "
        "'KsJsTs2c,KcJcTc2d' random");
    ASSERT_EQ(r.exitCode, 0) << r.err;
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
        sum += std::stod(equity);
    }
    EXPECT_NEAR(sum, 100.0, 0.03);
    ASSERT_TRUE(std::getline(lines, text));
    EXPECT_TRUE(text.starts_with("mode\tmonte-carlo\tdeals\t2000\t")) << text;
    EXPECT_FALSE(std::getline(lines, text));
}

TEST(CliEquity, JsonHoldsThePlayersAndTheDeals) {
    const CliRun r = runCli(
        "equity --json --seed 9 --rounds 3000 --threads 3 --game '6 Card Omaha' "
        "AsKsQsJsTs9s random");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["game"], "6 Card Omaha");
    EXPECT_EQ(j["holeCards"], 6);
    EXPECT_EQ(j["deals"], 3000);
    ASSERT_EQ(j["players"].size(), 2u);
    EXPECT_EQ(j["players"][0]["field"], "P 1");
    EXPECT_EQ(j["players"][0]["text"], "AsKsQsJsTs9s");
    EXPECT_EQ(j["players"][1]["field"], "P 2");
    const double sum =
        j["players"][0]["equity"].get<double>() + j["players"][1]["equity"].get<double>();
    EXPECT_NEAR(sum, 1.0, 1e-9);
    EXPECT_TRUE(j["players"][1]["percent"].get<std::string>().ends_with("%"));
}

TEST(CliEquity, SameSeedAndThreadsGiveTheSameResult) {
    const std::string args = "equity --seed 3 --rounds 4000 --threads 2 AsAh random random";
    const CliRun a = runCli(args), b = runCli(args);
    ASSERT_EQ(a.exitCode, 0) << a.err;
    // Everything but the time taken.
    const auto timeless = [](const std::string& out) {
        return out.substr(0, out.rfind("\tseconds"));
    };
    EXPECT_EQ(timeless(a.out), timeless(b.out));
}

TEST(CliEquity, ErrorsExitNonZeroWithAMessage) {
    struct Case {
        const char* args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"equity --game 'Omaha Lo' AsAh random", 0, nullptr},  // names starting "Omaha" are Omaha
        {"equity --game Whist AsAh random", 1, "unknown game \"Whist\""},
        {"equity AsAh 'Ks(' ", 1, "player P 2 \"Ks(\" is not a range"},
        {"equity AsAh 'AsAh!AsAh'", 1, "player P 2 \"AsAh!AsAh\" names no hands"},
        {"equity AsKs AsQs", 3, "no valid deal"},
        {"equity --board1 AsKx7h AsAh random", 1, "--board1 \"AsKx7h\""},
        {"equity --board1 AsKd AsAh random", 1, "--board1 \"AsKd\""},
        {"equity --board1 2c3c4c --board2 5c6c7c8c AsAh random", 1, "as many cards"},
        {"equity --dead 2c3c --board1 2c4c5c AsAh random", 1, "given twice"},
        {"equity random AsAh", 0, nullptr},  // the first player may be random too
        {"equity AsAh", 1, "give 2 to 10 players"},
        {"equity AsAhAdAc AsKsQsJs", 3, "no valid deal"},
        {"equity --bogus AsAh random", -1, "not expected: --bogus"},  // -1: any failure
    };
    for (const Case& c : cases) {
        const CliRun r = runCli(std::string(c.args) + " --rounds 100");
        EXPECT_TRUE(c.exitCode < 0 ? r.exitCode != 0 : r.exitCode == c.exitCode)
            << c.args << ": " << r.exitCode << "\n"
            << r.err;
        EXPECT_TRUE(!c.message || r.err.find(c.message) != std::string::npos) << c.args << r.err;
    }
}

TEST(CliEquity, MissingTableIsAnError) {
    const TempDir empty;
    const CliRun r = runCli("equity AsAh random", "", empty.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("evaluator table"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace varnel::test
