#include "engine/parameters.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>

namespace varnel {
namespace {

std::wstring_view trimmed(std::wstring_view text) {
    while (!text.empty() && std::iswspace(static_cast<wint_t>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::iswspace(static_cast<wint_t>(text.back()))) text.remove_suffix(1);
    return text;
}

// A plain decimal number: an optional minus sign, digits, and at most one point followed by
// digits. No exponents, hexadecimal, infinities or other words.
std::optional<double> plainNumber(std::wstring_view text) {
    text = trimmed(text);
    std::size_t i = text.starts_with(L'-') ? 1 : 0;
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= L'0' && text[i] <= L'9') {
            ++digits;
        } else if (text[i] == L'.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;
    const std::wstring copy(text);
    return std::wcstod(copy.c_str(), nullptr);
}

std::wstring numberText(double value) {
    std::wstring text = std::to_wstring(value);
    while (text.find(L'.') != std::wstring::npos && (text.back() == L'0' || text.back() == L'.'))
        text.pop_back();
    return text;
}

// A whole number of `unit`, within the limits `problemOf` checks.
template <class T, class Check>
ParameterReading<T> readWhole(std::wstring_view text, const wchar_t* unit, Check problemOf) {
    ParameterReading<T> reading;
    const std::optional<double> number = plainNumber(text);
    if (!number) {
        reading.problem = L"is not a number";
    } else if (*number != std::floor(*number)) {
        reading.problem = std::wstring(L"must be a whole number of ") + unit;
    } else if (std::wstring why =
                   problemOf(static_cast<std::int64_t>(std::clamp(*number, -1e18, 1e18)));
               !why.empty()) {
        reading.problem = why;
    } else {
        reading.value = static_cast<T>(*number);
    }
    return reading;
}

}  // namespace

ParameterReading<std::int64_t> readRounds(std::wstring_view text) {
    return readWhole<std::int64_t>(text, L"deals", [](std::int64_t n) { return roundsProblem(n); });
}

ParameterReading<std::int32_t> readSeconds(std::wstring_view text) {
    return readWhole<std::int32_t>(
        text, L"seconds", [](std::int64_t n) { return secondsProblem(static_cast<double>(n)); });
}

ParameterReading<double> readPrecision(std::wstring_view text) {
    ParameterReading<double> reading;
    if (trimmed(text).empty()) {
        reading.value = 0.0;
        return reading;
    }
    const std::optional<double> points = plainNumber(text);
    if (!points) {
        reading.problem = L"is not a number";
    } else if (std::wstring why = precisionProblem(*points); !why.empty()) {
        reading.problem = why;
    } else {
        reading.value = *points;
    }
    return reading;
}

ParameterReading<std::int32_t> readPause(std::wstring_view text) {
    return readWhole<std::int32_t>(text, L"milliseconds",
                                   [](std::int64_t n) { return pauseProblem(n); });
}

ParameterReading<EquityMode> readMode(std::wstring_view text) {
    ParameterReading<EquityMode> reading;
    text = trimmed(text);
    for (EquityMode mode : {EquityMode::Auto, EquityMode::Exact, EquityMode::MonteCarlo}) {
        const std::string_view name = modeText(mode);
        if (std::equal(text.begin(), text.end(), name.begin(), name.end())) reading.value = mode;
    }
    if (!reading.value) reading.problem = L"must be auto, exact or monte-carlo";
    return reading;
}

std::wstring roundsProblem(std::int64_t rounds) {
    if (rounds < 1) return L"must be at least 1";
    if (rounds > kMaxRounds) return L"must be at most " + std::to_wstring(kMaxRounds);
    return {};
}

std::wstring secondsProblem(double seconds) {
    if (!(seconds >= 0)) return L"must be at least 0";
    if (seconds > kMaxSecondsSetting)
        return L"must be at most " + std::to_wstring(kMaxSecondsSetting);
    return {};
}

std::wstring precisionProblem(double points) {
    if (!(points >= 0) || points > kMaxPrecisionSetting)
        return L"must be a number of points from 0 to " + numberText(kMaxPrecisionSetting);
    return {};
}

std::wstring pauseProblem(std::int64_t milliseconds) {
    if (milliseconds < 0) return L"must be at least 0";
    if (milliseconds > kMaxPauseSetting)
        return L"must be at most " + std::to_wstring(kMaxPauseSetting);
    return {};
}

}  // namespace varnel
