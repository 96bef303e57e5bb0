#pragma once
// Helpers of the logging tests: a private temporary directory and whole-file reads.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace logtest {

// A fresh directory under the system's temporary directory, removed with its contents.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "varnel-log-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

  private:
    std::filesystem::path m_path;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The lines of `text`, each without its line feed.
inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// True if `stamp` has the shape "dddd.dd.dd dd:dd:dd.dddddd" (d a decimal digit).
inline bool isTimestamp(std::string_view stamp) {
    constexpr std::string_view kShape = "dddd.dd.dd dd:dd:dd.dddddd";
    if (stamp.size() != kShape.size()) return false;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        bool ok = kShape[i] == 'd' ? std::isdigit(static_cast<unsigned char>(stamp[i])) != 0
                                   : stamp[i] == kShape[i];
        if (!ok) return false;
    }
    return true;
}

// The parts of a file line "timestamp" + tag + "(thread N) " + message.
struct FileLine {
    std::string stamp, tag;
    std::uint64_t thread = 0;
    std::string message;
};

// Splits `line` into its parts; false if it does not have the file line's shape.
inline bool parseFileLine(const std::string& line, FileLine& out) {
    constexpr std::size_t kStampLength = 26;
    constexpr std::string_view kThread = "(thread ";
    if (line.size() < kStampLength ||
        !isTimestamp(std::string_view(line).substr(0, kStampLength))) {
        return false;
    }
    std::size_t open = line.find(kThread, kStampLength);
    std::size_t close = line.find(") ", open);
    if (open == std::string::npos || close == std::string::npos) return false;
    std::string digits = line.substr(open + kThread.size(), close - open - kThread.size());
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    out.stamp = line.substr(0, kStampLength);
    out.tag = line.substr(kStampLength, open - kStampLength);
    out.thread = std::stoull(digits);
    out.message = line.substr(close + 2);
    return true;
}

}  // namespace logtest
