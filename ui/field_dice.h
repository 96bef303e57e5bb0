#pragma once
// What the dice beside a field writes. A player gets "random". A board gets real cards, so that
// it stays a board the reader accepts: B1 a flop of cards no field holds, or, when it holds a
// flop or a turn already, the next street's card; B2 as many cards as B1 holds (a flop while B1
// holds no board). B3 and the dead cards have no dice: a dead card is a card the user knows.

#include <wx/string.h>

#include <map>
#include <random>

namespace varnel {

// Whether the field `name` has a working dice.
bool hasDice(const wxString& name);

// The text the dice of `name` writes, given every field's text; empty when it writes nothing
// (no dice, or too few cards left). Cards named in the other fields are not dealt.
wxString diceText(const wxString& name, const std::map<wxString, wxString>& texts,
                  std::mt19937_64& random);

}  // namespace varnel
