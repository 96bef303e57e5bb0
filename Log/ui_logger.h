#pragma once
// The toolkit sink: the file logger's file and schedule, plus forwarding to the toolkit's log
// (wxLog) at level Message. Lives in its own library, varnel::log_wx, the only part of the
// logging library that needs wxWidgets.

#include "Log/file_logger.h"

namespace logging {

class UILogger : public FileLogger {
  public:
    // Configured like the file logger ("file_name" is required).
    explicit UILogger(const LoggerConfig& config, Clock clock = {});
    // Writes what was queued, then stops the worker before this object goes away.
    ~UILogger() override;

    // Ignore levels below INFO; queue doLog on the worker (a wide message as UTF-8).
    void log(const std::string& message, LogLevel level, unsigned short flags) override;
    void log(const std::wstring& message, LogLevel level, unsigned short flags) override;

  protected:
    // On the worker: with kToFile writes the file line (with the worker's thread number); with
    // kToChannel passes "tag message" verbatim to wxLog at level Message when that level is
    // enabled, with source file "Log" and function "logging::UILogger::doLog".
    void doLog(const std::string& message, LogLevel level, unsigned short flags);
};

// Adds "wxui" to the factory's registry (see makeLogger). Call once at start-up, before the
// first makeLogger for "wxui"; later calls change nothing.
void registerUILogger();

}  // namespace logging
