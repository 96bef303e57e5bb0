// varnel-cli eval, run as a program: printed values against the reference evaluator, and
// clean failures (message on standard error, non-zero exit, nothing on standard output).

#include "tests/support/reference_eval.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// The line the tool should print for `hole` on `board`, from the reference evaluator.
std::string expectedLine(std::wstring_view board, std::wstring_view hole) {
    static const char* const kWords[] = {"high card",       "one pair",       "two pair",
                                         "three of a kind", "straight",       "flush",
                                         "full house",      "four of a kind", "straight flush"};
    const auto b = cardIds(board), h = cardIds(hole);
    const int v = reference().bestOmaha(h.data(), static_cast<int>(h.size()), b.data());
    return std::to_string(v) + " " + kWords[reference().categoryOf(v)] + "\n";
}

CliRun eval(const std::string& args, const std::string& input = "") {
    return runCli("eval " + args, input);
}

TEST(CliEval, PrintsValueAndCategoryPerHole) {
    const CliRun r = eval("AsKd7h2c9s AhAdKsQc 8s6s5d4h 2h3h 9h9dTcTd7c7d");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expectedLine(L"AsKd7h2c9s", L"AhAdKsQc") +
                         expectedLine(L"AsKd7h2c9s", L"8s6s5d4h") +
                         expectedLine(L"AsKd7h2c9s", L"2h3h") +
                         expectedLine(L"AsKd7h2c9s", L"9h9dTcTd7c7d"));
    EXPECT_EQ(expectedLine(L"AsKd7h2c9s", L"AhAdKsQc").substr(5), "three of a kind\n");
    EXPECT_EQ(r.err, "");
    // The order of the hole cards does not matter.
    EXPECT_EQ(eval("Th9h2h3cQd JhAhQhKh").out, expectedLine(L"Th9h2h3cQd", L"AhKhQhJh"));
}

TEST(CliEval, ReadsBoardHoleLinesFromStandardInput) {
    const CliRun r = eval("", "AsKd7h2c9s AhAdKsQc\n\n2c3c4c5c6c AcKc\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string first = expectedLine(L"AsKd7h2c9s", L"AhAdKsQc");
    const std::string second = expectedLine(L"2c3c4c5c6c", L"AcKc");
    EXPECT_EQ(r.out,
              first.substr(0, first.find(' ')) + "\n" + second.substr(0, second.find(' ')) + "\n");
}

TEST(CliEval, RejectsBadInputCleanly) {
    const std::pair<std::string, std::string> cases[] = {
        {"AsKd7h2c9x AhAd", ""},
        {"AsKd7h2c9s AhAx", ""},
        {"asKd7h2c9s AhAd", ""},                // lower-case rank
        {"AsKd7h2c9s AhA", ""},                 // odd number of characters
        {"AsAsKd7h2c AhAd", ""},                // repeated board card
        {"AsKd7h2c9s AhAh", ""},                // repeated hole card
        {"AsKd7h2c9s AsAd", ""},                // hole card on the board
        {"AsKd7h2c AhAd", ""},                  // four board cards
        {"AsKd7h2c9sTc AhAd", ""},              // six board cards
        {"AsKd7h2c9s Ah", ""},                  // one hole card
        {"AsKd7h2c9s 2h3h4h5h6h7h8h", ""},      // eight hole cards
        {"AsKd7h2c9s AhAd Kh", ""},             // a bad second hole
        {"AsKd7h2c9s", ""},                     // no hole cards
        {"", "AsKd7h2c9s AhAdKsQcJc2d3d4d\n"},  // eight hole cards on standard input
    };
    for (const auto& [args, input] : cases) {
        const CliRun r = eval(args, input);
        EXPECT_NE(r.exitCode, 0) << args << input;
        EXPECT_NE(r.err.find("error"), std::string::npos) << args << input << ": " << r.err;
        EXPECT_EQ(r.out, "") << args << input;
    }
    const CliRun second = eval("", "AsKd7h2c9s AhAd\nAsKd7h2c9s AhAd Kc\n");
    EXPECT_NE(second.exitCode, 0);
    EXPECT_NE(second.err.find("line 2"), std::string::npos) << second.err;
}

TEST(CliEval, MissingTableIsReported) {
    const TempDir empty;
    const CliRun r = runCli("eval AsKd7h2c9s AhAd", "", empty.path());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("omaha-7.bin"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace varnel::test
