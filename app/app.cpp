#include "app/app.h"

#include <wx/fileconf.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/stdpaths.h>
#include <wx/uilocale.h>

#include <clocale>
#include <memory>

#include "Log/log.h"
#include "Log/ui_logger.h"
#include "core/game.h"
#include "eval/table_format.h"

namespace varnel {
namespace {

constexpr char kStartBanner[] =
    "-----------------Start--------------------------------------$|€|£  -------";
constexpr char kReopenSeconds[] = "3600";

wxString besideExecutable(const wxString& dir, const wxString& name) {
    return dir + wxFileName::GetPathSeparator() + name;
}

// The process-wide logger, created once and kept until the process ends, and its file.
std::unique_ptr<logging::Logger>& processLogger() {
    static std::unique_ptr<logging::Logger> logger;
    return logger;
}
wxString& processLogPath() {
    static wxString path;
    return path;
}

void createLogger(const logging::LoggerConfig& config, const wxString& path) {
    processLogger() = logging::makeLogger(config);
    processLogPath() = path;
}

}  // namespace

void chooseDataDirectory(const wxString& exeDir) {
    if (wxFileName::FileExists(kTableFileName) || wxFileName::DirExists("cards")) return;
    if (wxFileName::DirExists(besideExecutable(exeDir, "cards"))) wxSetWorkingDirectory(exeDir);
}

wxString executableDirectory() {
    return wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
}

bool varnelApp::OnInit() {
    if (!wxApp::OnInit()) return false;
    SetVendorName("Korvath");
    SetAppName("varnelApp");
    SetAppDisplayName("varnelApp");
    wxUILocale::UseLocaleName("ru-RU.UTF-8");
    // Equities are shown as 45.27% whatever the locale's decimal separator.
    std::setlocale(LC_NUMERIC, "C");
    wxImage::AddHandler(new wxPNGHandler);
    const wxString dir = executableDirectory();
    chooseDataDirectory(dir);
    startUp(dir)->Show();
    return true;
}

int varnelApp::OnExit() {
    wxImage::CleanUpHandlers();
    return wxApp::OnExit();
}

dlgVarnel* varnelApp::startUp(const wxString& dir) {
    if (!processLogger()) {
        logging::registerUILogger();
        const wxString path = besideExecutable(dir, "varnel.log");
        createLogger({{"type", "wxui"},
                      {"file_name", path.utf8_string()},
                      {"reopen_interval", kReopenSeconds}},
                     path);
    }
    logText(kStartBanner);

    auto* config = new wxFileConfig(
        wxEmptyString, wxEmptyString, besideExecutable(dir, "varnel.cfg"), wxEmptyString,
        wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_GLOBAL_FILE, wxConvAuto());
    delete wxConfigBase::Set(config);
    loadSettings();

    auto* window =
        new dlgVarnel(nullptr, kMainWindowId, "Varnel", wxDefaultPosition, wxSize(580, 720));
    window->m_gameName = m_gameName;
    window->m_holeCards = m_holeCards;
    window->SetTitle("Varnel - " + window->m_gameName);
    return window;
}

bool varnelApp::loadSettings() {
    m_gameName = std::wstring(kDefaultGameName);
    wxConfigBase* config = wxConfigBase::Get(false);
    if (!config) return true;
    config->SetPath("/GAME");
    const wxString game = config->Read("GameType", wxString(kDefaultGameName.data()));
    // An unrecognised name falls back to the default game, so the hole-card count always
    // belongs to the game shown.
    if (!game.empty()) {
        if (holeCardsForGame(game.ToStdWstring(), m_holeCards)) {
            m_gameName = game.ToStdWstring();
        } else {
            m_holeCards = kDefaultHoleCards;
        }
    }
    const wxString rounds = config->Read("Rounds", wxString::Format("%d", kDefaultRounds));
    if (!rounds.empty()) m_rounds = leadingNumber(rounds.ToStdWstring());
    const wxString seconds = config->Read("Seconds", wxString::Format("%d", kDefaultSeconds));
    if (!seconds.empty()) m_seconds = leadingNumber(seconds.ToStdWstring());
    m_mode = modeNamed(config->Read("Mode", "").ToStdWstring()).value_or(EquityMode::Auto);
    m_precision = precisionFrom(config->Read("Precision", "").ToStdWstring()).value_or(0.0);
    m_pauseMs = pauseFrom(config->Read("Pause", "").ToStdWstring()).value_or(kDefaultPauseMs);
    return true;
}

void varnelApp::logText(const std::string& line) {
    if (!processLogger()) {
        // Before start-up has opened the log: a plain file logger on the same file.
        const wxString path = besideExecutable(executableDirectory(), "varnel.log");
        createLogger({{"type", "file"}, {"color", ""}, {"file_name", path.utf8_string()}}, path);
    }
    processLogger()->log(line, logging::LogLevel::INFO, logging::kToFile);
}

void varnelApp::logLine(const std::string& line) {
    logText(line);
}

wxString varnelApp::logPath() {
    return processLogPath();
}

}  // namespace varnel
