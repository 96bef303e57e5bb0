// Entry of the window tests: starts the toolkit with the program's own application object (its
// OnInit is not run; the tests call the start-up steps themselves).

#include <wx/app.h>
#include <wx/config.h>
#include <wx/image.h>
#include <wx/init.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "tests/ui/gui_fixture.h"

#ifndef VARNEL_CARDS_DIR
#error "VARNEL_CARDS_DIR must name the directory of the drawn card images"
#endif

namespace varnel::test {

varnelApp& app() {
    return *static_cast<varnelApp*>(wxApp::GetInstance());
}

void click(wxWindow* button) {
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->HandleWindowEvent(event);
}

void menu(wxWindow* frame, int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(frame);
    frame->HandleWindowEvent(event);
}

::testing::AssertionResult settleUntil(const std::function<bool()>& done, const char* what) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return ::testing::AssertionFailure() << "still waiting after a minute: " << what;
        settle();
        std::this_thread::yield();
    }
    return ::testing::AssertionSuccess();
}

void settle() {
    for (int i = 0; i < 3; ++i) wxTheApp->Yield(true);
    wxTheApp->ProcessPendingEvents();
}

bool samePixels(const wxBitmap& a, const wxBitmap& b) {
    const wxImage x = a.ConvertToImage(), y = b.ConvertToImage();
    if (x.GetSize() != y.GetSize()) return false;
    const std::size_t bytes = static_cast<std::size_t>(x.GetWidth()) * x.GetHeight() * 3;
    return std::memcmp(x.GetData(), y.GetData(), bytes) == 0;
}

wxBitmap shown(const dlgVarnel& window, const wxString& code) {
    return window.pickerButton(code)->GetBitmapLabel();
}

void GuiTest::SetUp() {
    m_dir = std::make_unique<WorkingDir>();
    std::filesystem::create_directory_symlink(VARNEL_CARDS_DIR, *m_dir / "cards");
    m_messages = std::make_unique<CapturedReports>();
    ASSERT_TRUE(loadTable()) << "omaha-7.bin not found in VARNEL_DATA_DIR";
    static_cast<AppSettings&>(app()) = AppSettings{};
}

void GuiTest::TearDown() {
    if (m_window) {
        m_window->Destroy();
        settle();
    }
    delete wxConfigBase::Set(nullptr);
    m_messages.reset();
    m_dir.reset();
}

std::vector<std::wstring> GuiTest::messages() const {
    std::vector<std::wstring> texts;
    for (const auto& report : m_messages->reports) texts.push_back(report.text);
    return texts;
}

void GuiTest::writeConfig(const std::string& text) const {
    std::ofstream(*m_dir / "varnel.cfg") << text;
}

std::string GuiTest::readConfig() const {
    return readFile(*m_dir / "varnel.cfg");
}

dlgVarnel& GuiTest::start() {
    m_window = app().startUp(m_dir->path().string());
    m_window->Show();
    settle();
    return *m_window;
}

}  // namespace varnel::test

// Under AddressSanitizer: the toolkit's libraries keep process-long allocations of their own.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libgtk-3\nleak:libgdk-3\nleak:libglib-2\nleak:libgobject-2\nleak:libfontconfig\n"
           "leak:libpango\nleak:libcairo\nleak:libX11\nleak:libatk\nleak:libwx_\nleak:libgio\n"
           "leak:libharfbuzz\nleak:libdbus\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (done at build time to register them) needs no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    std::string display;
    if (!varnel::test::holdDisplay(display)) {
        std::fprintf(stderr, "The window tests cannot open display \"%s\"%s.\n", display.c_str(),
                     display.empty() ? " (DISPLAY is not set: run them under xvfb-run)" : "");
        return 1;
    }
    // A failed toolkit assertion fails the running test instead of opening a dialog.
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond,
                          const wxString& msg) {
        ADD_FAILURE() << "wx assertion " << cond << " (" << msg << ") at " << file << ":" << line;
    });
    wxApp::SetInstance(new varnel::varnelApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "The toolkit could not start on display \"%s\".\n", display.c_str());
        return 1;
    }
    wxImage::AddHandler(new wxPNGHandler);
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
