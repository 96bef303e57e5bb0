#include "Log/console_logger.h"

#include <clocale>

#include "log_test_util.h"

namespace varnel::test {
namespace {

using logging::LogLevel;

// Runs `body` on a fresh console logger; returns what reached standard output, without the
// close notice.
template <typename Body>
std::string consoleOutput(const std::filesystem::path& file, Body&& body) {
    testing::internal::CaptureStdout();
    {
        logging::ConsoleLogger logger({{"file_name", file.string()}});
        body(logger);
    }
    std::string out = testing::internal::GetCapturedStdout();
    const std::string notice = "FileLogger::close()\n";
    EXPECT_EQ(out.substr(out.size() - notice.size()), notice);
    return out.substr(0, out.size() - notice.size());
}

TEST(ConsoleLogger, ColourPrefixes) {
    TempDir dir;
    const std::pair<LogLevel, std::string> cases[] = {{LogLevel::INFO, "\033[00m"},
                                                      {LogLevel::WARN, "\033[33m"},
                                                      {LogLevel::ERROR, "\033[31m"},
                                                      {LogLevel::SUCCESS, "\033[32m"},
                                                      {static_cast<LogLevel>(9), "\033[00m"}};
    for (const auto& [level, prefix] : cases) {
        std::string narrow = consoleOutput(dir / "a.log", [level](auto& logger) {
            logger.log(std::string("narrow \xE2\x82\xAC"), level, 2);
        });
        ASSERT_EQ(narrow.substr(0, prefix.size()), prefix);
        std::string line = narrow.substr(prefix.size());
        EXPECT_EQ(line.size(), 26 + logging::levelTag(level).size() + 11);
        EXPECT_EQ(line.substr(26), std::string(logging::levelTag(level)) + "narrow \xE2\x82\xAC\n");

        std::string wide = consoleOutput(dir / "a.log", [level](auto& logger) {
            logger.log(std::wstring(L"wide \u00A3"), level, 2);
        });
        ASSERT_EQ(wide.substr(0, prefix.size()), prefix);
        EXPECT_EQ(wide.substr(prefix.size() + 26),
                  std::string(logging::levelTag(level)) + "wide \xC2\xA3\n\033[0m");
    }
}

TEST(ConsoleLogger, FlagsChooseFileAndConsole) {
    TempDir dir;
    std::string out = consoleOutput(dir / "console-only.log", [](auto& logger) {
        logger.log(std::string("console only"), LogLevel::WARN, 2);
        logger.log(std::wstring(L"console only"), LogLevel::WARN, 2);
        logger.log(std::string("debug"), LogLevel::DEBUG, 3);
    });
    EXPECT_EQ(readFile(dir / "console-only.log"), "");
    EXPECT_EQ(out.find("debug"), std::string::npos);

    out = consoleOutput(dir / "file-only.log", [](auto& logger) {
        logger.log(std::string("file only"), LogLevel::WARN, 1);
        logger.log(std::string("nowhere"), LogLevel::WARN, 0);
    });
    EXPECT_EQ(out, "");
    const auto lines = fileLines(dir / "file-only.log");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].tag + lines[0].message, " [WARN] file only");
}

// The console logger switches the character classes to ru_RU.UTF-8, and nothing else.
TEST(ConsoleLogger, FactoryKeepsNumberFormatting) {
    const std::string ctype = std::setlocale(LC_CTYPE, nullptr);
    if (!std::setlocale(LC_CTYPE, "ru_RU.UTF-8"))
        GTEST_SKIP() << "the ru_RU.UTF-8 locale is not installed (the set-up scripts install it)";
    std::setlocale(LC_CTYPE, ctype.c_str());
    TempDir dir;
    const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
    testing::internal::CaptureStdout();
    logging::makeLogger({{"type", "console"}, {"file_name", (dir / "a.log").string()}});
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::string(std::setlocale(LC_CTYPE, nullptr)), "ru_RU.UTF-8");
    EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), numeric);
    std::setlocale(LC_CTYPE, ctype.c_str());
}

}  // namespace
}  // namespace varnel::test
