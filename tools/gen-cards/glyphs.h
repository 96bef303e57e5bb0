#pragma once
// Pixel glyphs for the card and button images: '#' is ink, anything else is background.

#include <vector>

namespace varnel::glyphs {

struct Glyph {
    int width;
    int height;
    const char* const* rows;
    bool on(int x, int y) const { return rows[y][x] == '#'; }
};

// The glyphs that spell a rank (rank index 0 = "2" ... 12 = "A"); the ten is spelled "10".
std::vector<const Glyph*> rankGlyphs(int rank);

// The 7 x 7 symbol of a suit (suit index 0 = clubs ... 3 = spades).
const Glyph& suitGlyph(int suit);

// Button symbols: a die face (random), an arrow (select), a cross (clear).
const Glyph& die();
const Glyph& arrow();
const Glyph& cross();

}  // namespace varnel::glyphs
