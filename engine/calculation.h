#pragma once
// The calculation request: the window's fields by name, read into one hand list per player, two
// boards and the dead cards.

#include <array>
#include <cstdint>
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

}  // namespace varnel
