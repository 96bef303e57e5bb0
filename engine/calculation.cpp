#include "engine/calculation.h"

#include <algorithm>
#include <cwctype>
#include <exception>

#include "core/report.h"
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

std::int32_t simulatePrepared(const PreparedCalculation& prepared, std::int32_t rounds,
                              std::int32_t seconds, const ProgressCallback& progress,
                              SimulationOptions options, double* results,
                              SimulationReport* report) {
    std::fill(results, results + kMaxPlayers, 0.0);
    options.deadCards = prepared.deadCards;
    // Lists of the players after the tenth are not kept; the simulation rejects such a count.
    const auto others = static_cast<std::int32_t>(std::min<std::uint32_t>(
                            prepared.playerCount, static_cast<std::uint32_t>(kMaxPlayers) + 1)) -
                        1;
    std::int32_t counted = rounds;
    SimulationReport local;
    results[0] = simulateEquity(prepared.holeCount, prepared.lists[0], prepared.boards,
                                prepared.lists.data() + 1, others, results + 1, counted, seconds,
                                progress, options, report ? report : &local);
    return (report ? *report : local).countedDeals;
}

std::int32_t runCalculation(std::int32_t rounds, std::int32_t seconds,
                            const CalculationRequest& request, std::int32_t holeCount,
                            std::uint32_t& playerCount, double* results,
                            const ProgressCallback& progress, std::promise<void>* done,
                            const SimulationOptions& options, CalculationDiagnostics* diagnostics) {
    playerCount = 0;
    std::fill(results, results + kMaxPlayers, 0.0);
    CalculationDiagnostics local;
    CalculationDiagnostics& out = diagnostics ? *diagnostics : local;
    try {
        const ProgressCallback progressCopy = progress;
        PreparedCalculation prepared = readCalculationRequest(request, holeCount);
        playerCount = prepared.playerCount;
        simulatePrepared(prepared, rounds, seconds, progressCopy, options, results,
                         &prepared.diagnostics.simulation);
        out = std::move(prepared.diagnostics);
    } catch (const std::exception& e) {
        // The caller waits for `done` only: it must come on every path.
        std::fill(results, results + kMaxPlayers, 0.0);
        const std::string what = e.what();
        out.messages.push_back(L"The calculation failed: " +
                               std::wstring(what.begin(), what.end()));
    }
    if (!diagnostics) {
        for (const std::wstring& message : out.messages) reportToUser(message);
    }
    if (done) done->set_value();
    return 1;
}

}  // namespace varnel
