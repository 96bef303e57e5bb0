#pragma once
// Game types and the size of a deal: every game deals five board cards, and the only property of a
// game the program uses is its number of hole cards.

#include <cstdint>
#include <string_view>

namespace varnel {

inline constexpr int kMinHoleCards = 2;
inline constexpr int kMaxHoleCards = 7;
inline constexpr int kBoardCards = 5;
inline constexpr std::wstring_view kDefaultGameName = L"Omaha";
inline constexpr int kDefaultHoleCards = 4;

// Writes the hole-card count of a recognised game name (exact, case-sensitive) to `holeCards`
// and returns true; an unrecognised name leaves `holeCards` unchanged and returns false.
// "5 Card Omaha"(+" Hi/Lo") 5, names starting "Omaha" 4, "Hold'em No Limit" 2,
// "Courchevel"(+" Hi/Lo") 5, names starting "6 Card Omaha" 6, "7 Card Omaha" 7.
bool holeCardsForGame(std::wstring_view name, std::int32_t& holeCards);

}  // namespace varnel
