// Start-up settings from "varnel.cfg" and the two dialogs that change them.

#include <wx/config.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>

#include <fstream>
#include <thread>

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

TEST_F(SettingsTest, StartUpReadsTheConfiguration) {
    const struct {
        const char* config;  // nullptr: no file
        int holeCardsBefore;
        const char* game;
        int holeCards, rounds, seconds;
        EquityMode mode;
        double precision;
        int pause;
    } cases[] = {
        {nullptr, 4, "Omaha", 4, 10000, 10, EquityMode::Auto, 0, 100},
        {"[GAME]\nGameType=6 Card Omaha\nRounds=abc\nSeconds=25x\nMode=monte-carlo\n"
         "Precision=0.5\nPause=0\n",
         4, "6 Card Omaha", 6, 0, 25, EquityMode::MonteCarlo, 0.5, 0},
        // An unknown game falls back to the default game; empty or unreadable keys keep the
        // current values or the defaults.
        {"[GAME]\nGameType=Seven Stud\nRounds=\nSeconds=\nMode=fast\nPrecision=x\nPause=-3\n", 7,
         "Omaha", 4, 10000, 10, EquityMode::Auto, 0, 100},
        {"[GAME]\nGameType=Courchevel\nMode=exact\nPause=20000\n", 4, "Courchevel", 5, 10000, 10,
         EquityMode::Exact, 0, 100}};
    for (const auto& c : cases) {
        if (m_window) m_window->Destroy();
        static_cast<AppSettings&>(app()) = AppSettings{};
        app().m_holeCards = c.holeCardsBefore;
        if (c.config) writeConfig(c.config);
        dlgVarnel& w = start();
        EXPECT_EQ(w.GetTitle(), wxString("Varnel - ") + c.game);
        EXPECT_EQ(app().m_holeCards, c.holeCards);
        EXPECT_EQ(app().m_rounds, c.rounds);
        EXPECT_EQ(app().m_seconds, c.seconds);
        EXPECT_EQ(app().m_mode, c.mode);
        EXPECT_EQ(app().m_precision, c.precision);
        EXPECT_EQ(app().m_pauseMs, c.pause);
        pickCards(w, c.holeCards);
        EXPECT_EQ(w.fieldCards("P 1").size(), static_cast<std::size_t>(c.holeCards));
    }
}

TEST_F(SettingsTest, StartBannerIsLogged) {
    start();
    ASSERT_TRUE(varnelApp::logPath().StartsWith(m_dir->path().string()));
    // The logger's own thread writes the file: wait for the line (a logger that never writes it
    // fails by the test's time-out).
    const std::string banner =
        "-----------------Start--------------------------------------$|\xE2\x82\xAC|\xC2\xA3  "
        "-------\n";
    std::string text;
    while (text.find(banner) == std::string::npos) {
        std::this_thread::yield();
        text = readFile(varnelApp::logPath().ToStdString());
    }
    EXPECT_TRUE(text.ends_with(banner)) << text;
    const std::string line = text.substr(text.rfind('\n', text.size() - 2) + 1);
    EXPECT_NE(line.find(" [INFO] "), std::string::npos) << line;
}

TEST_F(SettingsTest, ParametersAreCheckedAndOnlyWhatChangedIsWritten) {
    start();
    const struct {
        const char *rounds, *seconds, *precision, *pause;  // typed, nullptr: left as shown
        bool exact;
        int button, roundsAfter, secondsAfter;
        const char *written, *notWritten, *refused;  // refused: the message, the dialog stays
    } steps[] = {
        {nullptr, nullptr, nullptr, nullptr, true, wxID_OK, 10000, 10, "", "=", nullptr},
        {nullptr, "30", nullptr, nullptr, true, wxID_OK, 10000, 30, "Seconds=30", "Rounds",
         nullptr},
        {"500x", nullptr, nullptr, nullptr, true, wxID_CANCEL, 10000, 30, "Seconds=30", "Rounds",
         nullptr},
        {"500x", nullptr, nullptr, nullptr, true, wxID_OK, 500, 30, "Rounds=500x", "Rounds=1",
         nullptr},
        {"0", nullptr, nullptr, nullptr, true, wxID_OK, 500, 30, "Rounds=500x", "Rounds=0",
         "The number of rounds must be at least 1."},
        {nullptr, nullptr, "-1", nullptr, true, wxID_OK, 500, 30, "Rounds=500x", "Precision",
         "The target precision must be empty or a number of points from 0 to 100."},
        {nullptr, nullptr, nullptr, "2.5", true, wxID_OK, 500, 30, "Rounds=500x", "Pause",
         "The pause must be a whole number of milliseconds from 0 to 10000."},
        {nullptr, nullptr, "0.25", "0", false, wxID_OK, 500, 30,
         "Mode=monte-carlo\nPrecision=0.25\nPause=0", "Mode=auto", nullptr}};
    for (const auto& step : steps) {
        dlgParametersForEvaluation d(m_window);
        // Sized to its contents, never below the old fixed size.
        EXPECT_GE(d.GetClientSize().x, d.GetSizer()->GetMinSize().x);
        EXPECT_GE(d.GetClientSize().y, d.GetSizer()->GetMinSize().y);
        EXPECT_GE(d.GetSize().x, 258);
        EXPECT_EQ(d.roundsText()->GetValue(), wxString::Format("%d", app().m_rounds));
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
    EXPECT_EQ(app().m_pauseMs, 0);
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
        dlgSettings d(m_window, "6 Card Omaha");
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
        dlgSettings d(m_window, name);
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
        dlgSettings d(m_window, "Courchevel");
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
    EXPECT_EQ(w.m_holeCards, 5);
    pickCards(w, 5);
    EXPECT_EQ(w.fieldCards("P 1").size(), 5u);
    EXPECT_NE(readConfig().find("GameType=5 Card Omaha"), std::string::npos);
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
