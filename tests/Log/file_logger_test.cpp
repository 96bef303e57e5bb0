#include "Log/file_logger.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

#include "log_test_util.h"

namespace varnel::test {
namespace {

using logging::FileLogger;
using logging::LogLevel;
namespace fs = std::filesystem;

std::uint64_t osThreadId() {
    return static_cast<std::uint64_t>(::syscall(SYS_gettid));
}

// A logger whose "FileLogger::close()" notice does not reach the test output.
class QuietLogger {
  public:
    explicit QuietLogger(const fs::path& file, const char* interval = nullptr,
                         FileLogger::Clock clock = {}) {
        logging::LoggerConfig config{{"type", "file"}, {"file_name", file.string()}};
        if (interval) config["reopen_interval"] = interval;
        m_logger = std::make_unique<FileLogger>(config, std::move(clock));
    }
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

// Writes `count` numbered lines of 100 bytes (line feed included), one byte more in the last
// line with `extra`; returns the text.
std::string writeNumberedLines(const fs::path& path, int count, bool extra = false) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        std::string line = "line " + std::to_string(i) + " ";
        line.resize(99 + (extra && i == count - 1), 'x');
        text += line + '\n';
    }
    std::ofstream(path, std::ios::binary) << text;
    return text;
}

TEST(FileLoggerLine, TagAndMessageForInfoAndAbove) {
    const TempDir dir;
    QuietLogger logger(dir / "a.log");
    for (int value : {0, 1, 2, 3, 4, 5, 9}) {
        const std::string text = "level " + std::to_string(value);
        logger->log(text, static_cast<LogLevel>(value), 1);
        // The output flags choose nothing for a file logger.
        logger->log(std::wstring(text.begin(), text.end()), static_cast<LogLevel>(value), 0);
    }
    logger.close();
    std::vector<std::string> lines;
    for (const FileLine& line : fileLines(dir / "a.log")) lines.push_back(line.tag + line.message);
    std::vector<std::string> expected;
    for (const char* line : {" [INFO] level 2", " [WARN] level 3", " [ERROR] level 4",
                             " [SUCCESS] level 5", " level 9"})
        expected.insert(expected.end(), 2, line);
    EXPECT_EQ(lines, expected);
}

TEST(FileLoggerLine, NonAsciiReachesTheFileAsUtf8) {
    const TempDir dir;
    QuietLogger logger(dir / "a.log");
    const std::string banner =
        "-----------------Start--------------------------------------$|€|£  -------";
    ASSERT_EQ(logging::s2ws(banner).size(), 74u);
    logger->log(banner, LogLevel::INFO, 1);
    logger->log(std::wstring(L"\u041F\u0440\u0438\u0432\u0435\u0442 \u20AC\U0001F600"),
                LogLevel::INFO, 1);
    logger->log(std::wstring(L"bad ") + wchar_t(0xDC00) + L" unit", LogLevel::INFO, 1);
    logger->log(std::string("still written"), LogLevel::INFO, 1);
    logger.close();
    std::vector<std::string> messages;
    for (const FileLine& line : fileLines(dir / "a.log")) messages.push_back(line.message);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "-----------------Start-------------------------------------"
                            "-$|\xE2\x82\xAC|\xC2\xA3  -------",
                            "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 "
                            "\xE2\x82\xAC\xF0\x9F\x98\x80",
                            "bad \xEF\xBF\xBD unit", "still written"}));
}

TEST(FileLoggerConfig, ReopenIntervalParsing) {
    const TempDir dir;
    const std::pair<const char*, std::uint64_t> cases[] = {{nullptr, 300},
                                                           {"abc", 1},
                                                           {"3600", 3600},
                                                           {"", 1},
                                                           {"12abc", 12},
                                                           {" 7", 7},
                                                           {"99999999999999999999999", 1}};
    for (const auto& [text, seconds] : cases) {
        QuietLogger logger(dir / "a.log", text);
        EXPECT_EQ(logger->reopenInterval(), seconds) << (text ? text : "(absent)");
    }
}

TEST(FileLoggerTrim, CutsToTheLastLinesAboveTheThresholdOnly) {
    const TempDir dir;
    const fs::path log = dir / "a.log";
    // 80 000 lines of 100 bytes: exactly 8 000 000 bytes, which is left alone; one byte more in
    // the last line, and the file is cut to its last 5000 lines.
    for (bool extra : {false, true}) {
        const std::string original = writeNumberedLines(log, 80'000, extra);
        ASSERT_EQ(original.size(), 8'000'000u + extra);
        QuietLogger(log).close();
        EXPECT_EQ(readFile(log), extra ? original.substr(75'000 * 100) : original);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    // A file of one long line is copied whole.
    const std::string line(8'000'001, 'y');
    std::ofstream(log, std::ios::binary) << line;
    QuietLogger(log).close();
    EXPECT_EQ(readFile(log), line + "\n");
}

TEST(FileLoggerTrim, ReopeningFollowsTheInjectedClock) {
    for (std::int64_t step : {10, 11}) {
        const TempDir dir;
        auto seconds = std::make_shared<std::atomic<std::int64_t>>(1'700'000'000);
        QuietLogger logger(dir / "a.log", "10", [seconds] {
            return std::chrono::system_clock::time_point(std::chrono::seconds(*seconds));
        });
        // The file grows past the threshold behind the logger's back.
        std::ofstream(dir / "a.log", std::ios::app) << writeNumberedLines(dir / "big", 80'001);
        *seconds += step;
        logger->log(std::string("after"), LogLevel::INFO, 1);
        logger.close();
        const auto lines = splitLines(readFile(dir / "a.log"));
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(lines.back().find(") after"), std::string::npos);
        // Exactly the interval is not past it; one second more reopens and trims.
        EXPECT_EQ(lines.size(), step == 10 ? 80'002u : 5000u) << "step " << step;
    }
}

TEST(FileLoggerTrim, AWriterHoldingTheFileOpenSurvivesAnothersCut) {
    const TempDir dir;
    const fs::path log = dir / "a.log";
    auto seconds = std::make_shared<std::atomic<std::int64_t>>(1'700'000'000);
    const FileLogger::Clock clock = [seconds] {
        return std::chrono::system_clock::time_point(std::chrono::seconds(*seconds));
    };
    // Two windows on one log: both open it, then it grows past the threshold.
    QuietLogger cutter(log, "10", clock), other(log, "1000", clock);
    std::ofstream(log, std::ios::app) << writeNumberedLines(dir / "big", 80'001);
    // write() runs the worker's step on this thread, so the order below is the order on disk.
    other->write(L"other before\n");
    *seconds += 11;
    cutter->write(L"cutter\n");  // past its interval: reopens and cuts
    other->write(L"other after\n");
    cutter->write(L"cutter again\n");
    const auto lines = splitLines(readFile(log));
    ASSERT_EQ(lines.size(), 5002u);
    EXPECT_EQ(lines[0], "line 75003 " + std::string(88, 'x'));
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{"other before", "cutter", "other after", "cutter again"}));
}

TEST(FileLoggerThreads, NoLineLoggedBeforeCloseIsLost) {
    const TempDir dir;
    constexpr int kThreads = 4, kLinesEach = 2500;
    QuietLogger logger(dir / "a.log");
    std::vector<std::uint64_t> ids(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ids[t] = osThreadId();
            for (int i = 0; i < kLinesEach; ++i) {
                const std::string text = "t" + std::to_string(t) + " " + std::to_string(i);
                if (i % 2)
                    logger->log(text, LogLevel::INFO, 1);
                else
                    logger->log(std::wstring(text.begin(), text.end()), LogLevel::INFO, 1);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    logger.close();
    std::vector<int> next(kThreads, 0);
    for (const FileLine& line : fileLines(dir / "a.log")) {
        int t = 0, i = 0;
        ASSERT_EQ(std::sscanf(line.message.c_str(), "t%d %d", &t, &i), 2) << line.message;
        ASSERT_TRUE(t >= 0 && t < kThreads);
        EXPECT_EQ(i, next[t]++) << "each thread's lines arrive in call order";
        EXPECT_EQ(line.thread, ids[t]);
    }
    EXPECT_EQ(next, std::vector<int>(kThreads, kLinesEach));
    EXPECT_EQ(std::count(ids.begin(), ids.end(), osThreadId()), 0);
}

TEST(FileLoggerClose, TwiceThenDestroyedClosesOnce) {
    const TempDir dir;
    auto logger = std::make_unique<FileLogger>(
        logging::LoggerConfig{{"type", "file"}, {"file_name", (dir / "a.log").string()}});
    logger->log(std::string("before"), LogLevel::INFO, 1);
    testing::internal::CaptureStdout();
    logger->close();
    logger->close();
    logger->log(std::string("after close"), LogLevel::INFO, 1);
    logger.reset();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "FileLogger::close()\n");
    const auto lines = fileLines(dir / "a.log");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].message, "before");
}

TEST(FileLoggerClose, UnopenableFileIsReportedAndLinesAreDropped) {
    const TempDir dir;
    testing::internal::CaptureStderr();
    QuietLogger(dir / "missing-dir" / "a.log")->log(std::string("lost"), LogLevel::INFO, 1);
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
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(order, expected);
    EXPECT_THROW(queue.push([] {}).get(), std::future_error);
}

}  // namespace
}  // namespace varnel::test
