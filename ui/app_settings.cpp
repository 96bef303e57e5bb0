#include "ui/app_settings.h"

#include <wx/app.h>

#include <cwchar>
#include <limits>

namespace varnel {

AppSettings& appSettings() {
    if (auto* settings = dynamic_cast<AppSettings*>(wxApp::GetInstance())) return *settings;
    static AppSettings defaults;
    return defaults;
}

std::int32_t leadingNumber(const std::wstring& text) {
    const long long value = std::wcstoll(text.c_str(), nullptr, 10);
    constexpr auto lo = std::numeric_limits<std::int32_t>::min();
    constexpr auto hi = std::numeric_limits<std::int32_t>::max();
    if (value < lo) return lo;
    if (value > hi) return hi;
    return static_cast<std::int32_t>(value);
}

}  // namespace varnel
