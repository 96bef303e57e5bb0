#pragma once
// Window tests: every test runs in a fresh temporary working directory that links the drawn card
// images, so "varnel.cfg" and "varnel.log" stay private to the test; the evaluator table comes
// from the generated data.

#include <wx/app.h>
#include <wx/bmpbuttn.h>

#include "app/app.h"
#include "tests/support/test_support.h"
#include "ui/dlg_varnel.h"

namespace varnel::test {

// Opens a connection to the X display and keeps it for the life of the process; false when the
// display cannot be opened. `name` receives the display's name.
bool holdDisplay(std::string& name);

// The application object of the test program.
varnelApp& app();

// Clicks a button through the toolkit's event system, as a user's click reaches it.
void click(wxWindow* button);
// Sends a menu command to a frame.
void menu(wxWindow* frame, int id);
// Lets the toolkit run pending and deferred events.
void settle();
// Settles until `done` holds or a minute has passed (a fault that never lets it hold fails the
// test then, with `what`, instead of hanging it); returns `done()`.
::testing::AssertionResult settleUntil(const std::function<bool()>& done, const char* what);
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
    // The messages the libraries sent to the user so far.
    std::vector<std::wstring> messages() const;

    std::unique_ptr<WorkingDir> m_dir;
    dlgVarnel* m_window = nullptr;
    std::unique_ptr<CapturedReports> m_messages;
};

}  // namespace varnel::test
