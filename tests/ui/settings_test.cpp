// Start-up settings from "varnel.cfg" and the two dialogs that change them.

#include <wx/config.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "app/settings_file.h"
#include "tests/ui/gui_fixture.h"
#include "ui/dlg_parameters.h"
#include "ui/dlg_settings.h"

namespace varnel::test {
namespace {

using SettingsTest = GuiTest;

void pickCards(dlgVarnel& w, int count) {
    for (int i = 0; i < count + 1; ++i) click(w.pickerButton(w.pickerOrder()[i]));
}

void choose(wxRadioButton* radio) {
    radio->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
    event.SetEventObject(radio);
    event.SetInt(1);
    radio->HandleWindowEvent(event);
}

wxRadioButton* radioNamed(const dlgSettings& d, const wxString& label) {
    for (auto* list : {&d.radiosHi(), &d.radiosHiLo()})
        for (wxRadioButton* r : *list)
            if (r->GetLabel() == label) return r;
    return nullptr;
}

// The lines logged since the last call, without timestamp and thread: " [INFO] text". A marker
// line is logged and waited for: the logger's one worker writes in call order, so every line
// logged before the marker is in the file once the marker is.
std::vector<std::string> newLogLines() {
    static int markers = 0;
    const std::string previous = ") test marker " + std::to_string(markers);
    const std::string marker = ") test marker " + std::to_string(++markers);
    varnelApp::logText(marker.substr(2));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::string text;
    while ((text = readFile(varnelApp::logPath().ToStdString())).find(marker + "\n") ==
           std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "\"" << marker << "\" did not reach " << varnelApp::logPath();
            return {};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line) && !line.ends_with(marker);) {
        const std::size_t thread = line.find("(thread "), message = line.find(") ", thread);
        lines.push_back(line.substr(26, thread - 26) + line.substr(message + 2));
        if (line.ends_with(previous)) lines.clear();
    }
    return lines;
}

TEST_F(SettingsTest, StartUpReadsTheConfigurationByTheDialogsRules) {
    struct Read {
        const char* game;
        int holeCards;
        std::int64_t rounds;
        int seconds;
        EquityMode mode;
        double precision;
        int pause;
    };
    const Read defaults = {"Omaha", 4, 10000, 10, EquityMode::Auto, 0, 0};
    const struct {
        const char* config;  // nullptr: no file
        Read read;
        std::vector<std::string> logged;  // after the start banner
    } cases[] = {
        {nullptr, defaults, {}},
        {"[GAME]\nGameType=6 Card Omaha\nRounds=1000000000000\nSeconds=0\nMode=monte-carlo\n"
         "Precision=0.5\nPause=20\n",
         {"6 Card Omaha", 6, 1'000'000'000'000, 0, EquityMode::MonteCarlo, 0.5, 20},
         {}},
        // A refused stored text keeps the default and is named once in the log.
        {"[GAME]\nGameType=Seven Stud\nRounds=abc\nSeconds=-1\nMode=fast\nPrecision=x\n"
         "Pause=2.5\n",
         defaults,
         {"/GAME/GameType 'Seven Stud' is not a known game; the default Omaha is used",
          "/GAME/Rounds 'abc' is not a number; the default 10000 is used",
          "/GAME/Seconds '-1' must be at least 0; the default 10 is used",
          "/GAME/Mode 'fast' must be auto, exact or monte-carlo; the default auto is used",
          "/GAME/Precision 'x' is not a number; the default 0 (none) is used",
          "/GAME/Pause '2.5' must be a whole number of milliseconds; the default 0 is used"}},
        {"[GAME]\nGameType=\nRounds=0\nSeconds=25x\nPause=20000\n",
         defaults,
         {"/GAME/GameType '' is not a known game; the default Omaha is used",
          "/GAME/Rounds '0' must be at least 1; the default 10000 is used",
          "/GAME/Seconds '25x' is not a number; the default 10 is used",
          "/GAME/Pause '20000' must be at most 10000; the default 0 is used"}}};
    for (const auto& c : cases) {
        if (m_window) m_window->Destroy();
        app().m_holeCards = 7;  // never kept: the game read or the default decides
        if (c.config) writeConfig(c.config);
        dlgVarnel& w = start();
        EXPECT_EQ(w.GetTitle(), wxString("Varnel - ") + c.read.game);
        EXPECT_EQ(app().m_holeCards, c.read.holeCards);
        EXPECT_EQ(app().m_rounds, c.read.rounds);
        EXPECT_EQ(app().m_seconds, c.read.seconds);
        EXPECT_EQ(app().m_mode, c.read.mode);
        EXPECT_EQ(app().m_precision, c.read.precision);
        EXPECT_EQ(app().m_pauseMs, c.read.pause);
        pickCards(w, c.read.holeCards);
        EXPECT_EQ(w.fieldCards("P 1").size(), static_cast<std::size_t>(c.read.holeCards));
        std::vector<std::string> logged = {
            " [INFO] -----------------Start--------------------------------------"
            "$|\xE2\x82\xAC|\xC2\xA3  -------"};
        for (const std::string& line : c.logged) logged.push_back(" [INFO] Configuration: " + line);
        EXPECT_EQ(newLogLines(), logged) << (c.config ? c.config : "no file");
    }
    EXPECT_TRUE(varnelApp::logPath().StartsWith(m_dir->path().string()));
}

TEST_F(SettingsTest, ParametersAreCheckedAndOnlyWhatChangedIsWritten) {
    start();
    const struct {
        const char *rounds, *seconds, *precision, *pause;  // typed, nullptr: left as shown
        bool exact;
        int button;
        std::int64_t roundsAfter;
        int secondsAfter;
        const char *written, *notWritten, *refused;  // refused: the message, the dialog stays
    } steps[] = {
        {nullptr, nullptr, nullptr, nullptr, true, wxID_OK, 10000, 10, "", "=", nullptr},
        {nullptr, "30", nullptr, nullptr, true, wxID_OK, 10000, 30, "Seconds=30", "Rounds",
         nullptr},
        {"500", nullptr, nullptr, nullptr, true, wxID_CANCEL, 10000, 30, "Seconds=30", "Rounds",
         nullptr},
        {" 500 ", nullptr, nullptr, nullptr, true, wxID_OK, 500, 30, "Rounds=500\n",
         "Rounds= ", nullptr},
        // A refused field is named by the shared reader's words; nothing is kept.
        {"abc", "40", nullptr, nullptr, true, wxID_OK, 500, 30, "Rounds=500\n", "40",
         "Number of rounds: 'abc' is not a number."},
        {"0", nullptr, nullptr, nullptr, true, wxID_OK, 500, 30, "Rounds=500\n", "Rounds=0",
         "Number of rounds: '0' must be at least 1."},
        {nullptr, "-1", nullptr, nullptr, true, wxID_OK, 500, 30, "Rounds=500\n", "Seconds=-1",
         "Seconds for calculation: '-1' must be at least 0."},
        {nullptr, nullptr, "-1", nullptr, true, wxID_OK, 500, 30, "Rounds=500\n", "Precision",
         "Target precision: '-1' must be a number of points from 0 to 100."},
        {nullptr, nullptr, nullptr, "2.5", true, wxID_OK, 500, 30, "Rounds=500\n", "Pause",
         "Pause between progress steps: '2.5' must be a whole number of milliseconds."},
        {"1000000000000", nullptr, "0.25", "20", false, wxID_OK, 1'000'000'000'000, 30,
         "Rounds=1000000000000\nMode=monte-carlo\nPrecision=0.25\nPause=20", "Mode=auto", nullptr}};
    for (const auto& step : steps) {
        dlgParametersForEvaluation d(app(), m_window);
        // Sized to its contents, never below the old fixed size.
        EXPECT_GE(d.GetClientSize().x, d.GetSizer()->GetMinSize().x);
        EXPECT_GE(d.GetClientSize().y, d.GetSizer()->GetMinSize().y);
        EXPECT_GE(d.GetSize().x, 258);
        EXPECT_EQ(d.roundsText()->GetValue(), std::to_string(app().m_rounds));
        EXPECT_EQ(d.pauseText()->GetValue(), wxString::Format("%d", app().m_pauseMs));
        if (step.rounds) d.roundsText()->SetValue(step.rounds);
        if (step.seconds) d.secondsText()->SetValue(step.seconds);
        if (step.precision) d.precisionText()->SetValue(step.precision);
        if (step.pause) d.pauseText()->SetValue(step.pause);
        d.exactCheck()->SetValue(step.exact);
        m_messages->reports.clear();
        click(d.FindWindow(step.button));
        EXPECT_EQ(messages(), step.refused
                                  ? std::vector<std::wstring>{wxString(step.refused).ToStdWstring()}
                                  : std::vector<std::wstring>{});
        EXPECT_EQ(app().m_rounds, step.roundsAfter);
        EXPECT_EQ(app().m_seconds, step.secondsAfter);
        EXPECT_NE(readConfig().find(step.written), std::string::npos) << readConfig();
        EXPECT_EQ(readConfig().find(step.notWritten), std::string::npos) << readConfig();
    }
    EXPECT_EQ(app().m_mode, EquityMode::MonteCarlo);
    EXPECT_EQ(app().m_precision, 0.25);
    EXPECT_EQ(app().m_pauseMs, 20);
}

TEST_F(SettingsTest, GameTypeDialogPreselectsAndStoresTheChoice) {
    start();
    auto selected = [](const dlgSettings& d) {
        std::vector<wxString> names;
        for (auto* list : {&d.radiosHi(), &d.radiosHiLo()})
            for (wxRadioButton* r : *list)
                if (r->GetValue()) names.push_back(r->GetLabel());
        return names;
    };
    {
        dlgSettings d(app(), m_window, "6 Card Omaha");
        EXPECT_GE(d.GetClientSize().x, d.GetSizer()->GetMinSize().x);
        EXPECT_GE(d.GetClientSize().y, d.GetSizer()->GetMinSize().y);
        EXPECT_GE(d.GetSize().y, 227);
        EXPECT_EQ(selected(d), std::vector<wxString>{"6 Card Omaha"});
        EXPECT_EQ(d.otherRadio(), nullptr);
        choose(radioNamed(d, "Omaha Hi/Lo"));
        click(d.FindWindow(wxID_CANCEL));
    }
    EXPECT_EQ(readConfig(), "");
    for (const char* name : {"Courchevel", "Hold'em No Limit"}) {
        // A game the dialog does not offer: shown, selected and disabled; OK keeps it.
        app().m_holeCards = 4;
        dlgSettings d(app(), m_window, name);
        EXPECT_TRUE(selected(d).empty());
        ASSERT_NE(d.otherRadio(), nullptr);
        EXPECT_EQ(d.otherRadio()->GetLabel(), name);
        EXPECT_TRUE(d.otherRadio()->GetValue());
        EXPECT_FALSE(d.otherRadio()->IsEnabled());
        click(d.FindWindow(wxID_OK));
        EXPECT_EQ(d.selectedName(), name);
        EXPECT_EQ(app().m_holeCards, name[0] == 'C' ? 5 : 2);
        EXPECT_NE(readConfig().find(std::string("GameType=") + name), std::string::npos);
    }
    {
        dlgSettings d(app(), m_window, "Courchevel");
        choose(radioNamed(d, "5 Card Omaha Hi/Lo"));
        EXPECT_FALSE(d.otherRadio()->GetValue());
        click(d.FindWindow(wxID_OK));
        EXPECT_EQ(d.selectedName(), "5 Card Omaha Hi/Lo");
        EXPECT_EQ(d.selectedHoleCards(), 5);
    }
    EXPECT_EQ(app().m_holeCards, 5);
    EXPECT_NE(readConfig().find("GameType=5 Card Omaha Hi/Lo"), std::string::npos) << readConfig();
}

TEST_F(SettingsTest, GameTypeMenuChangesTitleAndCapacity) {
    dlgVarnel& w = start();
    // The dialog is driven from inside its own modal loop, once that loop runs.
    std::function<void()> drive = [&drive] {
        for (wxWindow* top : wxTopLevelWindows) {
            auto* d = dynamic_cast<dlgSettings*>(top);
            if (!d || !d->IsModal()) continue;
            choose(radioNamed(*d, "5 Card Omaha"));
            click(d->FindWindow(wxID_OK));
            return;
        }
        wxTheApp->CallAfter(drive);
    };
    wxTheApp->CallAfter(drive);
    menu(&w, kGameTypeMenuId);
    EXPECT_EQ(w.GetTitle(), "Varnel - 5 Card Omaha");
    EXPECT_EQ(w.settings().m_holeCards, 5);
    pickCards(w, 5);
    EXPECT_EQ(w.fieldCards("P 1").size(), 5u);
    EXPECT_NE(readConfig().find("GameType=5 Card Omaha"), std::string::npos);
}

// Presses OK in the parameters dialog with `seconds` typed.
void setSeconds(wxWindow* parent, const char* seconds) {
    dlgParametersForEvaluation d(app(), parent);
    d.secondsText()->SetValue(seconds);
    click(d.FindWindow(wxID_OK));
}

TEST_F(SettingsTest, TwoWindowsInOneFolderKeepEachOthersKeys) {
    writeConfig("# mine\n[GAME]\nGameType=Courchevel\n");
    start();  // the first window's configuration is the global one
    {
        // The second window reads the file before either window writes.
        SettingsFile second(*m_dir / "varnel.cfg", {});
        second.Write("/GAME/Rounds", "500");
        EXPECT_TRUE(second.Flush());
        setSeconds(m_window, "30");
        second.Write("/GAME/Mode", "exact");
        EXPECT_TRUE(second.Flush());
    }
    // Both windows have closed: neither writes its stale copy at the end.
    delete wxConfigBase::Set(nullptr);
    EXPECT_EQ(readConfig(),
              "# mine\n[GAME]\nGameType=Courchevel\nRounds=500\nSeconds=30\nMode=exact\n");
}

TEST_F(SettingsTest, UnwritableConfigurationIsLeftAloneAndLogged) {
    const std::string text = "[GAME]\nSeconds=20\n";
    writeConfig(text);
    const std::filesystem::path file = *m_dir / "varnel.cfg";
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    start();
    newLogLines();
    setSeconds(m_window, "30");
    EXPECT_EQ(app().m_seconds, 30);  // for this session
    EXPECT_EQ(readConfig(), text);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir->path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"cards", "varnel.cfg", "varnel.log"}));
    EXPECT_EQ(newLogLines(),
              std::vector<std::string>{" [INFO] Configuration: /GAME/Seconds=30 not saved to " +
                                       file.string() + ": the file is read-only"});
    // A folder that is gone: nothing is written either.
    SettingsFile elsewhere(*m_dir / "gone" / "varnel.cfg",
                           [](const std::string& line) { varnelApp::logText(line); });
    elsewhere.Write("/GAME/Rounds", "500");
    EXPECT_FALSE(elsewhere.Flush());
    EXPECT_EQ(newLogLines(),
              std::vector<std::string>{" [INFO] Configuration: /GAME/Rounds=500 not saved to " +
                                       (*m_dir / "gone" / "varnel.cfg").string() +
                                       ": cannot open its folder: No such file or directory"});
}

TEST_F(SettingsTest, DataAreFoundBesideTheExecutableWhenTheWorkingDirectoryHasNone) {
    const std::filesystem::path elsewhere = *m_dir / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    std::filesystem::current_path(elsewhere);
    chooseDataDirectory(m_dir->path().string());
    EXPECT_EQ(std::filesystem::current_path(), m_dir->path());
    // A working directory with its own data is kept.
    std::filesystem::current_path(elsewhere);
    std::ofstream(elsewhere / "omaha-7.bin") << "x";
    chooseDataDirectory(m_dir->path().string());
    EXPECT_EQ(std::filesystem::current_path(), elsewhere);
}

}  // namespace
}  // namespace varnel::test
