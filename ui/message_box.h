#pragma once
// Messages of the headless libraries (core/report.h) shown as message boxes by the UI thread.

#include <exception>
#include <functional>
#include <string>

#include "core/report.h"

namespace varnel {

using MessageBoxFunction =
    std::function<void(const std::wstring& message, const std::wstring& caption)>;

// A report hook that shows each message with `show` on the UI thread: directly when called there;
// from another thread it hands the message to the UI thread (a deferred call) and returns when
// `show` has returned there, i.e. when the user has closed the box.
ReportHook uiThreadHook(MessageBoxFunction show);

// What a worker's failure `error` tells the user: `outOfMemory` for std::bad_alloc, the
// exception's own text otherwise, "unknown error" for anything that is not an exception.
std::string failureText(std::exception_ptr error, const char* outOfMemory);

// Installs uiThreadHook with the toolkit's message box unless a hook is already installed (a
// test may have installed its own). UI thread only.
void installMessageBoxHook();

}  // namespace varnel
