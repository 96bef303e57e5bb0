#pragma once
// The application settings that the windows read and change: the game, its number of hole cards
// and how a calculation runs (its limits, exact or sampled, the precision target and the pause
// between progress steps). The application object carries them (it derives from AppSettings as
// well as from wxApp) and writes the log; windows reach them through appSettings().

#include <cstdint>
#include <optional>
#include <string>

#include "core/game.h"
#include "engine/equity.h"

namespace varnel {

inline constexpr std::int32_t kDefaultRounds = 10000;
inline constexpr std::int32_t kDefaultSeconds = 10;
inline constexpr std::int32_t kDefaultPauseMs = 100;
inline constexpr std::int32_t kMaxPauseMs = 10000;
inline constexpr double kMaxPrecision = 100;  // points

struct AppSettings {
    virtual ~AppSettings() = default;

    std::wstring m_gameName{kDefaultGameName};
    std::int32_t m_holeCards = kDefaultHoleCards;
    std::int32_t m_rounds = kDefaultRounds;
    std::int32_t m_seconds = kDefaultSeconds;
    // Auto: exact when the enumeration is cheap, else sampled; MonteCarlo: always sampled.
    EquityMode m_mode = EquityMode::Auto;
    double m_precision = 0;  // target standard error in points, 0 for none
    std::int32_t m_pauseMs = kDefaultPauseMs;

    // Writes one line to the program's log at level INFO; nothing without an application.
    virtual void logLine(const std::string& /*line*/) {}
};

// The settings of the running application object, or a process-wide set of defaults when the
// application object carries none. UI thread only.
AppSettings& appSettings();

// The C library's reading of leading decimal digits (leading blanks and a sign allowed, no digits
// give 0), clamped to the 32-bit range instead of overflowing.
std::int32_t leadingNumber(const std::wstring& text);

// The whole text read as a number (blanks around it allowed); nullopt when it is anything else.
std::optional<double> wholeNumber(const std::wstring& text);

// A target precision as typed or stored: empty is none (0), otherwise points from 0 to
// kMaxPrecision; nullopt for anything else.
std::optional<double> precisionFrom(const std::wstring& text);

// A pause as typed or stored: whole milliseconds from 0 to kMaxPauseMs; nullopt for anything
// else.
std::optional<std::int32_t> pauseFrom(const std::wstring& text);

// The names under which the mode is stored: "auto", "exact", "monte-carlo"; nullopt for others.
std::optional<EquityMode> modeNamed(const std::wstring& name);

}  // namespace varnel
