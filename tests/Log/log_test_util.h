#pragma once
// Helpers of the logging tests: the lines of a text, and the parts of a log file's lines.

#include <cctype>
#include <sstream>

#include "tests/support/test_support.h"

namespace varnel::test {

// "dddd.dd.dd dd:dd:dd.dddddd", d a decimal digit.
inline bool isTimestamp(std::string_view text) {
    constexpr std::string_view kShape = "dddd.dd.dd dd:dd:dd.dddddd";
    if (text.size() != kShape.size()) return false;
    for (std::size_t i = 0; i < kShape.size(); ++i)
        if (kShape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i]))
                             : text[i] != kShape[i])
            return false;
    return true;
}

// The lines of `text`, each without its line feed.
inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A line of a log file: timestamp, level tag, "(thread N) ", message.
struct FileLine {
    std::string tag;
    std::uint64_t thread = 0;
    std::string message;
};

// The lines of a log file in their parts; a line of another shape fails the running test.
inline std::vector<FileLine> fileLines(const std::filesystem::path& path) {
    constexpr std::size_t kStamp = 26;
    std::vector<FileLine> lines;
    for (const std::string& line : splitLines(readFile(path))) {
        const std::size_t open = line.find("(thread ", kStamp), close = line.find(") ", open);
        const std::string digits = line.substr(open + 8, close - open - 8);
        if (!isTimestamp(line.substr(0, kStamp)) || close == std::string::npos || digits.empty() ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            ADD_FAILURE() << "not a log line: " << line;
            continue;
        }
        lines.push_back(
            {line.substr(kStamp, open - kStamp), std::stoull(digits), line.substr(close + 2)});
    }
    return lines;
}

}  // namespace varnel::test
