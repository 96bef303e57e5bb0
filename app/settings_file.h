#pragma once
// The configuration file "varnel.cfg" as the toolkit's configuration object. Several windows may
// run in one folder, each holding its own copy of the file read at start-up, so a flush never
// writes that copy back: it re-reads the file, sets only the keys written since the last flush
// and replaces the file in one rename, under a lock on its folder. Other keys, whoever changed
// them, stay as they are in the file.

#include <wx/fileconf.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace varnel {

class SettingsFile : public wxFileConfig {
  public:
    using LogLine = std::function<void(const std::string& line)>;

    // Reads `path` (absent: no keys). `log` receives one line for each failed flush.
    SettingsFile(const std::filesystem::path& path, LogLine log);
    // Flushes what is still pending.
    ~SettingsFile() override;

    // Merges the keys written since the last flush into the file. Returns false, keeps the file
    // as it was, removes its temporary file and logs why when the file is read-only or cannot be
    // replaced; the written values then stay in this object only. Entries renamed or deleted
    // through this object are not carried over to the file.
    bool Flush(bool currentOnly = false) override;

  protected:
    bool DoWriteString(const wxString& key, const wxString& value) override;

  private:
    std::filesystem::path m_path;
    LogLine m_log;
    std::vector<std::pair<wxString, wxString>> m_pending;  // absolute key, value; in write order
};

// Sets `values` (absolute key, value) in the configuration file at `path`, keeping every other
// line, and replaces the file in one rename under an exclusive lock (flock) on its folder.
// Returns "" on success, else why the file was left alone; the temporary file never remains.
// A file without any write permission counts as read-only, also for the superuser.
std::string mergeIntoConfigFile(const std::filesystem::path& path,
                                const std::vector<std::pair<wxString, wxString>>& values);

}  // namespace varnel
