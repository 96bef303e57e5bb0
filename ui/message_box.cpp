#include "ui/message_box.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/thread.h>

#include <future>
#include <memory>
#include <new>

namespace varnel {

ReportHook uiThreadHook(MessageBoxFunction show) {
    return [show = std::move(show)](const std::wstring& message, const std::wstring& caption) {
        if (wxIsMainThread()) {
            show(message, caption);
            return;
        }
        wxAppConsole* app = wxApp::GetInstance();
        if (!app) return;
        auto closed = std::make_shared<std::promise<void>>();
        std::future<void> done = closed->get_future();
        app->CallAfter([closed, show, message, caption] {
            show(message, caption);
            closed->set_value();
        });
        // The deferred call owns the promise from here on: if it is dropped unexecuted (the
        // program is ending), the promise breaks and the wait ends.
        closed.reset();
        done.wait();
    };
}

void installMessageBoxHook() {
    ReportHook previous =
        setReportHook(uiThreadHook([](const std::wstring& message, const std::wstring& caption) {
            wxMessageBox(message, caption, wxOK | wxCENTRE);
        }));
    if (previous) setReportHook(std::move(previous));
}

std::string failureText(std::exception_ptr error, const char* outOfMemory) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

}  // namespace varnel
