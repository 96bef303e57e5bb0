#pragma once
// Reporting hook: the headless libraries tell the user about missing data files and similar
// conditions through this hook. The window installs a hook that shows a message box on the UI
// thread (and waits for it to be closed); without a hook the text goes to standard error.

#include <functional>
#include <string>

namespace varnel {

using ReportHook = std::function<void(const std::wstring& message, const std::wstring& caption)>;

// Installs `hook` (an empty hook restores the standard-error default) and returns the previous one.
// Install before any worker that may report starts.
ReportHook setReportHook(ReportHook hook);

// Shows `message` to the user through the installed hook. Returns after the hook returns.
void reportToUser(const std::wstring& message, const std::wstring& caption = L"Message");

}  // namespace varnel
