#include "Log/file_logger.h"

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace logging {

namespace fs = std::filesystem;

namespace {

// Longest interval honoured (a century); keeps the schedule's arithmetic free of overflow.
constexpr std::uint64_t kMaxReopenInterval = 100ull * 365 * 24 * 3600;

std::uint64_t parseInterval(const std::string& text) {
    try {
        return std::stoul(text, nullptr, 10);
    } catch (const std::invalid_argument&) {
        return FileLogger::kBadReopenInterval;
    } catch (const std::out_of_range&) {
        return FileLogger::kBadReopenInterval;
    }
}

void reportTrimFailure(const std::string& what, const fs::path& path) {
    std::cerr << "Log file trim err " << what << " " << path.string() << std::endl;
}

}  // namespace

void trimLogFile(const fs::path& path, std::uintmax_t threshold, std::size_t keep) {
    std::error_code error;
    std::uintmax_t size = fs::file_size(path, error);
    if (error) {
        if (error != std::errc::no_such_file_or_directory) reportTrimFailure("file_size", path);
        return;
    }
    if (size <= threshold || keep == 0) return;

    std::ifstream in(path, std::ios::binary);
    if (!in) return reportTrimFailure("open", path);
    // A ring of the last `keep` lines; swapping hands the evicted line's storage back to
    // getline. (Reading straight into the ring would let the final, failing getline clear the
    // oldest kept line.)
    std::vector<std::string> ring(keep);
    std::size_t count = 0;
    for (std::string line; std::getline(in, line); ++count) ring[count % keep].swap(line);
    if (in.bad()) return reportTrimFailure("read", path);
    in.close();

    fs::path temp = path;
    temp += "0";
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    for (std::size_t i = count > keep ? count - keep : 0; i < count && out; ++i) {
        out << ring[i % keep] << '\n';
    }
    out.close();
    if (!out) {
        reportTrimFailure("write", temp);
        fs::remove(temp, error);
        return;
    }
    fs::rename(temp, path, error);  // replaces the log in one step
    if (error) {
        reportTrimFailure("rename", temp);
        fs::remove(temp, error);
    }
}

FileLogger::FileLogger(const LoggerConfig& config, Clock clock)
    : m_clock(clock ? std::move(clock) : Clock(&std::chrono::system_clock::now)) {
    configure(config);
}

FileLogger::~FileLogger() {
    close();
}

void FileLogger::configure(const LoggerConfig& config) {
    auto name = config.find("file_name");
    if (name == config.end()) throw std::runtime_error("No output file provided to file logger");
    {
        std::lock_guard lock(m_mutex);
        m_path = fs::path(name->second);
        auto interval = config.find("reopen_interval");
        m_reopenInterval =
            interval == config.end() ? kDefaultReopenInterval : parseInterval(interval->second);
        reopenLocked(true);
    }
    if (!m_queue) m_queue = std::make_unique<MultiThreadTaskQueue>(1);
}

std::string FileLogger::fileLine(const std::string& message, LogLevel level) {
    std::string line = timestamp();
    line += levelTag(level);
    line += "(thread ";
    line += std::to_string(threadNumber());
    line += ") ";
    line += message;
    line += '\n';
    return line;
}

void FileLogger::log(const std::string& message, LogLevel level, unsigned short) {
    if (!isWritten(level)) return;
    post([this, line = s2ws(fileLine(message, level))] { write(line); });
}

void FileLogger::log(const std::wstring& message, LogLevel level, unsigned short) {
    if (!isWritten(level)) return;
    std::wstring line = timestampW();
    line += levelTagW(level);
    line += L"(thread ";
    line += std::to_wstring(threadNumber());
    line += L") ";
    line += message;
    line += L'\n';
    post([this, line = std::move(line)] { write(line); });
}

void FileLogger::post(std::function<void()> task) {
    if (m_queue) m_queue->push(std::move(task));
}

void FileLogger::close() {
    // Once only, even when called again from the destructor or from several threads at once.
    std::call_once(m_closed, [this] {
        if (m_queue) m_queue->stop();
        std::cout << "FileLogger::close()" << std::endl;
        std::lock_guard lock(m_mutex);
        if (m_stream.is_open()) {
            m_stream.flush();
            m_stream.close();
        }
    });
}

void FileLogger::write(const std::wstring& line) {
    std::lock_guard lock(m_mutex);
    // The stream holds bytes: the line is encoded here, so the file is UTF-8 whatever the
    // process's locale, and a stray invalid character cannot put the stream into a failed state.
    m_stream << ws2sLenient(line);
    m_stream.flush();
    reopenLocked(false);
}

void FileLogger::reopenLocked(bool force) {
    auto now = m_clock();
    auto interval = std::chrono::seconds(std::min(m_reopenInterval, kMaxReopenInterval));
    if (!force && now - m_lastReopen <= interval) return;
    m_lastReopen = now;
    if (m_stream.is_open()) {
        if (!m_stream.flush()) std::cerr << "Log file flush err" << std::endl;
        m_stream.close();
        if (!m_stream) std::cerr << "Log file close err" << std::endl;
    }
    trimLogFile(m_path, kTrimThreshold, kLinesKept);
    m_stream.clear();
    m_stream.open(m_path, std::ios::binary | std::ios::app);
    if (!m_stream) std::cerr << "Log file open err " << m_path.string() << std::endl;
}

std::uint64_t FileLogger::reopenInterval() const {
    std::lock_guard lock(m_mutex);
    return m_reopenInterval;
}

fs::path FileLogger::filePath() const {
    std::lock_guard lock(m_mutex);
    return m_path;
}

}  // namespace logging
