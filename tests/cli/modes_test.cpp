// varnel-cli equity's modes, its columns and JSON keys, and the inputs it refuses.
#include <nlohmann/json.hpp>

#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// varnel-cli equity with `args`, its standard error appended to its output.
CliRun cli(const std::string& args) {
    CliRun r = runCli("equity " + args);
    r.out += r.err;
    return r;
}

TEST(CliModes, ExactAndSampledColumns) {
    CliRun r = cli("--mode exact --board1 Qh7c2d3s AhAdKsQs JhTh9c8c");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("P 1\tAhAdKsQs\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("%\texact\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("mode\texact\tdeals\t40\tseconds\t"), std::string::npos) << r.out;

    r = cli("--mode mc --rounds 5000 --seed 2 --board1 Qh7c2d AhAdKsQs random");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("%\t+-0."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("mode\tmonte-carlo\tdeals\t5000\t"), std::string::npos) << r.out;

    r = cli("--mode mc --rounds 100000000 --precision 2 AhAdKsQs random");
    EXPECT_NE(r.out.find("\tended\tprecision reached"), std::string::npos) << r.out;
}

TEST(CliModes, JsonCarriesTheRunAndEveryPlayersFigures) {
    const CliRun r = cli("--json --board1 Qh7c2d3s AhAdKsQs JhTh9c8c,AhJc9d8d");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["mode"], "exact");
    EXPECT_EQ(j["status"], "finished");
    EXPECT_EQ(j["deals"], 40);  // the second hand of P 2 holds the Ah of P 1
    EXPECT_TRUE(j["seconds"].is_number());
    double equity = 0;
    for (const auto& p : j["players"]) {
        EXPECT_EQ(p["stderr"], 0.0);
        EXPECT_LE(p["win"].get<double>() + p["tie"].get<double>(), 1.0);
        equity += p["equity"].get<double>();
    }
    EXPECT_NEAR(equity, 1.0, 1e-12);
}

TEST(CliModes, HiLoGamesAddHighLowAndScoop) {
    // Both hold A-2-3 for the nut low: the low halves are quartered, the high decides the rest.
    CliRun r = cli("--game 'Omaha Hi/Lo' --board1 4c5d6hTs As2d3hKs Ah2c3dKh");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("exact\t"), std::string::npos) << r.out;  // three more columns
    const nlohmann::json j = nlohmann::json::parse(
        cli("--json --game 'Omaha Hi/Lo' --board1 4c5d6hTs As2d3hKs Ah2c3dKh").out);
    for (const auto& p : j["players"]) {
        EXPECT_NEAR(p["low"].get<double>(), 0.5, 1e-12);
        EXPECT_EQ(p["scoop"], p["win"]);
    }
    EXPECT_FALSE(
        nlohmann::json::parse(cli("--json AhAdKsQs JhTh9c8c --board1 Qh7c2d3s").out)["players"][0]
            .contains("high"));
}

TEST(CliModes, RefusedInputsExitWithOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"AhAdKsQs ''", "player 2 (P 2) is empty"},
        {"'' AhAdKsQs", "player 1 (P 1) is empty"},
        {"--game \"Hold'em No Limit\" AhKh xxyy", "only hands of more cards"},
        {"--rounds 0 AhAdKsQs random", "--rounds must be at least 1"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.exitCode, 1) << args << "\n" << r.out;
        EXPECT_NE(r.out.find(message), std::string::npos) << args << "\n" << r.out;
    }
}

}  // namespace
}  // namespace varnel::test
