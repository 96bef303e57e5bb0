#pragma once
// The application object: toolkit set-up, the process-wide logger, the configuration file
// "varnel.cfg" and the settings the windows read and change.

#include <wx/app.h>

#include <string>

#include "ui/app_settings.h"
#include "ui/dlg_varnel.h"

namespace varnel {

class varnelApp : public wxApp, public AppSettings {
  public:
    bool OnInit() override;
    int OnExit() override;

    // Starts the logger ("varnel.log" in `dir`), installs the configuration "varnel.cfg" of `dir`,
    // loads the settings and opens the main window titled "Varnel - " + game name. Returns the
    // window (owned by the toolkit).
    dlgVarnel* startUp(const wxString& dir);
    // The same with the configuration in `configDir` and the log in `logDir`.
    dlgVarnel* startUp(const wxString& configDir, const wxString& logDir);

    // Fills the settings from the "/GAME" group of the global configuration, each key read by
    // engine/parameters.h as the parameters dialog reads its fields. An absent key gives the
    // default; a stored text that is refused (an unknown game, "-1" seconds, "abc" rounds, an
    // empty text) gives the default too and one log line naming the key, the text and why.
    // Always returns true.
    bool loadSettings();

    // Writes the line to the log (logText).
    void logLine(const std::string& line) override;

    // Writes one UTF-8 line to the log file at level INFO.
    static void logText(const std::string& line);
    // The file of the process-wide logger (fixed by the first start-up); empty before it.
    static wxString logPath();
};

// The directory of the running executable.
wxString executableDirectory();

// The data ("omaha-7.bin", the ordering files, "cards/") are read from the working directory.
// When it holds neither the table nor "cards/" but `exeDir` holds "cards/" (a program started
// from a file manager, say), `exeDir` becomes the working directory.
void chooseDataDirectory(const wxString& exeDir);

}  // namespace varnel
