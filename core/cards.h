#pragma once
// Cards in three forms:
//  - card code: two wide characters, rank from "23456789TJQKA" then suit from "cdhs" ("As", "Td");
//  - CardId: rank index (2 = 0 ... A = 12) + 13 * suit index (c = 0, d = 1, h = 2, s = 3),
//    so clubs come first (2c = 0 ... Ac = 12) and spades last (2s = 39 ... As = 51); -1 is no card;
//  - CardMask: a 64-bit set with bit k set for the card whose CardId is k (bits 52..63 never set).
// Hands, boards and dealt cards are masks; two masks conflict when their AND is non-zero.

#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

using CardId = std::int32_t;
using CardMask = std::uint64_t;

inline constexpr int kRanks = 13;
inline constexpr int kSuits = 4;
inline constexpr int kDeckSize = kRanks * kSuits;
inline constexpr CardId kNoCard = -1;
inline constexpr CardMask kFullDeck = (CardMask{1} << kDeckSize) - 1;

inline constexpr std::wstring_view kRankChars = L"23456789TJQKA";
inline constexpr std::wstring_view kSuitChars = L"cdhs";

constexpr int rankOf(CardId id) {
    return id % kRanks;
}
constexpr int suitOf(CardId id) {
    return id / kRanks;
}
constexpr CardId makeCard(int rank, int suit) {
    return rank + kRanks * suit;
}
constexpr CardMask cardBit(CardId id) {
    return CardMask{1} << id;
}
constexpr int cardCount(CardMask mask) {
    return std::popcount(mask);
}

namespace detail {
struct CodeTable {
    wchar_t chars[kDeckSize][3] = {};
    constexpr CodeTable() {
        for (int id = 0; id < kDeckSize; ++id) {
            chars[id][0] = kRankChars[rankOf(id)];
            chars[id][1] = kSuitChars[suitOf(id)];
        }
    }
};
inline constexpr CodeTable kCodeTable{};

constexpr std::array<std::wstring_view, kDeckSize> makeCardCodes() {
    std::array<std::wstring_view, kDeckSize> codes{};
    for (int id = 0; id < kDeckSize; ++id) codes[id] = std::wstring_view(kCodeTable.chars[id], 2);
    return codes;
}
}  // namespace detail

// The 52 card codes indexed by CardId: "2c", "3c", ... "Ac", "2d", ... "As".
inline constexpr std::array<std::wstring_view, kDeckSize> cardCodes = detail::makeCardCodes();

// The 18 wildcard codes used only by hand patterns: "Xc".."Xs" (a suit, any rank),
// "2x".."Ax" (a rank, any suit), "Xx" (any card). They are never card codes.
inline constexpr int kWildcardCount = 18;
inline constexpr std::array<std::wstring_view, kWildcardCount> wildcardCodes = {
    L"Xc", L"Xd", L"Xh", L"Xs", L"2x", L"3x", L"4x", L"5x", L"6x",
    L"7x", L"8x", L"9x", L"Tx", L"Jx", L"Qx", L"Kx", L"Ax", L"Xx"};

// Returns the CardId of an exact, case-sensitive card code, or -1 (kNoCard) for anything else,
// wildcard codes included.
CardId cardIdFromCode(std::wstring_view code);

// Number of ways to choose k of n (0 when k is outside 0..n); exact for every n up to 62.
constexpr std::uint64_t binomial(int n, int k) {
    if (k < 0 || k > n) return 0;
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i) r = r * static_cast<std::uint64_t>(n - k + i) / i;
    return r;
}

// OR of the bits of the listed cards; every entry must be a valid CardId (0..51).
CardMask maskFromCards(std::span<const CardId> cards);

// The cards of a mask in ascending CardId order.
std::vector<CardId> cardsFromMask(CardMask mask);

// Allocation-free form for hot code: writes the cards of `mask` in ascending order to `out`
// (which must have room for cardCount(mask) entries) and returns their number.
inline int cardsFromMask(CardMask mask, CardId* out) {
    int n = 0;
    while (mask) {
        out[n++] = std::countr_zero(mask);
        mask &= mask - 1;
    }
    return n;
}

// Reads a run of concatenated card codes ("AsKd7h"); a trailing single character is ignored.
// Returns false, leaving `mask` alone, when a piece is not a card code or a card repeats; then
// `reason` (when given) receives why: "\"Kx\" is not a card code", "the card As is given twice".
bool parseCardRun(std::wstring_view text, CardMask& mask, std::wstring* reason = nullptr);

}  // namespace varnel
