#pragma once
// Game types and the size of a deal: every game deals five board cards; a game is known by its
// number of hole cards and whether it splits each pot between a high and an eight-or-better low.

#include <array>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace varnel {

inline constexpr int kMinHoleCards = 2;
inline constexpr int kMaxHoleCards = 7;
inline constexpr int kBoardCards = 5;
inline constexpr std::wstring_view kDefaultGameName = L"Omaha";
inline constexpr int kDefaultHoleCards = 4;

struct GameType {
    std::wstring_view name;
    std::int32_t holeCards;
    bool family;   // every name starting with `name` is this game too ("Omaha Hi")
    bool offered;  // offered in the game-type dialog; the others come only from the configuration
};

// The known games, the dialog's first: its high games, then its Hi/Lo games, each by hole cards.
inline constexpr std::array<GameType, 10> kGameTypes = {{
    {L"Omaha", 4, true, true},
    {L"5 Card Omaha", 5, false, true},
    {L"6 Card Omaha", 6, true, true},
    {L"7 Card Omaha", 7, false, true},
    {L"Omaha Hi/Lo", 4, false, true},
    {L"5 Card Omaha Hi/Lo", 5, false, true},
    {L"6 Card Omaha Hi/Lo", 6, false, true},
    {L"Hold'em No Limit", 2, false, false},
    {L"Courchevel", 5, false, false},
    {L"Courchevel Hi/Lo", 5, false, false},
}};

// Calls f(std::integral_constant<int, N>{}) with N = holeCount (2 to 7; any other count is
// taken as 7) and returns what it returns: code templated on the hole-card count is chosen once,
// here.
template <class F>
decltype(auto) withHoleCount(int holeCount, F&& f) {
    switch (holeCount) {
        case 2:
            return f(std::integral_constant<int, 2>{});
        case 3:
            return f(std::integral_constant<int, 3>{});
        case 4:
            return f(std::integral_constant<int, 4>{});
        case 5:
            return f(std::integral_constant<int, 5>{});
        case 6:
            return f(std::integral_constant<int, 6>{});
        default:
            return f(std::integral_constant<int, 7>{});
    }
}

// Writes the hole-card count of a recognised game name (exact, case-sensitive: a name of
// kGameTypes, or one starting with a family's name) to `holeCards` and returns true; an
// unrecognised name leaves `holeCards` unchanged and returns false.
bool holeCardsForGame(std::wstring_view name, std::int32_t& holeCards);

// Whether a game splits the pot high/low: its name ends in "Hi/Lo".
constexpr bool isHiLoGame(std::wstring_view name) {
    return name.ends_with(L"Hi/Lo");
}

}  // namespace varnel
