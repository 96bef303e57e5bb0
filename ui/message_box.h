#pragma once
// Messages of the headless libraries (core/report.h) shown as message boxes by the UI thread.

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

// Installs uiThreadHook with the toolkit's message box unless a hook is already installed (a
// test may have installed its own). UI thread only.
void installMessageBoxHook();

}  // namespace varnel
