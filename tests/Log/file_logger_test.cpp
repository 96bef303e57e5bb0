#include "Log/file_logger.h"

#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "log_test_util.h"

namespace {

using logging::FileLogger;
using logging::LogLevel;
using logtest::readFile;
using logtest::splitLines;
using logtest::TempDir;
namespace fs = std::filesystem;

const std::string kBanner =
    "-----------------Start--------------------------------------$|€|£  -------";

std::uint64_t osThreadId() {
    return static_cast<std::uint64_t>(::syscall(SYS_gettid));
}

// A clock for the reopening schedule that moves only when told to.
struct ManualClock {
    std::shared_ptr<std::atomic<std::int64_t>> seconds =
        std::make_shared<std::atomic<std::int64_t>>(1'700'000'000);
    FileLogger::Clock clock() const {
        return [s = seconds] {
            return std::chrono::system_clock::time_point(std::chrono::seconds(*s));
        };
    }
    void advance(std::int64_t by) const { *seconds += by; }
};

// Builds a logger whose "FileLogger::close()" notice does not reach the test output.
class QuietLogger {
  public:
    explicit QuietLogger(logging::LoggerConfig config, FileLogger::Clock clock = {})
        : m_logger(std::make_unique<FileLogger>(config, std::move(clock))) {}
    ~QuietLogger() { close(); }
    FileLogger* operator->() { return m_logger.get(); }
    void close() {
        testing::internal::CaptureStdout();
        m_logger->close();
        testing::internal::GetCapturedStdout();
    }

  private:
    std::unique_ptr<FileLogger> m_logger;
};

logging::LoggerConfig fileConfig(const fs::path& path, const char* interval = nullptr) {
    logging::LoggerConfig config{{"type", "file"}, {"file_name", path.string()}};
    if (interval) config["reopen_interval"] = interval;
    return config;
}

// Writes `count` numbered lines of `width` bytes (line feed included), plus `extra` more bytes
// in the last line; returns the text.
std::string writeNumberedLines(const fs::path& path, int count, int width, int extra = 0) {
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * width + extra);
    for (int i = 0; i < count; ++i) {
        std::string line = "line " + std::to_string(i) + " ";
        line.resize(width - 1 + (i == count - 1 ? extra : 0), 'x');
        text += line + '\n';
    }
    std::ofstream(path, std::ios::binary) << text;
    return text;
}

// The last `n` lines of `text` (each ending in a line feed).
std::string lastLines(const std::string& text, std::size_t n) {
    std::size_t pos = text.size() - 1;
    for (std::size_t seen = 0; pos > 0; --pos) {
        if (text[pos - 1] == '\n' && ++seen == n) break;
    }
    return text.substr(pos);
}

TEST(FileLoggerLine, ExactShapeWithCallerThreadNumber) {
    TempDir dir;
    QuietLogger logger(fileConfig(dir / "a.log"));
    logger->log(std::string("narrow text"), LogLevel::INFO, 1);
    logger->log(std::wstring(L"wide text"), LogLevel::WARN, 0);
    std::uint64_t otherId = 0;
    std::thread([&] {
        otherId = osThreadId();
        logger->log(std::string("from another thread"), LogLevel::SUCCESS, 1);
    }).join();
    logger.close();

    auto lines = splitLines(readFile(dir / "a.log"));
    ASSERT_EQ(lines.size(), 3u);
    const std::pair<const char*, const char*> expected[] = {{" [INFO] ", "narrow text"},
                                                            {" [WARN] ", "wide text"},
                                                            {" [SUCCESS] ", "from another thread"}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        logtest::FileLine parts;
        ASSERT_TRUE(logtest::parseFileLine(lines[i], parts)) << lines[i];
        EXPECT_EQ(parts.tag, expected[i].first);
        EXPECT_EQ(parts.thread, i < 2 ? osThreadId() : otherId);
        EXPECT_EQ(parts.message, expected[i].second);
    }
    EXPECT_NE(otherId, osThreadId());
}

TEST(FileLoggerLine, LevelsBelowInfoAreDropped) {
    TempDir dir;
    QuietLogger logger(fileConfig(dir / "a.log"));
    for (int value : {0, 1, 2, 3, 4, 5, 9}) {
        std::string text = "level " + std::to_string(value);
        logger->log(text, static_cast<LogLevel>(value), 1);
        logger->log(std::wstring(text.begin(), text.end()), static_cast<LogLevel>(value), 1);
    }
    logger.close();
    std::vector<std::string> tags;
    for (const std::string& line : splitLines(readFile(dir / "a.log"))) {
        logtest::FileLine parts;
        ASSERT_TRUE(logtest::parseFileLine(line, parts)) << line;
        tags.push_back(parts.tag + parts.message);
    }
    std::vector<std::string> expected;
    for (const char* tag : {" [INFO] level 2", " [WARN] level 3", " [ERROR] level 4",
                            " [SUCCESS] level 5", " level 9"}) {
        expected.insert(expected.end(), 2, tag);
    }
    EXPECT_EQ(tags, expected);
}

TEST(FileLoggerText, NonAsciiReachesTheFileAsUtf8) {
    TempDir dir;
    QuietLogger logger(fileConfig(dir / "a.log"));
    ASSERT_EQ(kBanner.size(), 77u);
    ASSERT_EQ(logging::s2ws(kBanner).size(), 74u);
    logger->log(kBanner, LogLevel::INFO, 1);
    logger->log(std::wstring(L"\u041F\u0440\u0438\u0432\u0435\u0442 \u20AC\U0001F600"),
                LogLevel::INFO, 1);
    logger->log(std::wstring(L"bad ") + wchar_t(0xDC00) + L" unit", LogLevel::INFO, 1);
    logger->log(std::string("still written"), LogLevel::INFO, 1);
    logger.close();

    std::string text = readFile(dir / "a.log");
    EXPECT_NE(text.find(") -----------------Start-------------------------------------"
                        "-$|\xE2\x82\xAC|\xC2\xA3  -------\n"),
              std::string::npos);
    EXPECT_NE(
        text.find(
            ") \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC\xF0\x9F\x98\x80\n"),
        std::string::npos);
    EXPECT_NE(text.find(") bad \xEF\xBF\xBD unit\n"), std::string::npos);
    EXPECT_NE(text.find(") still written\n"), std::string::npos);
    // The whole file decodes as UTF-8 and back to the same bytes.
    EXPECT_EQ(logging::ws2s(logging::s2ws(text)), text);
}

TEST(FileLoggerConfig, ReopenIntervalParsing) {
    TempDir dir;
    const std::pair<const char*, std::uint64_t> cases[] = {{nullptr, 300},
                                                           {"abc", 1},
                                                           {"3600", 3600},
                                                           {"", 1},
                                                           {"12abc", 12},
                                                           {" 7", 7},
                                                           {"99999999999999999999999", 1}};
    for (const auto& [text, seconds] : cases) {
        QuietLogger logger(fileConfig(dir / "a.log", text));
        EXPECT_EQ(logger->reopenInterval(), seconds) << (text ? text : "(absent)");
    }
}

TEST(FileLoggerTrim, CutsToLastLinesAboveThresholdOnly) {
    TempDir dir;
    const fs::path log = dir / "a.log";
    fs::path temp = log;
    temp += "0";
    // 80 000 lines of 100 bytes: exactly 8 000 000 bytes; one byte more in the last line.
    for (int extra : {0, 1}) {
        std::string original = writeNumberedLines(log, 80'000, 100, extra);
        ASSERT_EQ(original.size(), 8'000'000u + extra);
        std::ofstream(temp) << "stale leftover\n";
        QuietLogger logger(fileConfig(log));
        logger.close();
        std::string text = readFile(log);
        if (extra == 0) {
            EXPECT_EQ(text, original) << "a file of exactly 8 000 000 bytes is left alone";
        } else {
            EXPECT_EQ(text, lastLines(original, 5000));
            EXPECT_EQ(splitLines(text).size(), 5000u);
            EXPECT_EQ(splitLines(text).front().substr(0, 11), "line 75000 ");
            EXPECT_FALSE(fs::exists(temp));
        }
    }
}

TEST(FileLoggerTrim, ShortFileIsCopiedWhole) {
    TempDir dir;
    std::string text(8'000'001, 'y');
    std::ofstream(dir / "a.log", std::ios::binary) << text;  // one long line, no line feed
    QuietLogger logger(fileConfig(dir / "a.log"));
    logger.close();
    EXPECT_EQ(readFile(dir / "a.log"), text + "\n");
}

TEST(FileLoggerTrim, ReopeningFollowsTheInjectedClock) {
    for (std::int64_t step : {10, 11}) {
        TempDir dir;
        const fs::path log = dir / "a.log";
        ManualClock clock;
        QuietLogger logger(fileConfig(log, "10"), clock.clock());
        // The file grows past the threshold behind the logger's back.
        std::string grown = writeNumberedLines(dir / "big", 80'001, 100);
        std::ofstream(log, std::ios::binary | std::ios::app) << grown;
        clock.advance(step);
        logger->log(std::string("after"), LogLevel::INFO, 1);
        logger.close();
        auto lines = splitLines(readFile(log));
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(lines.back().find(") after"), std::string::npos);
        // Exactly the interval is not past it; one second more reopens and trims.
        EXPECT_EQ(lines.size(), step == 10 ? 80'002u : 5000u) << "step " << step;
    }
}

TEST(FileLoggerTrim, FailedTrimKeepsTheOriginalAndLogsOn) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TempDir dir;
    const fs::path log = dir / "a.log";
    fs::path temp = log;
    temp += "0";
    std::string original = writeNumberedLines(log, 80'000, 100, 1);
    fs::create_symlink("/dev/full", temp);  // every write to the copy fails: disk full

    testing::internal::CaptureStderr();
    QuietLogger logger(fileConfig(log));
    logger->log(std::string("next"), LogLevel::INFO, 1);
    logger.close();
    std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_NE(errors.find("Log file trim err write"), std::string::npos) << errors;
    std::string text = readFile(log);
    ASSERT_GT(text.size(), original.size());
    EXPECT_EQ(text.substr(0, original.size()), original);
    EXPECT_NE(text.find(") next\n", original.size()), std::string::npos);
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));
}

TEST(FileLoggerThreads, NoLineLoggedBeforeCloseIsLost) {
    TempDir dir;
    constexpr int kThreads = 4, kLinesEach = 2500;
    QuietLogger logger(fileConfig(dir / "a.log"));
    std::vector<std::uint64_t> ids(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ids[t] = osThreadId();
            for (int i = 0; i < kLinesEach; ++i) {
                char text[32];
                std::snprintf(text, sizeof text, "t%d %d", t, i);
                if (i % 2) {
                    logger->log(std::string(text), LogLevel::INFO, 1);
                } else {
                    logger->log(std::wstring(text, text + std::strlen(text)), LogLevel::INFO, 1);
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    logger.close();

    std::vector<int> next(kThreads, 0);
    for (const std::string& line : splitLines(readFile(dir / "a.log"))) {
        logtest::FileLine parts;
        ASSERT_TRUE(logtest::parseFileLine(line, parts)) << line;
        int t = 0, i = 0;
        ASSERT_EQ(std::sscanf(parts.message.c_str(), "t%d %d", &t, &i), 2) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads);
        EXPECT_EQ(i, next[t]++) << "each thread's lines arrive in call order";
        EXPECT_EQ(parts.thread, ids[t]);
    }
    EXPECT_EQ(next, std::vector<int>(kThreads, kLinesEach));
}

TEST(FileLoggerClose, TwiceThenDestroyedClosesOnce) {
    TempDir dir;
    auto logger = std::make_unique<FileLogger>(fileConfig(dir / "a.log"));
    logger->log(std::string("before"), LogLevel::INFO, 1);
    testing::internal::CaptureStdout();
    logger->close();
    logger->close();
    logger->log(std::string("after close"), LogLevel::INFO, 1);
    logger.reset();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "FileLogger::close()\n");
    auto lines = splitLines(readFile(dir / "a.log"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(") before"), std::string::npos);
}

TEST(FileLoggerClose, UnopenableFileIsReportedAndLinesAreDropped) {
    TempDir dir;
    testing::internal::CaptureStderr();
    {
        QuietLogger logger(fileConfig(dir / "missing-dir" / "a.log"));
        logger->log(std::string("lost"), LogLevel::INFO, 1);
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Log file open err"), std::string::npos);
}

TEST(TaskQueue, RunsInPushOrderAndStopsOnce) {
    logging::MultiThreadTaskQueue queue(1);
    std::vector<int> order;
    std::vector<std::future<void>> done;
    for (int i = 0; i < 100; ++i) done.push_back(queue.push([&order, i] { order.push_back(i); }));
    auto fromWorker = queue.push([&queue] { queue.stop(); });
    done.back().get();
    try {
        fromWorker.get();
        ADD_FAILURE() << "stopping from the worker must fail";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::resource_deadlock_would_occur);
    }
    queue.stop();
    queue.stop();
    std::vector<int> expected(100);
    for (int i = 0; i < 100; ++i) expected[i] = i;
    EXPECT_EQ(order, expected);
    auto late = queue.push([] {});
    EXPECT_THROW(late.get(), std::future_error);
}

}  // namespace
