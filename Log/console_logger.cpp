#include "Log/console_logger.h"

#include <iostream>
#include <string_view>

namespace logging {

namespace {

constexpr std::string_view kReset = "\033[0m";

std::string_view colourPrefix(LogLevel level) {
    switch (level) {
        case LogLevel::WARN:
            return "\033[33m";
        case LogLevel::ERROR:
            return "\033[31m";
        case LogLevel::SUCCESS:
            return "\033[32m";
        default:
            return "\033[00m";
    }
}

// Writes the whole text in one insertion, so lines of concurrent callers do not interleave.
void writeConsole(LogLevel level, std::string_view text, std::string_view suffix) {
    std::string out(colourPrefix(level));
    out += text;
    out += suffix;
    std::cout << out << std::flush;
}

}  // namespace

ConsoleLogger::ConsoleLogger(const LoggerConfig& config, Clock clock)
    : FileLogger(config, std::move(clock)) {}

void ConsoleLogger::log(const std::string& message, LogLevel level, unsigned short flags) {
    if (!isWritten(level)) return;
    if (flags & kToFile) FileLogger::log(message, level, flags);
    if (flags & kToChannel) {
        std::string text = timestamp();
        text += levelTag(level);
        text += message;
        text += '\n';
        writeConsole(level, text, {});
    }
}

void ConsoleLogger::log(const std::wstring& message, LogLevel level, unsigned short flags) {
    if (!isWritten(level)) return;
    if (flags & kToFile) FileLogger::log(message, level, flags);
    if (flags & kToChannel) {
        std::wstring text = timestampW();
        text += levelTagW(level);
        text += message;
        text += L'\n';
        writeConsole(level, ws2sLenient(text), kReset);
    }
}

}  // namespace logging
