#pragma once
// The application settings that the windows read and change: the game, its number of hole cards
// and how a calculation runs (its limits, exact or sampled, the precision target and the pause
// between progress steps). The application object carries them (it derives from AppSettings as
// well as from wxApp) and writes the log; windows reach them through appSettings(). Stored and
// typed values are read by engine/parameters.h, so both obey the same limits.

#include <cstdint>
#include <string>

#include "core/game.h"
#include "engine/equity.h"
#include "engine/parameters.h"

namespace varnel {

// The worker runs on threads of its own and the window repaints without a pause: waiting after
// each progress step only leaves long runs idle (5 players, 5 M deals on two busy cores:
// 14.1 s with 100 ms, 4.8 s without).
inline constexpr std::int32_t kDefaultPauseMs = 0;

struct AppSettings {
    virtual ~AppSettings() = default;

    std::wstring m_gameName{kDefaultGameName};
    std::int32_t m_holeCards = kDefaultHoleCards;
    std::int64_t m_rounds = kDefaultRounds;
    std::int32_t m_seconds = kDefaultSeconds;
    // Auto: exact when the enumeration is cheap, else sampled; MonteCarlo: always sampled.
    EquityMode m_mode = EquityMode::Auto;
    double m_precision = 0;  // target standard error in points, 0 for none
    std::int32_t m_pauseMs = kDefaultPauseMs;

    // Writes one line to the program's log at level INFO; nothing without an application.
    virtual void logLine(const std::string& /*line*/) {}
};

}  // namespace varnel
