// varnel-cli equity's modes, its columns and JSON keys, and the inputs it refuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;  // standard output and standard error together
};

CliRun cli(const std::string& args) {
    const char* dir = std::getenv("VARNEL_DATA_DIR");
    const std::string command =
        std::string(VARNEL_CLI) + " --data '" + (dir ? dir : ".") + "' equity " + args + " 2>&1";
    CliRun r;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        r.out.append(buffer, n);
    const int status = ::pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
