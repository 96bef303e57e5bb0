#include "app/app.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/stdpaths.h>
#include <wx/uilocale.h>

#include <chrono>
#include <clocale>
#include <memory>

#include "Log/log.h"
#include "Log/ui_logger.h"
#include "app/settings_file.h"
#include "core/game.h"
#include "engine/parameters.h"
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
    // A run stopped by closing its window normally ends within a fraction of a second.
    endWorkers(std::chrono::seconds(2));
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

    auto* config = new SettingsFile(besideExecutable(dir, "varnel.cfg").utf8_string(),
                                    [](const std::string& line) { logText(line); });
    delete wxConfigBase::Set(config);
    loadSettings();

    return new dlgVarnel(*this, nullptr, kMainWindowId, "Varnel - " + wxString(m_gameName),
                         wxDefaultPosition, wxSize(580, 720));
}

bool varnelApp::loadSettings() {
    static_cast<AppSettings&>(*this) = AppSettings{};
    wxConfigBase* config = wxConfigBase::Get(false);
    if (!config) return true;
    config->SetPath("/GAME");
    // A stored text is read by the same rules as the parameters dialog's fields; one that they
    // refuse keeps the default and says so in the log.
    auto refuse = [this](const char* key, const wxString& text, const std::wstring& problem,
                         const std::string& fallback) {
        logLine(std::string("Configuration: /GAME/") + key + " '" + text.utf8_string() + "' " +
                wxString(problem).utf8_string() + "; the default " + fallback + " is used");
    };
    auto load = [&](const char* key, auto read, auto& value, const std::string& fallback) {
        wxString text;
        if (!config->Read(key, &text)) return;
        const auto reading = read(text.ToStdWstring());
        if (reading)
            value = *reading.value;
        else
            refuse(key, text, reading.problem, fallback);
    };
    wxString game;
    if (config->Read("GameType", &game)) {
        if (holeCardsForGame(game.ToStdWstring(), m_holeCards))
            m_gameName = game.ToStdWstring();
        else
            refuse("GameType", game, L"is not a known game",
                   wxString(kDefaultGameName.data(), kDefaultGameName.size()).utf8_string());
    }
    load("Rounds", readRounds, m_rounds, std::to_string(kDefaultRounds));
    load("Seconds", readSeconds, m_seconds, std::to_string(kDefaultSeconds));
    load("Mode", readMode, m_mode, std::string(modeText(EquityMode::Auto)));
    load("Precision", readPrecision, m_precision, "0 (none)");
    load("Pause", readPause, m_pauseMs, std::to_string(kDefaultPauseMs));
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
