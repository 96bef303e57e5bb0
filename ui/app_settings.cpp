#include "ui/app_settings.h"

#include <wx/app.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>
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

std::optional<double> wholeNumber(const std::wstring& text) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    const double value = std::wcstod(begin, &end);
    if (end == begin) return std::nullopt;
    while (*end && std::iswspace(static_cast<wint_t>(*end))) ++end;
    if (*end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> precisionFrom(const std::wstring& text) {
    if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return std::iswspace(c); }))
        return 0.0;
    const std::optional<double> points = wholeNumber(text);
    if (!points || *points < 0 || *points > kMaxPrecision) return std::nullopt;
    return points;
}

std::optional<std::int32_t> pauseFrom(const std::wstring& text) {
    const std::optional<double> ms = wholeNumber(text);
    if (!ms || *ms < 0 || *ms > kMaxPauseMs || *ms != std::floor(*ms)) return std::nullopt;
    return static_cast<std::int32_t>(*ms);
}

std::optional<EquityMode> modeNamed(const std::wstring& name) {
    for (EquityMode mode : {EquityMode::Auto, EquityMode::Exact, EquityMode::MonteCarlo}) {
        const std::string_view text = modeText(mode);
        if (std::equal(name.begin(), name.end(), text.begin(), text.end())) return mode;
    }
    return std::nullopt;
}

}  // namespace varnel
