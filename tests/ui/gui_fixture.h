#pragma once
// Window tests: every test runs in a fresh temporary working directory that links the drawn card
// images and the evaluator table, so "varnel.cfg" and "varnel.log" stay private to the test.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/filefn.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "core/report.h"
#include "ui/dlg_varnel.h"

namespace varnel::test {

// The application object of the test program.
varnelApp& app();

// Clicks a button through the toolkit's event system, as a user's click reaches it.
void click(wxWindow* button);
// Sends a menu command to a frame.
void menu(wxWindow* frame, int id);
// Lets the toolkit run pending and deferred events.
void settle();
// True when two bitmaps have the same size and pixels.
bool samePixels(const wxBitmap& a, const wxBitmap& b);
// The image a picker button shows now.
wxBitmap shown(const dlgVarnel& window, const wxString& code);

class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes "varnel.cfg" with the given lines into the working directory.
    void writeConfig(const std::string& text) const;
    // The text of "varnel.cfg", or "" when there is none.
    std::string readConfig() const;
    // Starts the program in the working directory: logger, configuration, main window.
    dlgVarnel& start();

    std::filesystem::path m_dir;
    std::filesystem::path m_previousDir;
    dlgVarnel* m_window = nullptr;
    // Messages the libraries sent to the user during the test.
    std::vector<std::wstring> m_messages;
};

}  // namespace varnel::test
