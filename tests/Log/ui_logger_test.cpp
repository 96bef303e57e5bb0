#include "Log/ui_logger.h"

#include <sys/syscall.h>
#include <unistd.h>
#include <wx/init.h>
#include <wx/log.h>

#include "log_test_util.h"

namespace varnel::test {
namespace {

using logging::LogLevel;

struct Record {
    wxLogLevel level;
    wxString text;
    std::string file, function;
};

// A toolkit log target that keeps what reaches it.
class CapturingLog : public wxLog {
  public:
    std::vector<Record> records;

  protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo& info) override {
        records.push_back(
            {level, msg, info.filename ? info.filename : "", info.func ? info.func : ""});
    }
};

class UILoggerTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_init.IsOk());
        m_previous = wxLog::SetActiveTarget(&m_capture);
        logging::registerUILogger();
    }
    void TearDown() override {
        wxLog::SetActiveTarget(m_previous);
        wxLog::SetLogLevel(wxLOG_Max);
    }
    // Builds a "wxui" logger through the factory, runs `body`, closes it, and delivers the
    // records that its worker handed to the toolkit.
    template <typename Body>
    void run(const std::filesystem::path& file, Body&& body) {
        auto logger = logging::makeLogger(
            {{"type", "wxui"}, {"file_name", file.string()}, {"reopen_interval", "3600"}});
        ASSERT_NE(dynamic_cast<logging::UILogger*>(logger.get()), nullptr);
        body(*logger);
        testing::internal::CaptureStdout();
        logger->close();
        testing::internal::GetCapturedStdout();
        wxLog::FlushActive();  // hands records logged from other threads to the target
    }

    wxInitializer m_init;
    CapturingLog m_capture;
    wxLog* m_previous = nullptr;
};

TEST_F(UILoggerTest, FlagsThreeWriteFileAndForwardTagAndMessage) {
    TempDir dir;
    run(dir / "ui.log", [](logging::Logger& logger) {
        logger.log(std::string("50% done %s %d \xE2\x82\xAC"), LogLevel::WARN, 3);
        logger.log(std::wstring(L"wide \u00A3"), LogLevel::INFO, 2);
        // The start banner, file only: its euro and pound signs reach the file as UTF-8.
        logger.log(std::string("-----------------Start------------------------------------"
                               "--$|\xE2\x82\xAC|\xC2\xA3  -------"),
                   LogLevel::INFO, 1);
        logger.log(std::string("debug"), LogLevel::DEBUG, 3);
    });

    ASSERT_EQ(m_capture.records.size(), 2u);
    EXPECT_EQ(m_capture.records[0].level, wxLOG_Message);
    EXPECT_EQ(m_capture.records[0].text, wxString::FromUTF8(" [WARN] 50% done %s %d \xE2\x82\xAC"));
    EXPECT_EQ(m_capture.records[0].file, "Log");
    EXPECT_EQ(m_capture.records[0].function, "logging::UILogger::doLog");
    EXPECT_EQ(m_capture.records[1].text, wxString(L" [INFO] wide \u00A3"));

    const auto lines = fileLines(dir / "ui.log");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].tag + lines[0].message, " [WARN] 50% done %s %d \xE2\x82\xAC");
    EXPECT_EQ(lines[1].tag + lines[1].message,
              " [INFO] -----------------Start------------------------------------"
              "--$|\xE2\x82\xAC|\xC2\xA3  -------");
    // The file line carries the worker's thread number, not the caller's.
    EXPECT_NE(lines[0].thread, static_cast<std::uint64_t>(::syscall(SYS_gettid)));
}

TEST_F(UILoggerTest, NothingForwardedWhenMessageLevelIsOff) {
    TempDir dir;
    wxLog::SetLogLevel(wxLOG_Warning);
    run(dir / "ui.log",
        [](logging::Logger& logger) { logger.log(std::string("hidden"), LogLevel::ERROR, 3); });
    EXPECT_TRUE(m_capture.records.empty());
    EXPECT_NE(readFile(dir / "ui.log").find(") hidden\n"), std::string::npos);
}

}  // namespace
}  // namespace varnel::test
