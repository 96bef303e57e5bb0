#pragma once
// The calculation request: the window's fields by name, read into one hand list per player, two
// boards and the dead cards, then simulated.

#include <array>
#include <cstdint>
#include <future>
#include <map>
#include <string>
#include <vector>

#include "core/hand_list.h"
#include "engine/simulation.h"
#include "eval/omaha_eval.h"

namespace varnel {

// Field name to field text, in key order: "B1", "B2" boards, "D" dead cards, "P 1" ... "P10"
// players (any key starting with "P" is a player).
using CalculationRequest = std::map<std::wstring, std::wstring>;

// A board text is read when it holds 3 to 5 cards (kBoardCards).
inline constexpr int kMinFixedBoardCards = 3;

// How a player's text was read.
struct PlayerReading {
    std::wstring key;
    std::wstring text;
    bool random = false;     // the keyword "random"
    std::int32_t hands = 0;  // hands of its range; -1 when the text does not parse
};

struct CalculationDiagnostics {
    std::vector<PlayerReading> players;  // the players kept, in player order
    std::vector<std::wstring> messages;  // fields that were rejected, and why
    SimulationReport simulation;
};

// A request read into the simulation's inputs.
struct PreparedCalculation {
    std::int32_t holeCount = 0;
    std::uint32_t playerCount = 0;  // player entries with a value (may exceed kMaxPlayers)
    std::array<HandList, kMaxPlayers> lists;
    Boards boards{};
    CardMask deadCards = 0;
    CalculationDiagnostics diagnostics;
};

// Reads `request` for a game of `holeCount` hole cards: players in key order (empty values
// skipped, "random" an empty list, other texts through the range language), "B1"/"B2" boards of
// 3 to 5 card codes, "D" dead cards. A board or "D" text holding a piece that is not a card code,
// or a repeated card, is not used; the reason goes to the diagnostics.
PreparedCalculation readCalculationRequest(const CalculationRequest& request,
                                           std::int32_t holeCount);

// Simulates a prepared request; writes kMaxPlayers results (0 beyond the players) and returns
// the number of deals counted. `options.deadCards` is replaced by the request's dead cards.
std::int32_t simulatePrepared(const PreparedCalculation& prepared, std::int32_t rounds,
                              std::int32_t seconds, const ProgressCallback& progress,
                              SimulationOptions options, double* results,
                              SimulationReport* report = nullptr);

// Reads the request, simulates it and writes one equity per player to `results` (room for
// kMaxPlayers values) and the number of player entries to `playerCount`; then fulfils `done`
// when given. Always returns 1. Rejected fields are told through `diagnostics` when given,
// otherwise through reportToUser.
std::int32_t runCalculation(std::int32_t rounds, std::int32_t seconds,
                            const CalculationRequest& request, std::int32_t holeCount,
                            std::uint32_t& playerCount, double* results,
                            const ProgressCallback& progress, std::promise<void>* done,
                            const SimulationOptions& options = {},
                            CalculationDiagnostics* diagnostics = nullptr);

}  // namespace varnel
