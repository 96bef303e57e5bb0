#include "core/report.h"

#include <cstdio>
#include <mutex>

namespace varnel {
namespace {
std::mutex gHookMutex;
ReportHook gHook;
}  // namespace

ReportHook setReportHook(ReportHook hook) {
    std::lock_guard lock(gHookMutex);
    ReportHook previous = std::move(gHook);
    gHook = std::move(hook);
    return previous;
}

void reportToUser(const std::wstring& message, const std::wstring& caption) {
    ReportHook hook;
    {
        std::lock_guard lock(gHookMutex);
        hook = gHook;
    }
    if (hook) {
        hook(message, caption);
        return;
    }
    std::fprintf(stderr, "%ls: %ls\n", caption.c_str(), message.c_str());
}

}  // namespace varnel
