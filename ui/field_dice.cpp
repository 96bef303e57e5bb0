#include "ui/field_dice.h"

#include <bit>
#include <vector>

#include "core/cards.h"
#include "core/game.h"
#include "ui/card_picker.h"

namespace varnel {
namespace {

constexpr int kFlopCards = 3;

// The cards of a board text, or 0 when it is not a run of 3 to 5 different cards.
CardMask boardOf(const wxString& text) {
    CardMask cards = 0;
    if (!parseCardRun(text.ToStdWstring(), cards)) return 0;
    const int n = cardCount(cards);
    return n >= kFlopCards && n <= kBoardCards ? cards : 0;
}

// `count` different cards outside `used`, in random order, as one text; empty when too few.
wxString deal(CardMask used, int count, std::mt19937_64& random) {
    std::vector<CardId> free;
    for (CardId c = 0; c < kDeckSize; ++c)
        if (!(used & cardBit(c))) free.push_back(c);
    if (static_cast<int>(free.size()) < count) return {};
    wxString text;
    for (int i = 0; i < count; ++i) {
        std::uniform_int_distribution<std::size_t> pick(i, free.size() - 1);
        std::swap(free[i], free[pick(random)]);
        text += wxString(std::wstring(cardCodes[free[i]]));
    }
    return text;
}

}  // namespace

bool hasDice(const wxString& name) {
    return name != "D" && name != "B3";
}

wxString diceText(const wxString& name, const std::map<wxString, wxString>& texts,
                  std::mt19937_64& random) {
    if (!hasDice(name)) return {};
    if (!name.StartsWith("B")) return "random";
    auto textOf = [&](const wxString& field) {
        auto it = texts.find(field);
        return it == texts.end() ? wxString() : it->second;
    };
    // A board that grows keeps its cards; one that is dealt anew frees them.
    const CardMask own = boardOf(textOf(name));
    const bool grows = name == "B1" && own && cardCount(own) < kBoardCards;
    CardMask used = grows ? own : 0;
    for (const auto& [field, text] : texts) {
        if (field == name) continue;
        for (const wxString& code : CardPicker::namedCards(text))
            used |= cardBit(cardIdFromCode(code.ToStdWstring()));
    }
    if (grows) return textOf(name) + deal(used, 1, random);
    if (name == "B1") return deal(used, kFlopCards, random);
    const CardMask first = boardOf(textOf("B1"));
    return deal(used, first ? cardCount(first) : kFlopCards, random);
}

}  // namespace varnel
