#include "core/cards.h"

namespace varnel {

CardId cardIdFromCode(std::wstring_view code) {
    for (CardId id = 0; id < kDeckSize; ++id) {
        if (cardCodes[id] == code) return id;
    }
    return kNoCard;
}

CardMask maskFromCards(std::span<const CardId> cards) {
    CardMask mask = 0;
    for (CardId id : cards) mask |= cardBit(id);
    return mask;
}

std::vector<CardId> cardsFromMask(CardMask mask) {
    std::vector<CardId> cards(static_cast<std::size_t>(cardCount(mask)));
    cardsFromMask(mask, cards.data());
    return cards;
}

bool parseCardRun(std::wstring_view text, CardMask& mask, std::wstring* reason) {
    CardMask result = 0;
    for (std::size_t pos = 0; pos + 2 <= text.size(); pos += 2) {
        const std::wstring_view piece = text.substr(pos, 2);
        const CardId id = cardIdFromCode(piece);
        if (id == kNoCard || (result & cardBit(id))) {
            if (reason) {
                *reason = id == kNoCard ? L"\"" + std::wstring(piece) + L"\" is not a card code"
                                        : L"the card " + std::wstring(piece) + L" is given twice";
            }
            return false;
        }
        result |= cardBit(id);
    }
    mask = result;
    return true;
}

}  // namespace varnel
