#pragma once
// The logging framework: severity levels and their tags, the line timestamp, the UTF-8 <-> wide
// conversions every sink uses, the abstract logger and the factory that builds a logger from a
// string-keyed configuration ("type", "file_name", "reopen_interval", "color").

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace logging {

// Severity of a message; sinks write INFO and above. Values outside the named ones are allowed
// and carry the tag " ".
enum class LogLevel : std::uint8_t {
    TRACE = 0,
    DEBUG = 1,
    INFO = 2,
    WARN = 3,
    ERROR = 4,
    SUCCESS = 5
};

// Output flags passed with each message: bit 0 asks for the log file, bit 1 for the sink's second
// channel (the console or the toolkit's log window). The plain file logger ignores them.
inline constexpr unsigned short kToFile = 1;
inline constexpr unsigned short kToChannel = 2;

// Returns the level's tag with one blank on each side (" [WARN] "), or " " for an unnamed value.
std::string_view levelTag(LogLevel level);
// The same text as levelTag, as a wide string.
std::wstring_view levelTagW(LogLevel level);

// True for the levels that sinks write (INFO and above).
constexpr bool isWritten(LogLevel level) {
    return level >= LogLevel::INFO;
}

// Renders `when` in local time as "YYYY.MM.DD hh:mm:ss.uuuuuu" (26 characters, microseconds
// truncated, so the seconds field never reads 60); empty if local time is unavailable.
std::string timestamp(std::chrono::system_clock::time_point when);
// timestamp() of the current wall-clock time.
std::string timestamp();
// The same text as timestamp(), as a wide string.
std::wstring timestampW();

// The operating system's number of the calling thread (as process listings show it).
std::uint64_t threadNumber();

// UTF-8 to wide text (one wide character per code point, or UTF-16 where wide characters are
// 16 bits). On malformed input writes "s2ws err " + input to standard error and returns "".
std::wstring s2ws(const std::string& utf8);
// Wide text to UTF-8. On an invalid code unit (lone surrogate, value past U+10FFFF) writes
// "ws2s err " + the text (invalid units shown as U+FFFD) to standard error and returns "".
std::string ws2s(const std::wstring& wide);
// Wide text to UTF-8 that never fails: each invalid code unit becomes U+FFFD. Used by the sinks.
std::string ws2sLenient(std::wstring_view wide);

using LoggerConfig = std::unordered_map<std::string, std::string>;

// The abstract logger. Every operation of the base does nothing, so a bare Logger is the
// "accept everything, write nothing" sink. The order of the virtual operations is fixed.
class Logger {
  public:
    Logger() = default;
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Reads the sink's settings from `config`.
    virtual void configure(const LoggerConfig& config);
    virtual ~Logger();
    // Kept empty by every sink; holds its place in the table of operations.
    virtual void reserved1();
    // Logs a UTF-8 message at `level` to the outputs chosen by `flags`.
    virtual void log(const std::string& message, LogLevel level, unsigned short flags);
    // Kept empty by every sink; holds its place in the table of operations.
    virtual void reserved2();
    // Logs a wide message at `level` to the outputs chosen by `flags`.
    virtual void log(const std::wstring& message, LogLevel level, unsigned short flags);
    // Stops background work and closes the outputs; safe to call more than once.
    virtual void close();

  protected:
    mutable std::mutex m_mutex;
};

using LoggerCreator = std::function<std::unique_ptr<Logger>(const LoggerConfig&)>;

// Builds the logger named by config["type"]: "" (a bare Logger), "file", "console", and "wxui"
// once registerUILogger() (library varnel::log_wx) has run. Throws std::runtime_error
// "Logging factory configuration requires a type of logger" without "type", and
// "Couldn't produce logger for type: " + type for a name not registered (exact, case-sensitive).
std::unique_ptr<Logger> makeLogger(const LoggerConfig& config);

// Adds (or replaces) the creator for `type` in the factory's registry. Thread-safe.
void registerLoggerType(const std::string& type, LoggerCreator creator);

}  // namespace logging
