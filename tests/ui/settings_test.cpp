// Start-up settings from "varnel.cfg" and the two dialogs that change them.

#include <wx/config.h>
#include <wx/radiobut.h>

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
    } cases[] = {
        {nullptr, 4, "Omaha", 4, 10000, 10},
        {"[GAME]\nGameType=6 Card Omaha\nRounds=abc\nSeconds=25x\n", 4, "6 Card Omaha", 6, 0, 25},
        // An unknown game falls back to the default game; empty keys keep the current values.
        {"[GAME]\nGameType=Seven Stud\nRounds=\nSeconds=\n", 7, "Omaha", 4, 10000, 10},
        {"[GAME]\nGameType=\n", 4, "Omaha", 4, 10000, 10}};
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

TEST_F(SettingsTest, ParametersWriteOnlyWhatChanged) {
    start();
    const struct {
        const char *rounds, *seconds;  // typed into the dialog, nullptr: left as shown
        int button, roundsAfter, secondsAfter;
        const char *written, *notWritten;
    } steps[] = {
        {nullptr, nullptr, wxID_OK, 10000, 10, "", "="},  // nothing changed, nothing written
        {nullptr, "30", wxID_OK, 10000, 30, "Seconds=30", "Rounds"},
        {"500x", nullptr, wxID_CANCEL, 10000, 30, "Seconds=30", "Rounds"},
        {"500x", nullptr, wxID_OK, 500, 30, "Rounds=500x", "Rounds=1"}};
    for (const auto& step : steps) {
        dlgParametersForEvaluation d(m_window);
        d.setValues(app().m_rounds, app().m_seconds);
        EXPECT_EQ(d.roundsText()->GetValue(), wxString::Format("%d", app().m_rounds));
        EXPECT_EQ(d.secondsText()->GetValue(), wxString::Format("%d", app().m_seconds));
        if (step.rounds) d.roundsText()->SetValue(step.rounds);
        if (step.seconds) d.secondsText()->SetValue(step.seconds);
        click(d.FindWindow(step.button));
        EXPECT_EQ(app().m_rounds, step.roundsAfter);
        EXPECT_EQ(app().m_seconds, step.secondsAfter);
        EXPECT_NE(readConfig().find(step.written), std::string::npos) << readConfig();
        EXPECT_EQ(readConfig().find(step.notWritten), std::string::npos) << readConfig();
    }
}

TEST_F(SettingsTest, GameTypeDialogPreselectsAndStoresTheChoice) {
    start();
    {
        dlgSettings d(m_window, "6 Card Omaha");
        for (auto* list : {&d.radiosHi(), &d.radiosHiLo()})
            for (wxRadioButton* r : *list)
                EXPECT_EQ(r->GetValue(), r->GetLabel() == "6 Card Omaha");
        choose(radioNamed(d, "Omaha Hi/Lo"));
        click(d.FindWindow(wxID_CANCEL));
    }
    EXPECT_EQ(readConfig(), "");
    {
        // A name without a radio button is kept and its count stays the caller's.
        app().m_holeCards = 5;
        dlgSettings d(m_window, "Courchevel Hi/Lo");
        EXPECT_EQ(d.selectedName(), "Courchevel Hi/Lo");
        app().m_holeCards = 4;
        dlgSettings unknown(m_window, "Pineapple");
        click(unknown.FindWindow(wxID_OK));
        EXPECT_EQ(unknown.selectedHoleCards(), 4);
        EXPECT_EQ(app().m_holeCards, 4);
    }
    {
        dlgSettings d(m_window, "Omaha");
        choose(radioNamed(d, "5 Card Omaha Hi/Lo"));
        EXPECT_FALSE(radioNamed(d, "Omaha")->GetValue());
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
