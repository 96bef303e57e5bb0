#include "Log/ui_logger.h"

#include <wx/log.h>

namespace logging {

UILogger::UILogger(const LoggerConfig& config, Clock clock)
    : FileLogger(config, std::move(clock)) {}

UILogger::~UILogger() {
    close();
}

void UILogger::log(const std::string& message, LogLevel level, unsigned short flags) {
    if (!isWritten(level)) return;
    post([this, message, level, flags] { doLog(message, level, flags); });
}

void UILogger::log(const std::wstring& message, LogLevel level, unsigned short flags) {
    if (!isWritten(level)) return;
    post([this, text = ws2s(message), level, flags] { doLog(text, level, flags); });
}

void UILogger::doLog(const std::string& message, LogLevel level, unsigned short flags) {
    // Through write(), so the reopening schedule keeps running for this sink too.
    if (flags & kToFile) write(s2ws(fileLine(message, level)));
    if ((flags & kToChannel) && wxLog::IsLevelEnabled(wxLOG_Message, wxLOG_COMPONENT)) {
        std::string text(levelTag(level));
        text += message;
        // Handed over as the message itself, never as a format string.
        wxLog::OnLog(wxLOG_Message, wxString::FromUTF8(text.data(), text.size()),
                     wxLogRecordInfo("Log", __LINE__, "logging::UILogger::doLog", wxLOG_COMPONENT));
    }
}

void registerUILogger() {
    registerLoggerType(
        "wxui", [](const LoggerConfig& config) { return std::make_unique<UILogger>(config); });
}

}  // namespace logging
