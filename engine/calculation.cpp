#include "engine/calculation.h"

#include <algorithm>
#include <cwctype>

#include "range/range_expression.h"

namespace varnel {
namespace {

constexpr std::wstring_view kRandomKeyword = L"random";

// The rest of a board key read as a decimal number the way atoi does (leading blanks skipped,
// an optional sign, digits up to the first non-digit; none gives 0), without overflowing.
long boardNumber(std::wstring_view rest) {
    std::size_t i = 0;
    while (i < rest.size() && std::iswspace(static_cast<wint_t>(rest[i]))) ++i;
    bool negative = false;
    if (i < rest.size() && (rest[i] == L'+' || rest[i] == L'-')) negative = rest[i++] == L'-';
    long value = 0;
    for (; i < rest.size() && rest[i] >= L'0' && rest[i] <= L'9'; ++i) {
        value = std::min(value * 10 + (rest[i] - L'0'), 1000L);
    }
    return negative ? -value : value;
}

void tell(CalculationDiagnostics& diagnostics, const std::wstring& key, const std::wstring& text,
          const std::wstring& what) {
    diagnostics.messages.push_back(L"Field \"" + key + L"\" (\"" + text + L"\"): " + what);
}

}  // namespace

PreparedCalculation readCalculationRequest(const CalculationRequest& request,
                                           std::int32_t holeCount) {
    PreparedCalculation prepared;
    prepared.holeCount = holeCount;
    for (HandList& list : prepared.lists) list.numCards = holeCount;
    CalculationDiagnostics& diagnostics = prepared.diagnostics;
    for (const auto& [key, value] : request) {
        if (value.empty() || key.empty()) continue;
        if (key[0] == L'P') {
            if (prepared.playerCount < kMaxPlayers) {
                PlayerReading reading{key, value};
                HandList& list = prepared.lists[prepared.playerCount];
                if (value == kRandomKeyword) {
                    reading.random = true;
                } else {
                    reading.hands = parseRangeExpression(value, holeCount, list);
                    if (reading.hands < 0) list.hands.clear();
                }
                diagnostics.players.push_back(std::move(reading));
            }
            ++prepared.playerCount;
        } else if (key[0] == L'B') {
            const long number = boardNumber(std::wstring_view(key).substr(1));
            if (number != 1 && number != 2) continue;
            const std::size_t cards = value.size() / 2;
            if (cards < kMinFixedBoardCards || cards > kBoardCards) continue;
            CardMask board = 0;
            std::wstring reason;
            if (!parseCardRun(value, board, &reason)) {
                tell(diagnostics, key, value, reason + L"; the board is left out");
                continue;
            }
            prepared.boards[number - 1] = board;
        } else if (key == L"D") {
            CardMask dead = 0;
            std::wstring reason;
            if (!parseCardRun(value, dead, &reason)) {
                tell(diagnostics, key, value, reason + L"; no card is taken as dead");
                continue;
            }
            prepared.deadCards = dead;
        }
    }
    return prepared;
}

}  // namespace varnel
