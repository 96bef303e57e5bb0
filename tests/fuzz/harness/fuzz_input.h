#pragma once
// The input of the range fuzz targets: the first byte picks the hand size, the rest is the text,
// one character per byte (bytes above 127 test the refusal of characters outside ASCII). A
// broken property stops the run with the input saved (libFuzzer reports it as a crash).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/cards.h"

namespace varnel::fuzz {

struct Input {
    int numCards = 0;
    std::wstring text;
};

inline Input readInput(const std::uint8_t* data, std::size_t size, int smallest, int sizes) {
    Input in;
    in.numCards = smallest + data[0] % sizes;
    for (std::size_t i = 1; i < size; ++i) in.text.push_back(static_cast<wchar_t>(data[i]));
    return in;
}

inline void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    __builtin_trap();
}

// Every hand holds real cards only.
inline void requireRealCards(const std::vector<CardMask>& hands) {
    for (CardMask hand : hands) require((hand & ~kFullDeck) == 0 && hand != 0, "a hand of cards");
}

}  // namespace varnel::fuzz
