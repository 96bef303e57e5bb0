#include "core/game.h"

namespace varnel {

bool holeCardsForGame(std::wstring_view name, std::int32_t& holeCards) {
    bool matched = true;
    // The first group is exclusive; the last two tests may override it.
    if (name == L"5 Card Omaha" || name == L"5 Card Omaha Hi/Lo") {
        holeCards = 5;
    } else if (name.substr(0, 5) == L"Omaha") {
        holeCards = 4;
    } else if (name == L"Hold'em No Limit") {
        holeCards = 2;
    } else if (name == L"Courchevel" || name == L"Courchevel Hi/Lo") {
        holeCards = 5;
    } else {
        matched = false;
    }
    if (name.substr(0, 12) == L"6 Card Omaha") {
        holeCards = 6;
        matched = true;
    }
    if (name == L"7 Card Omaha") {
        holeCards = 7;
        matched = true;
    }
    return matched;
}

}  // namespace varnel
