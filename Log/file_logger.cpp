#include "Log/file_logger.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace logging {

namespace fs = std::filesystem;

namespace {

// Longest interval honoured (a century); keeps the schedule's arithmetic free of overflow.
constexpr std::uint64_t kMaxReopenInterval = 100ull * 365 * 24 * 3600;
constexpr std::size_t kTrimChunk = 1 << 16;  // bytes read or written at a time by the cut

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

// Holds an advisory lock (flock `operation`) on `fd` for its lifetime. Locks belong to an open
// file, so two loggers of one process on one path exclude each other as two programs do.
class FileLock {
  public:
    FileLock(int fd, int operation) : m_fd(fd) {
        while (::flock(m_fd, operation) != 0 && errno == EINTR) {
        }
    }
    ~FileLock() { ::flock(m_fd, LOCK_UN); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    int m_fd;
};

// Reads or writes exactly `size` bytes at `offset` (pread/pwrite); false on an error.
template <class Transfer, class Bytes>
bool transferAt(Transfer transfer, int fd, Bytes* data, std::size_t size, std::uintmax_t offset) {
    while (size > 0) {
        const ssize_t n = transfer(fd, data, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
        offset += static_cast<std::uintmax_t>(n);
    }
    return true;
}

// trimLogFile on the file open as `fd`.
void trimOpenFile(int fd, const fs::path& path, std::uintmax_t threshold, std::size_t keep) {
    const FileLock exclusive(fd, LOCK_EX);  // appends wait until the cut is done
    struct stat status {};
    if (::fstat(fd, &status) != 0) return reportTrimFailure("file_size", path);
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    if (size <= threshold || keep == 0) return;

    // The kept part starts after the keep-th line feed from the end, not counting the one that
    // ends the file (a last line without one counts as a line too); 0 when there are fewer lines.
    std::vector<char> buffer(kTrimChunk);
    char last = 0;
    if (!transferAt(::pread, fd, &last, 1, size - 1)) return reportTrimFailure("read", path);
    const bool ended = last == '\n';
    std::uintmax_t start = 0;
    std::size_t feeds = 0;
    for (std::uintmax_t pos = ended ? size - 1 : size; pos > 0 && start == 0;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uintmax_t>(kTrimChunk, pos));
        pos -= n;
        if (!transferAt(::pread, fd, buffer.data(), n, pos)) return reportTrimFailure("read", path);
        for (std::size_t i = n; i-- > 0;) {
            if (buffer[i] == '\n' && ++feeds == keep) {
                start = pos + i + 1;
                break;
            }
        }
    }
    // The kept bytes move to the front; the source is always ahead of the destination.
    for (std::uintmax_t from = start; start > 0 && from < size;) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uintmax_t>(kTrimChunk, size - from));
        if (!transferAt(::pread, fd, buffer.data(), n, from) ||
            !transferAt(::pwrite, fd, static_cast<const char*>(buffer.data()), n, from - start))
            return reportTrimFailure("write", path);
        from += n;
    }
    if (::ftruncate(fd, static_cast<off_t>(size - start)) != 0 ||
        (!ended && !transferAt(::pwrite, fd, "\n", 1, size - start)))
        reportTrimFailure("write", path);
}

}  // namespace

void trimLogFile(const fs::path& path, std::uintmax_t threshold, std::size_t keep) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) reportTrimFailure("open", path);
        return;
    }
    trimOpenFile(fd, path, threshold, keep);
    ::close(fd);
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
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    });
}

void FileLogger::write(const std::wstring& line) {
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0) {
        // Encoded here, so the file is UTF-8 whatever the process's locale; one append of the
        // whole line, so lines of other writers never interleave with it. A line that cannot be
        // written is lost, as with a file that cannot be opened.
        const std::string bytes = ws2sLenient(line);
        const FileLock shared(m_fd, LOCK_SH);
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
    }
    reopenLocked(false);
}

void FileLogger::reopenLocked(bool force) {
    auto now = m_clock();
    auto interval = std::chrono::seconds(std::min(m_reopenInterval, kMaxReopenInterval));
    if (!force && now - m_lastReopen <= interval) return;
    m_lastReopen = now;
    if (m_fd >= 0 && ::close(m_fd) != 0) std::cerr << "Log file close err" << std::endl;
    m_fd = -1;
    trimLogFile(m_path, kTrimThreshold, kLinesKept);
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0) std::cerr << "Log file open err " << m_path.string() << std::endl;
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
