#pragma once
// The parameters of a run as a user types or stores them: rounds, seconds, target precision,
// pause and mode. One reading and one set of limits serve the parameters dialog, the
// configuration file, the command line and the request reader.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/equity.h"

namespace varnel {

inline constexpr std::int64_t kDefaultRounds = 10000;
inline constexpr std::int32_t kDefaultSeconds = 10;
inline constexpr std::int32_t kMaxSecondsSetting = 7 * 24 * 3600;  // a week; 0 is no limit
inline constexpr double kMaxPrecisionSetting = 100;                // points
inline constexpr std::int32_t kMaxPauseSetting = 10000;            // milliseconds

// A parameter read from text: its value, or why the text was refused, as the end of a sentence
// that starts with the parameter's name ("is not a number", "must be at least 1").
template <class T>
struct ParameterReading {
    std::optional<T> value;
    std::wstring problem;
    explicit operator bool() const { return value.has_value(); }
};

// Whole numbers of deals from 1 to kMaxRounds.
ParameterReading<std::int64_t> readRounds(std::wstring_view text);
// Whole seconds from 0 (no limit) to kMaxSecondsSetting.
ParameterReading<std::int32_t> readSeconds(std::wstring_view text);
// Points from 0 to kMaxPrecisionSetting; an empty text is 0 (no target).
ParameterReading<double> readPrecision(std::wstring_view text);
// Whole milliseconds from 0 to kMaxPauseSetting.
ParameterReading<std::int32_t> readPause(std::wstring_view text);
// "auto", "exact" or "monte-carlo" (the names modeText gives).
ParameterReading<EquityMode> readMode(std::wstring_view text);

// The same limits for values that arrive as numbers: an empty text when the value is in range,
// otherwise why not.
std::wstring roundsProblem(std::int64_t rounds);
std::wstring secondsProblem(double seconds);
std::wstring precisionProblem(double points);
std::wstring pauseProblem(std::int64_t milliseconds);

}  // namespace varnel
