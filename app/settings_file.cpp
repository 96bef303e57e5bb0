#include "app/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/mstream.h>
#include <wx/stream.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace varnel {
namespace fs = std::filesystem;

namespace {

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// An open descriptor, closed with its owner.
class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now; false when closing reports an error (a write that never reached the disk).
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

// Writes `bytes` to the new file `temp` with `mode`, made durable; "" or why not. The caller
// removes `temp` on failure.
std::string writeNewFile(const fs::path& temp, const std::string& bytes, mode_t mode) {
    Descriptor file(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.get() < 0) return systemError("cannot create the temporary file");
    if (mode != 0 && ::fchmod(file.get(), mode) != 0) return systemError("cannot set its mode");
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(file.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return systemError("cannot write the temporary file");
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(file.get()) != 0) return systemError("cannot write the temporary file");
    if (!file.close()) return systemError("cannot write the temporary file");
    return {};
}

}  // namespace

std::string mergeIntoConfigFile(const fs::path& path,
                                const std::vector<std::pair<wxString, wxString>>& values) {
    // The file itself is replaced by the rename, so writers agree on a lock on its folder.
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    Descriptor lock(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (lock.get() < 0) return systemError("cannot open its folder");
    while (::flock(lock.get(), LOCK_EX) != 0)
        if (errno != EINTR) return systemError("cannot lock its folder");

    struct stat status {};
    const bool exists = ::stat(path.c_str(), &status) == 0;
    if (exists && ((status.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
        return "the file is read-only";
    std::string current;
    if (exists) {
        std::ifstream in(path, std::ios::binary);
        current.assign(std::istreambuf_iterator<char>(in), {});
        if (!in.eof() && in.fail()) return "cannot read the file";
    }
    wxMemoryInputStream in(current.data(), current.size());
    wxFileConfig merged(in, wxConvAuto());
    merged.SetExpandEnvVars(false);
    for (const auto& [key, value] : values) merged.Write(key, value);
    wxMemoryOutputStream out;
    if (!merged.Save(out)) return "cannot render the settings";
    std::string bytes(out.GetSize(), '\0');
    out.CopyTo(bytes.data(), bytes.size());

    fs::path temp = path;
    temp += ".tmp";
    ::unlink(temp.c_str());  // a leftover of a writer that died; the lock keeps out live ones
    std::string problem = writeNewFile(temp, bytes, exists ? status.st_mode & 07777 : 0);
    if (problem.empty() && ::rename(temp.c_str(), path.c_str()) != 0)
        problem = systemError("cannot replace the file");
    if (!problem.empty()) ::unlink(temp.c_str());
    return problem;
}

SettingsFile::SettingsFile(const fs::path& path, LogLine log)
    : wxFileConfig(wxEmptyString, wxEmptyString, wxString::FromUTF8(path.string()), wxEmptyString,
                   wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_GLOBAL_FILE, wxConvAuto()),
      m_path(path),
      m_log(std::move(log)) {
    // Stored texts are read as they are: "$HOME" is no path here.
    SetExpandEnvVars(false);
}

SettingsFile::~SettingsFile() {
    Flush();
}

bool SettingsFile::DoWriteString(const wxString& key, const wxString& value) {
    if (!wxFileConfig::DoWriteString(key, value)) return false;
    m_pending.emplace_back(key.StartsWith("/") ? key : GetPath() + "/" + key, value);
    return true;
}

bool SettingsFile::Flush(bool /*currentOnly*/) {
    if (m_pending.empty()) return true;
    const std::string problem = mergeIntoConfigFile(m_path, m_pending);
    if (!problem.empty() && m_log) {
        std::string keys;
        for (const auto& [key, value] : m_pending)
            keys += (keys.empty() ? "" : ", ") + key.utf8_string() + "=" + value.utf8_string();
        m_log("Configuration: " + keys + " not saved to " + m_path.string() + ": " + problem);
    }
    m_pending.clear();
    // The base class writes its whole copy when it is dirty at destruction; saving into a
    // discarded stream clears that flag, so the stale copy never reaches the file.
    wxCountingOutputStream discarded;
    wxFileConfig::Save(discarded);
    return problem.empty();
}

}  // namespace varnel
