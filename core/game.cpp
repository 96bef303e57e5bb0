#include "core/game.h"

namespace varnel {

bool holeCardsForGame(std::wstring_view name, std::int32_t& holeCards) {
    for (const GameType& game : kGameTypes) {
        if (name == game.name || (game.family && name.starts_with(game.name))) {
            holeCards = game.holeCards;
            return true;
        }
    }
    return false;
}

}  // namespace varnel
