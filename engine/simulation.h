#pragma once
// Monte Carlo equity simulation: deals the missing cards many times, evaluates every player on
// every board and credits each board's winners 1/k each.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "core/cards.h"
#include "core/hand_list.h"

namespace varnel {

inline constexpr int kMaxPlayers = 10;
inline constexpr int kMaxOtherPlayers = kMaxPlayers - 1;
inline constexpr int kMaxBoards = 2;
inline constexpr int kProgressSteps = 100;  // a progress report every rounds / 100 counted deals

using Boards = std::array<CardMask, kMaxBoards>;

// Called on the simulating thread with the number of the progress step (0, 1, 2, ...).
using ProgressCallback = std::function<void(int)>;

enum class SimulationStatus {
    Finished,     // the requested deals were counted, or the time limit ended the run
    Rejected,     // player count, board card counts, hole-card count or an over-long single hand
    NoValidDeal,  // the hands, boards and dead cards leave no deal that could be counted
    NoTable,      // no evaluator table is attached: nothing was evaluated
};

// Short text of a status for messages: "finished", "rejected input", "no valid deal",
// "no evaluator table".
std::string_view statusText(SimulationStatus status);

struct SimulationOptions {
    // Pause after each progress report; it leaves the window's thread time to repaint.
    std::chrono::milliseconds progressPause{100};
    // Seed of the generator (MersenneTwister, engine/mersenne_twister.h); without one it comes
    // from std::random_device.
    std::optional<std::uint32_t> seed;
    // Cards that are never dealt; hands holding one are dropped from the candidate lists.
    CardMask deadCards = 0;
    // A run that discards this many deals in a row ends (with NoValidDeal when none was counted).
    std::int64_t maxConsecutiveDiscards = std::int64_t{1} << 24;
};

struct SimulationReport {
    SimulationStatus status = SimulationStatus::Finished;
    std::int32_t countedDeals = 0;
    std::int64_t discardedDeals = 0;
};

// Estimates the equities of player 0 (`firstList`, returned) and players 1 ... otherCount
// (`otherLists`, written to `otherResults`) with `holeCount` (2..7) hole cards each. An empty list
// means a random hand; board 1 holds 0 to 5 fixed cards, board 2 nothing or as many as board 1.
// Counts up to `rounds` deals (overwritten with the number counted) and stops after the first
// counted deal at which more than `seconds` (0: no limit) have passed. Reports progress at 0,
// step, 2 * step, ... counted deals (step = rounds / 100), pausing after each report. Deals in
// which list hands collide are discarded; random hands avoid the cards in play when every hand
// has holeCount cards (else collisions discard them too). Board-count mismatch or otherCount
// outside 1..9 return 0 with nothing written; every other outcome writes all equities (0 when no
// deal was counted). `report`, when given, receives the outcome.
double simulateEquity(std::int32_t holeCount, const HandList& firstList, const Boards& boards,
                      const HandList* otherLists, std::int32_t otherCount, double* otherResults,
                      std::int32_t& rounds, std::int32_t seconds, const ProgressCallback& progress,
                      const SimulationOptions& options = {}, SimulationReport* report = nullptr);

}  // namespace varnel
