// Entry of the window tests: starts the toolkit with the program's own application object (its
// OnInit is not run; the tests call the start-up steps themselves).

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/config.h>
#include <wx/image.h>
#include <wx/init.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "eval/omaha_eval.h"
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
    m_previousDir = std::filesystem::current_path();
    std::random_device seed;
    m_dir = std::filesystem::temp_directory_path() /
            ("varnel-gui-" + std::to_string(seed()) + "-" + std::to_string(seed()));
    std::filesystem::create_directories(m_dir);
    std::filesystem::create_directory_symlink(VARNEL_CARDS_DIR, m_dir / "cards");
    std::filesystem::current_path(m_dir);
    wxSetWorkingDirectory(m_dir.string());
    setReportHook([this](const std::wstring& message, const std::wstring&) {
        m_messages.push_back(message);
    });
    // The evaluator table, loaded once per process from the generated data.
    if (!omahaEvaluator().usable()) {
        if (const char* data = std::getenv("VARNEL_DATA_DIR"))
            omahaEvaluator().attach(
                loadOmahaTable((std::filesystem::path(data) / "omaha-7.bin").string()));
    }
    static_cast<AppSettings&>(app()) = AppSettings{};
}

void GuiTest::TearDown() {
    if (m_window) {
        m_window->Destroy();
        settle();
    }
    delete wxConfigBase::Set(nullptr);
    setReportHook({});
    std::filesystem::current_path(m_previousDir);
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

void GuiTest::writeConfig(const std::string& text) const {
    std::ofstream(m_dir / "varnel.cfg") << text;
}

std::string GuiTest::readConfig() const {
    std::ifstream in(m_dir / "varnel.cfg");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

dlgVarnel& GuiTest::start() {
    m_window = app().startUp(m_dir.string());
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
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "The window tests need an X display (run them under xvfb-run).\n");
        return 1;
    }
    // A failed toolkit assertion fails the running test instead of opening a dialog.
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond,
                          const wxString& msg) {
        ADD_FAILURE() << "wx assertion " << cond << " (" << msg << ") at " << file << ":" << line;
    });
    wxApp::SetInstance(new varnel::varnelApp);
    if (!wxEntryStart(argc, argv)) return 1;
    wxImage::AddHandler(new wxPNGHandler);
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
