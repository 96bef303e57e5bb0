// Start-up settings from "varnel.cfg" and the two dialogs that change them.

#include <wx/config.h>
#include <wx/radiobut.h>

#include <fstream>
#include <functional>

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

TEST_F(SettingsTest, DefaultsWithoutConfigurationFile) {
    dlgVarnel& w = start();
    EXPECT_EQ(w.GetTitle(), "Varnel - Omaha");
    EXPECT_EQ(app().m_rounds, 10000);
    EXPECT_EQ(app().m_seconds, 10);
    pickCards(w, 4);
    EXPECT_EQ(w.fieldCards("P 1").size(), 4u);
}

TEST_F(SettingsTest, GameAndLimitsComeFromTheConfiguration) {
    writeConfig("[GAME]\nGameType=6 Card Omaha\nRounds=abc\nSeconds=25x\n");
    dlgVarnel& w = start();
    EXPECT_EQ(w.GetTitle(), "Varnel - 6 Card Omaha");
    EXPECT_EQ(app().m_holeCards, 6);
    EXPECT_EQ(app().m_rounds, 0);
    EXPECT_EQ(app().m_seconds, 25);
    pickCards(w, 6);
    EXPECT_EQ(w.fieldCards("P 1").size(), 6u);
}

TEST_F(SettingsTest, UnknownGameFallsBackToOmahaAndEmptyKeysKeepDefaults) {
    writeConfig("[GAME]\nGameType=Seven Stud\nRounds=\nSeconds=\n");
    app().m_holeCards = 7;
    dlgVarnel& w = start();
    EXPECT_EQ(w.GetTitle(), "Varnel - Omaha");
    EXPECT_EQ(app().m_holeCards, 4);
    EXPECT_EQ(app().m_rounds, 10000);
    EXPECT_EQ(app().m_seconds, 10);
    // An empty game name keeps the default game.
    writeConfig("[GAME]\nGameType=\n");
    m_window->Destroy();
    static_cast<AppSettings&>(app()) = AppSettings{};
    dlgVarnel& again = start();
    EXPECT_EQ(again.GetTitle(), "Varnel - Omaha");
    EXPECT_EQ(app().m_holeCards, 4);
}

TEST_F(SettingsTest, StartBannerIsLogged) {
    start();
    if (!varnelApp::logPath().StartsWith(m_dir.string()))
        GTEST_SKIP() << "the log was opened by an earlier test of this process";
    // The log is written by the logger's own thread; the last line is the banner of this start.
    std::string line;
    for (int i = 0; i < 100 && line.find("Start") == std::string::npos; ++i) {
        wxMilliSleep(20);
        std::ifstream in(varnelApp::logPath().fn_str());
        for (std::string next; std::getline(in, next);) line = next;
    }
    EXPECT_NE(line.find(" [INFO] "), std::string::npos) << line;
    EXPECT_NE(line.find("-----------------Start--------------------------------------$|"
                        "\xE2\x82\xAC|\xC2\xA3  -------"),
              std::string::npos)
        << line;
}

TEST_F(SettingsTest, ParametersWriteOnlyWhatChanged) {
    start();
    {
        dlgParametersForEvaluation d(m_window);
        d.setValues(app().m_rounds, app().m_seconds);
        EXPECT_EQ(d.roundsText()->GetValue(), "10000");
        EXPECT_EQ(d.secondsText()->GetValue(), "10");
        click(d.FindWindow(wxID_OK));
    }
    EXPECT_EQ(readConfig(), "") << "nothing changed, nothing written";
    {
        dlgParametersForEvaluation d(m_window);
        d.setValues(app().m_rounds, app().m_seconds);
        d.secondsText()->SetValue("30");
        click(d.FindWindow(wxID_OK));
    }
    EXPECT_EQ(app().m_seconds, 30);
    EXPECT_NE(readConfig().find("Seconds=30"), std::string::npos) << readConfig();
    EXPECT_EQ(readConfig().find("Rounds"), std::string::npos) << readConfig();
    {
        dlgParametersForEvaluation d(m_window);
        d.setValues(app().m_rounds, app().m_seconds);
        d.roundsText()->SetValue("500x");
        click(d.FindWindow(wxID_CANCEL));
    }
    EXPECT_EQ(app().m_rounds, 10000) << "cancel changes nothing";
    {
        dlgParametersForEvaluation d(m_window);
        d.setValues(app().m_rounds, app().m_seconds);
        d.roundsText()->SetValue("500x");
        click(d.FindWindow(wxID_OK));
    }
    EXPECT_EQ(app().m_rounds, 500);
    EXPECT_NE(readConfig().find("Rounds=500x"), std::string::npos) << readConfig();
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
    const std::filesystem::path elsewhere = m_dir / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    std::filesystem::current_path(elsewhere);
    chooseDataDirectory(m_dir.string());
    EXPECT_EQ(std::filesystem::current_path(), m_dir);
    // A working directory with its own data is kept.
    std::filesystem::current_path(elsewhere);
    std::ofstream(elsewhere / "omaha-7.bin") << "x";
    chooseDataDirectory(m_dir.string());
    EXPECT_EQ(std::filesystem::current_path(), elsewhere);
}

}  // namespace
}  // namespace varnel::test
