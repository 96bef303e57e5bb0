#pragma once
// The file sink: each call formats its line on the caller's thread and hands the write to the
// logger's single worker thread, so lines reach the UTF-8 file in call order without blocking
// the caller. Every "reopen_interval" seconds (checked after a write) the file is closed, cut
// back to its last kLinesKept lines once it is larger than kTrimThreshold bytes, and reopened.
//
// Several loggers, in this process or in other programs' windows, may write one file: each line
// is appended in one write (O_APPEND) under a shared lock (flock), and the cut rewrites the file
// in place under an exclusive lock. The file keeps its identity, so a writer that holds it open
// across another's cut goes on writing into the live file.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

#include "Log/log.h"
#include "Log/task_queue.h"

namespace logging {

class FileLogger : public Logger {
  public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    static constexpr std::uint64_t kDefaultReopenInterval = 300;  // seconds
    static constexpr std::uint64_t kBadReopenInterval = 1;        // for text that is no number
    static constexpr std::uintmax_t kTrimThreshold = 8'000'000;   // bytes; larger files are cut
    static constexpr std::size_t kLinesKept = 5000;

    // Configures from `config` (see configure) and starts the worker. `clock` tells the time of
    // the reopening schedule; empty means the system's wall clock. Throws std::runtime_error
    // "No output file provided to file logger" without "file_name".
    explicit FileLogger(const LoggerConfig& config, Clock clock = {});
    // Closes as close() does.
    ~FileLogger() override;

    // Reads "file_name" (UTF-8 path) and "reopen_interval" (decimal seconds as std::stoul reads
    // them: absent gives 300, text without a number or out of range gives 1), then trims and
    // opens the file at once.
    void configure(const LoggerConfig& config) override;
    // Queues the line "timestamp tag(thread N) message\n" for INFO and above; `flags` unused.
    void log(const std::string& message, LogLevel level, unsigned short flags) override;
    void log(const std::wstring& message, LogLevel level, unsigned short flags) override;
    // Prints "FileLogger::close()" on standard output, writes every line queued so far, stops
    // the worker and closes the file. Later calls, and lines logged afterwards, do nothing.
    void close() override;
    // Appends `line` to the file as UTF-8 and runs the reopening schedule; runs on the worker.
    virtual void write(const std::wstring& line);

    // The reopening interval in seconds.
    std::uint64_t reopenInterval() const;
    // The log file's path.
    std::filesystem::path filePath() const;

  protected:
    // Builds the file line of `message` (UTF-8) with the calling thread's number.
    static std::string fileLine(const std::string& message, LogLevel level);
    // Queues `task` on the worker; dropped once the logger is closed.
    void post(std::function<void()> task);

  private:
    // Under m_mutex: if `force` or the interval has passed, closes, trims and reopens the file.
    void reopenLocked(bool force);

    Clock m_clock;
    std::filesystem::path m_path;
    int m_fd = -1;  // the file, opened for appending; -1 while it cannot be opened
    std::uint64_t m_reopenInterval = kDefaultReopenInterval;
    std::chrono::system_clock::time_point m_lastReopen;
    std::once_flag m_closed;
    std::unique_ptr<MultiThreadTaskQueue> m_queue;
};

// Cuts the file at `path` to its last `keep` lines (each ending in a line feed) when it is larger
// than `threshold` bytes, in place under an exclusive lock, so writers that hold the file open
// keep writing into it. Failures are reported on standard error and leave the file as it was,
// unless the copy itself fails part-way.
void trimLogFile(const std::filesystem::path& path, std::uintmax_t threshold, std::size_t keep);

}  // namespace logging
