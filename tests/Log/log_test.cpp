#include "Log/log.h"

#include <ctime>
#include <stdexcept>

#include "Log/console_logger.h"
#include "Log/file_logger.h"
#include "log_test_util.h"

namespace varnel::test {
namespace {

using logging::LogLevel;
using namespace std::chrono;

template <typename Fn>
std::string runtimeErrorOf(Fn&& fn) {
    try {
        fn();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "(no error)";
}

system_clock::time_point localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm fields{};
    fields.tm_year = year - 1900, fields.tm_mon = month - 1, fields.tm_mday = day;
    fields.tm_hour = hour, fields.tm_min = minute, fields.tm_sec = second, fields.tm_isdst = -1;
    return system_clock::from_time_t(std::mktime(&fields));
}

TEST(LogTimestamp, FieldsAndMicroseconds) {
    auto base = localTime(2024, 3, 5, 7, 8, 9);
    EXPECT_EQ(logging::timestamp(base + microseconds(123456) + nanoseconds(900)),
              "2024.03.05 07:08:09.123456");
    // The last microsecond of a minute stays in that minute (never "60.000000").
    EXPECT_EQ(logging::timestamp(localTime(2024, 12, 31, 23, 59, 59) + nanoseconds(999'999'999)),
              "2024.12.31 23:59:59.999999");
    EXPECT_EQ(logging::timestamp(base), "2024.03.05 07:08:09.000000");

    std::string now = logging::timestamp();
    EXPECT_EQ(now.size(), 26u);
    EXPECT_TRUE(isTimestamp(now)) << now;
    EXPECT_EQ(logging::timestampW().size(), 26u);
}

TEST(LogConversion, KnownEncodings) {
    EXPECT_EQ(logging::ws2s(L"\u20AC"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(logging::ws2s(L"\u00A3"), "\xC2\xA3");      // pound sign
    EXPECT_EQ(logging::ws2s(L"\u041F"), "\xD0\x9F");
    EXPECT_EQ(logging::ws2s(L"A\U0001F600"), "A\xF0\x9F\x98\x80");
    EXPECT_EQ(logging::s2ws("\xE2\x82\xAC\xC2\xA3 \xD0\x9F\xF0\x9F\x98\x80"),
              L"\u20AC\u00A3 \u041F\U0001F600");
    EXPECT_EQ(logging::s2ws(""), L"");
}

TEST(LogConversion, RoundTripOfEveryCodePoint) {
    std::wstring all;
    for (wchar_t c = 1; c <= 0x10FFFF; ++c) {
        if (c < 0xD800 || c > 0xDFFF) all += c;
    }
    std::string utf8 = logging::ws2s(all);
    // One byte below U+0080, two below U+0800, three below U+10000 (less the surrogates), four.
    std::size_t expected =
        0x7F * 1 + (0x800 - 0x80) * 2 + (0x10000 - 0x800 - 0x800) * 3 + (0x110000 - 0x10000) * 4;
    EXPECT_EQ(utf8.size(), expected);
    EXPECT_EQ(logging::s2ws(utf8), all);
}

TEST(LogConversion, MalformedInputGivesEmptyTextAndAnErrorLine) {
    const std::string bad[] = {"ok\xC3",           "\xC0\xAF", "\xE0\x80\x80", "\xED\xA0\x80",
                               "\xF4\x90\x80\x80", "\x80",     "\xFF",         "\xE2\x82"};
    for (const std::string& text : bad) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(logging::s2ws(text), L"");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "s2ws err " + text + "\n");
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(logging::ws2s(std::wstring(L"a") + wchar_t(0xD800) + L"b"), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ws2s err a\xEF\xBF\xBD"
              "b\n");
    EXPECT_EQ(logging::ws2sLenient(std::wstring(1, wchar_t(0x110000))), "\xEF\xBF\xBD");
}

TEST(LogFactory, ErrorMessages) {
    const std::pair<logging::LoggerConfig, const char*> cases[] = {
        {{}, "Logging factory configuration requires a type of logger"},
        {{{"file_name", "x.log"}}, "Logging factory configuration requires a type of logger"},
        {{{"type", "File"}}, "Couldn't produce logger for type: File"},
        // Without the toolkit library's registration the toolkit sink is an unknown type.
        {{{"type", "wxui"}}, "Couldn't produce logger for type: wxui"},
        {{{"type", "file"}}, "No output file provided to file logger"},
        {{{"type", "console"}}, "No output file provided to file logger"}};
    for (const auto& [config, message] : cases) {
        EXPECT_EQ(runtimeErrorOf([&] { logging::makeLogger(config); }), message);
    }
}

TEST(LogFactory, BuildsEachRegisteredType) {
    auto bare = logging::makeLogger({{"type", ""}});
    ASSERT_NE(bare, nullptr);
    bare->log("ignored", LogLevel::ERROR, 3);
    bare->log(L"ignored", LogLevel::ERROR, 3);
    bare->close();

    TempDir dir;
    testing::internal::CaptureStdout();
    for (const char* type : {"file", "console"}) {
        const auto file = dir / (std::string(type) + ".log");
        auto logger = logging::makeLogger({{"type", type}, {"file_name", file.string()}});
        EXPECT_NE(dynamic_cast<logging::FileLogger*>(logger.get()), nullptr);
        EXPECT_EQ(dynamic_cast<logging::ConsoleLogger*>(logger.get()) != nullptr,
                  type == std::string("console"));
        EXPECT_TRUE(std::filesystem::exists(file));
    }
    testing::internal::GetCapturedStdout();

    logging::registerLoggerType("test-bare", [](const logging::LoggerConfig&) {
        return std::make_unique<logging::Logger>();
    });
    EXPECT_NE(logging::makeLogger({{"type", "test-bare"}}), nullptr);
}

}  // namespace
}  // namespace varnel::test
