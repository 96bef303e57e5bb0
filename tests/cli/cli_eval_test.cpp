// varnel-cli eval, run as a program: printed values against the reference evaluator, and
// clean failures (message on standard error, non-zero exit, nothing on standard output).

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/cards.h"
#include "eval/reference_eval.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class CliEval : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("varnel-cli-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(m_dir);
        const char* data = std::getenv("VARNEL_DATA_DIR");
        m_data = data ? data : ".";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    CliRun run(const std::string& args, const std::string& input = "",
               const std::string& dataDir = "") {
        std::ofstream(m_dir / "in") << input;
        const std::string cmd = std::string(VARNEL_CLI) + " --data '" +
                                (dataDir.empty() ? m_data : dataDir) + "' eval " + args + " <'" +
                                (m_dir / "in").string() + "' >'" + (m_dir / "out").string() +
                                "' 2>'" + (m_dir / "err").string() + "'";
        const int status = std::system(cmd.c_str());
        CliRun r;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = slurp(m_dir / "out");
        r.err = slurp(m_dir / "err");
        return r;
    }

    // The line the tool should print for `hole` on `board`, from the reference evaluator.
    static std::string expectedLine(std::wstring_view board, std::wstring_view hole) {
        static const char* const kWords[] = {"high card",       "one pair",       "two pair",
                                             "three of a kind", "straight",       "flush",
                                             "full house",      "four of a kind", "straight flush"};
        const auto b = cardsOf(board), h = cardsOf(hole);
        const auto& ref = testref::reference();
        const int v = ref.bestOmaha(h.data(), static_cast<int>(h.size()), b.data());
        return std::to_string(v) + " " + kWords[ref.categoryOf(v)];
    }

    static std::vector<CardId> cardsOf(std::wstring_view run) {
        std::vector<CardId> out;
        for (std::size_t i = 0; i + 1 < run.size(); i += 2)
            out.push_back(cardIdFromCode(run.substr(i, 2)));
        return out;
    }

    void expectFailure(const CliRun& r, const std::string& what) {
        EXPECT_NE(r.exitCode, 0) << what;
        EXPECT_NE(r.err.find("error"), std::string::npos) << what << ": " << r.err;
        EXPECT_EQ(r.out, "") << what;
    }

    fs::path m_dir;
    std::string m_data;
};

TEST_F(CliEval, PrintsValueAndCategoryPerHole) {
    const CliRun r = run("AsKd7h2c9s AhAdKsQc 8s6s5d4h 2h3h 9h9dTcTd7c7d");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expectedLine(L"AsKd7h2c9s", L"AhAdKsQc") + "\n" +
                         expectedLine(L"AsKd7h2c9s", L"8s6s5d4h") + "\n" +
                         expectedLine(L"AsKd7h2c9s", L"2h3h") + "\n" +
                         expectedLine(L"AsKd7h2c9s", L"9h9dTcTd7c7d") + "\n");
    EXPECT_EQ(expectedLine(L"AsKd7h2c9s", L"AhAdKsQc").substr(5), "three of a kind");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliEval, HoleCardOrderDoesNotMatter) {
    const CliRun sorted = run("Th9h2h3cQd AhKhQhJh");
    const CliRun shuffled = run("Th9h2h3cQd JhAhQhKh");
    ASSERT_EQ(sorted.exitCode, 0);
    EXPECT_EQ(sorted.out, expectedLine(L"Th9h2h3cQd", L"AhKhQhJh") + "\n");
    EXPECT_EQ(shuffled.out, sorted.out);
}

TEST_F(CliEval, ReadsBoardHoleLinesFromStandardInput) {
    const CliRun r = run("", "AsKd7h2c9s AhAdKsQc\n\n2c3c4c5c6c AcKc\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string first = expectedLine(L"AsKd7h2c9s", L"AhAdKsQc");
    const std::string second = expectedLine(L"2c3c4c5c6c", L"AcKc");
    EXPECT_EQ(r.out,
              first.substr(0, first.find(' ')) + "\n" + second.substr(0, second.find(' ')) + "\n");
}

TEST_F(CliEval, RejectsBadInputCleanly) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"AsKd7h2c9x AhAd", "bad board card"},
        {"AsKd7h2c9s AhAx", "bad hole card"},
        {"asKd7h2c9s AhAd", "lower-case rank"},
        {"AsKd7h2c9s AhA", "odd number of characters"},
        {"AsAsKd7h2c AhAd", "repeated board card"},
        {"AsKd7h2c9s AhAh", "repeated hole card"},
        {"AsKd7h2c9s AsAd", "hole card on the board"},
        {"AsKd7h2c AhAd", "four board cards"},
        {"AsKd7h2c9sTc AhAd", "six board cards"},
        {"AsKd7h2c9s Ah", "one hole card"},
        {"AsKd7h2c9s 2h3h4h5h6h7h8h", "eight hole cards"},
        {"AsKd7h2c9s AhAd Kh", "a bad second HOLE"},
        {"AsKd7h2c9s", "a board without hole cards"},
    };
    for (const auto& [args, what] : cases) expectFailure(run(args), what);
}

TEST_F(CliEval, RejectsBadBatchLinesCleanly) {
    expectFailure(run("", "AsKd7h2c9s AhAdKsQcJc2d3d4d\n"), "eight hole cards");
    const CliRun r = run("", "AsKd7h2c9s AhAd\nAsKd7h2c9s AhAd Kc\n");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err;
}

TEST_F(CliEval, MissingTableIsReported) {
    const fs::path empty = m_dir / "empty";
    fs::create_directories(empty);
    const CliRun r = run("AsKd7h2c9s AhAd", "", empty.string());
    expectFailure(r, "missing table");
    EXPECT_NE(r.err.find("omaha-7.bin"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace varnel
