#pragma once
// The application settings that the windows read and change: the game, its number of hole cards
// and the two limits of a calculation. The application object carries them (it derives from
// AppSettings as well as from wxApp); windows reach them through appSettings().

#include <cstdint>
#include <string>

#include "core/game.h"

namespace varnel {

inline constexpr std::int32_t kDefaultRounds = 10000;
inline constexpr std::int32_t kDefaultSeconds = 10;

struct AppSettings {
    virtual ~AppSettings() = default;

    std::wstring m_gameName{kDefaultGameName};
    std::int32_t m_holeCards = kDefaultHoleCards;
    std::int32_t m_rounds = kDefaultRounds;
    std::int32_t m_seconds = kDefaultSeconds;
};

// The settings of the running application object, or a process-wide set of defaults when the
// application object carries none. UI thread only.
AppSettings& appSettings();

// The C library's reading of leading decimal digits (leading blanks and a sign allowed, no digits
// give 0), clamped to the 32-bit range instead of overflowing.
std::int32_t leadingNumber(const std::wstring& text);

}  // namespace varnel
