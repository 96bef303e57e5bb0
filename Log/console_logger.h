#pragma once
// The console sink: the file logger's file and schedule, plus coloured lines on standard output.

#include "Log/file_logger.h"

namespace logging {

class ConsoleLogger : public FileLogger {
  public:
    // Configured like the file logger ("file_name" is required).
    explicit ConsoleLogger(const LoggerConfig& config, Clock clock = {});

    // Ignores levels below INFO. With kToFile does what the file logger does; with kToChannel
    // writes the level's colour prefix and "timestamp tag message\n" to standard output at once,
    // on the calling thread. The colour is not reset, so it lasts until the next line's prefix.
    void log(const std::string& message, LogLevel level, unsigned short flags) override;
    // As the narrow overload, followed on the console by the reset sequence "\033[0m".
    void log(const std::wstring& message, LogLevel level, unsigned short flags) override;
};

}  // namespace logging
