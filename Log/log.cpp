#include "Log/log.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <stdexcept>

#include "Log/console_logger.h"
#include "Log/file_logger.h"
#include "core/utf8.h"

namespace logging {

namespace {

using varnel::appendUtf8;

constexpr std::array<std::string_view, 6> kTags = {" [TRACE] ", " [DEBUG] ", " [INFO] ",
                                                   " [WARN] ",  " [ERROR] ", " [SUCCESS] "};
constexpr std::array<std::wstring_view, 6> kTagsW = {L" [TRACE] ", L" [DEBUG] ", L" [INFO] ",
                                                     L" [WARN] ",  L" [ERROR] ", L" [SUCCESS] "};
constexpr std::string_view kUnnamedTag = " ";
constexpr std::wstring_view kUnnamedTagW = L" ";

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

void appendWide(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(c);
}

// Encodes `wide` as UTF-8; each invalid code unit becomes U+FFFD. Returns false if any did.
bool encodeUtf8(std::wstring_view wide, std::string& out) {
    bool valid = true;
    out.reserve(out.size() + wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        auto c = static_cast<char32_t>(wide[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
                auto low = static_cast<char32_t>(wide[i + 1]);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
        }
        if (isSurrogate(c) || c > kMaxCodePoint) {
            valid = false;
            c = kReplacement;
        }
        appendUtf8(out, c);
    }
    return valid;
}

// Decodes strict UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool decodeUtf8(const std::string& utf8, std::wstring& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        unsigned char lead = *p++;
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            continue;
        }
        int extra;
        char32_t c, min;
        if ((lead & 0xE0) == 0xC0) {
            extra = 1, c = lead & 0x1F, min = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, c = lead & 0x0F, min = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, c = lead & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (end - p < extra) return false;
        for (int k = 0; k < extra; ++k, ++p) {
            if ((*p & 0xC0) != 0x80) return false;
            c = (c << 6) | (*p & 0x3F);
        }
        if (c < min || isSurrogate(c) || c > kMaxCodePoint) return false;
        appendWide(out, c);
    }
    return true;
}

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::unordered_map<std::string, LoggerCreator>& registry() {
    static std::unordered_map<std::string, LoggerCreator> creators = {
        {"", [](const LoggerConfig&) { return std::make_unique<Logger>(); }},
        {"file", [](const LoggerConfig& c) { return std::make_unique<FileLogger>(c); }},
        {"console",
         [](const LoggerConfig& c) {
             // Character classification only: the numeric and time categories stay as they
             // are, so decimal points elsewhere in the process keep their meaning.
             std::setlocale(LC_CTYPE, "ru_RU.UTF-8");
             return std::make_unique<ConsoleLogger>(c);
         }},
    };
    return creators;
}

}  // namespace

std::string_view levelTag(LogLevel level) {
    auto index = static_cast<std::size_t>(level);
    return index < kTags.size() ? kTags[index] : kUnnamedTag;
}

std::wstring_view levelTagW(LogLevel level) {
    auto index = static_cast<std::size_t>(level);
    return index < kTagsW.size() ? kTagsW[index] : kUnnamedTagW;
}

std::string timestamp(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    auto micros = floor<microseconds>(when).time_since_epoch().count();
    constexpr std::int64_t kPerSecond = 1'000'000;
    std::int64_t seconds = micros / kPerSecond, fraction = micros % kPerSecond;
    if (fraction < 0) fraction += kPerSecond, --seconds;
    auto calendar = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&calendar, &local) == nullptr) return {};
    // Integer fields only: the text does not depend on the C locale's decimal separator.
    char text[64];
    int length = std::snprintf(text, sizeof text, "%04d.%02d.%02d %02d:%02d:%02d.%06d",
                               local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                               local.tm_min, local.tm_sec, static_cast<int>(fraction));
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

std::string timestamp() {
    return timestamp(std::chrono::system_clock::now());
}

std::wstring timestampW() {
    std::string narrow = timestamp();
    return std::wstring(narrow.begin(), narrow.end());  // digits, dots, blanks and colons only
}

std::uint64_t threadNumber() {
    return static_cast<std::uint64_t>(::syscall(SYS_gettid));
}

std::wstring s2ws(const std::string& utf8) {
    std::wstring wide;
    if (decodeUtf8(utf8, wide)) return wide;
    std::cerr << "s2ws err " << utf8 << std::endl;
    return {};
}

std::string ws2s(const std::wstring& wide) {
    std::string utf8;
    if (encodeUtf8(wide, utf8)) return utf8;
    // Reported through the narrow error stream: writing wide text to standard error would fix
    // the stream's orientation and silence every later narrow error message of the process.
    std::cerr << "ws2s err " << utf8 << std::endl;
    return {};
}

std::string ws2sLenient(std::wstring_view wide) {
    std::string utf8;
    encodeUtf8(wide, utf8);
    return utf8;
}

void Logger::configure(const LoggerConfig&) {}
Logger::~Logger() = default;
void Logger::reserved1() {}
void Logger::log(const std::string&, LogLevel, unsigned short) {}
void Logger::reserved2() {}
void Logger::log(const std::wstring&, LogLevel, unsigned short) {}
void Logger::close() {}

std::unique_ptr<Logger> makeLogger(const LoggerConfig& config) {
    auto type = config.find("type");
    if (type == config.end()) {
        throw std::runtime_error("Logging factory configuration requires a type of logger");
    }
    LoggerCreator creator;
    {
        std::lock_guard lock(registryMutex());
        auto found = registry().find(type->second);
        if (found != registry().end()) creator = found->second;
    }
    if (!creator) throw std::runtime_error("Couldn't produce logger for type: " + type->second);
    return creator(config);
}

void registerLoggerType(const std::string& type, LoggerCreator creator) {
    std::lock_guard lock(registryMutex());
    registry()[type] = std::move(creator);
}

}  // namespace logging
