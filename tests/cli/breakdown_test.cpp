// varnel-cli breakdown and equity --batch through the program: the breakdown's tables, JSON and
// CSV; batch lines against single runs, and an error line that does not end the batch.

#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

TEST(CliBreakdown, JsonHandsClassesAndCardsAgreeWithTheAggregate) {
    const std::string spot = "--board1 Kh9h2d AsKsQhJh 'AhAd7h3c,9c9s5d4d,7c7d4s3s'";
    CliRun r = runCli("breakdown --json --player 2 " + spot);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["mode"], "exact");
    EXPECT_EQ(j["status"], "finished");
    EXPECT_TRUE(j["seconds"].is_number());
    ASSERT_EQ(j["hands"].size(), 3u);
    EXPECT_EQ(j["hands"][0]["hand"], "AdAh7h3c");  // highest rank first
    std::int64_t outcomes = 0;
    double sum = 0;
    for (const auto& h : j["hands"]) {
        EXPECT_FALSE(h.contains("stderr"));
        EXPECT_EQ(h["outcomes"], 820);  // the turn and river from the 41 cards left
        outcomes += h["outcomes"].get<std::int64_t>();
        sum += h["equity"].get<double>() * h["outcomes"].get<double>();
    }
    EXPECT_EQ(j["deals"], outcomes);
    EXPECT_NEAR(sum / static_cast<double>(outcomes), j["equity"].get<double>(), 1e-12);
    // An overpair with the nut flush draw, a set, a pair.
    std::map<std::string, std::int64_t> classes;
    for (const auto& c : j["classes"]) classes[c["class"]] = c["hands"];
    EXPECT_EQ(classes, (std::map<std::string, std::int64_t>{
                           {"overpair", 1}, {"set", 1}, {"pair", 1}, {"nut flush draw", 1}}));
    double weight = 0, equity = 0;
    for (const auto& c : j["cards"]) {
        weight += c["weight"].get<double>();
        equity += c["weight"].get<double>() * c["equity"][1].get<double>();
    }
    EXPECT_NEAR(weight, 1, 1e-12);
    EXPECT_NEAR(equity, j["equity"].get<double>(), 1e-12);

    r = runCli("breakdown --csv --player 2 " + spot);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("hand,equity,win,tie,outcomes,stderr\nAdAh7h3c,")) << r.out;

    r = runCli("breakdown --player 3 " + spot);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("error: --player: 3 is not a player; give 1 to 2"), std::string::npos);
}

TEST(CliBatch, LinesEqualSingleRunsAndAnErrorLineDoesNotStopTheBatch) {
    const std::vector<std::string> spots = {
        "--board1 Kh9h2d AsKsQhJh 8c8d7c6d",
        "--board1 Kh9h2d --mode mc --seed 3 --rounds 5000 AsKsQhJh random random",
        "--game '5 Card Omaha' --board1 Qd8c3s 'AhAd9h9d2c' 'KsJsTs2s3d'",
        "--board1 Kh9h2d KsKdQhJh KK",  // the reader refuses it
        "--board1 Kh9h2d --bogus AsKsQhJh random",
        "--board1 2c3c4c5c --dead 7h --seed 4 'AsAh, KsKh' random",
    };
    std::string input = "# spots\n\n";
    for (const std::string& s : spots) input += s + "\n";
    const CliRun batch = runCli("equity --threads 1 --batch -", input);
    EXPECT_EQ(batch.exitCode, 1);  // some line had an error
    std::istringstream lines(batch.out);
    std::string line;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        ASSERT_TRUE(std::getline(lines, line)) << spots[i];
        nlohmann::json got = nlohmann::json::parse(line);
        const CliRun single = runCli("equity --threads 1 --json " + spots[i]);
        if (single.exitCode != 0) {
            EXPECT_EQ(got["line"], i + 3) << line;  // after the comment and the empty line
            EXPECT_NE(got["error"].get<std::string>(), "") << line;
            continue;
        }
        nlohmann::json expected = nlohmann::json::parse(single.out);
        got.erase("seconds");
        expected.erase("seconds");
        EXPECT_EQ(got, expected) << spots[i];
    }
    EXPECT_FALSE(std::getline(lines, line));
    EXPECT_NE(batch.out.find("{\"line\":6,\"error\":\"P 2: no hand of 'KK' is left"),
              std::string::npos)
        << batch.out;

    const CliRun missing = runCli("equity --batch /no/such/file");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("error: cannot read /no/such/file"), std::string::npos);
}

}  // namespace
}  // namespace varnel::test
