#pragma once
// Equities with their precision: exact enumeration of every outcome when that is cheap, Monte
// Carlo sampling otherwise. Besides each player's mean pot share a result tells how often the
// player takes the whole pot and how often part of it, and how the run ended.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/cards.h"
#include "core/hand_list.h"

namespace varnel {

inline constexpr int kMaxPlayers = 10;
inline constexpr int kMaxBoards = 2;
inline constexpr int kProgressSteps = 100;  // a progress report every rounds / 100 counted deals

using Boards = std::array<CardMask, kMaxBoards>;

// Called with the number of the progress step (0, 1, 2, ...).
using ProgressCallback = std::function<void(int)>;

struct EquityResult;
// Called with the figures of the deals counted so far.
using PartialCallback = std::function<void(const EquityResult&)>;

enum class EquityMode {
    Auto,        // exact when the enumeration is estimated to take at most kAutoExactSeconds
    Exact,       // every outcome, however long it takes
    MonteCarlo,  // random deals
};

// Estimated seconds on one core up to which the automatic mode enumerates.
inline constexpr double kAutoExactSeconds = 1.0;

// Most Monte Carlo deals a request may ask for: every sum of a run stays exact far below it.
inline constexpr std::int64_t kMaxRounds = 1'000'000'000'000;

// Most memory an enumeration may take (hole-card lists of random players, tables per thread);
// above it the automatic mode samples and the exact mode refuses the request.
inline constexpr std::int64_t kMaxExactBytes = std::int64_t{1} << 30;

enum class RunEnd {
    Finished,          // every outcome, or every requested deal, was counted
    TimeLimit,         // the time limit ended the run first
    PrecisionReached,  // every player's standard error reached the target
    TooRare,           // a long run of discarded deals ended the sampling after some were counted
    Stopped,           // the stop flag was raised
    Rejected,          // invalid or too large a request, or not enough memory (see `reason`)
    NoValidDeal,       // the hands, boards and dead cards leave no outcome that could be counted
    NoTable,           // no evaluator table is attached
};

// "finished", "time limit", "precision reached", "valid deals too rare", "stopped",
// "rejected input", "no valid deal", "no evaluator table".
std::string_view runEndText(RunEnd end);

// "exact", "monte-carlo" (and "auto" for a request).
std::string_view modeText(EquityMode mode);

// The monotonic clock a run reads unless a test gives it another.
std::chrono::steady_clock::time_point steadyNow();

struct EquityRequest {
    int holeCount = 4;
    int playerCount = 2;
    // Each player's hands, or random[p] for a hand dealt at random (its list is then ignored). A
    // list that is empty, or that keeps no hand after the boards, the dead cards and the other
    // players' single hands, is refused.
    std::array<HandList, kMaxPlayers> lists;
    std::array<bool, kMaxPlayers> random{};
    Boards boards{};
    CardMask deadCards = 0;
    EquityMode mode = EquityMode::Auto;
    bool hiLo = false;  // each board split between the best high and the best eight-or-better low
    std::int64_t rounds = 100000;        // Monte Carlo deals to count, 0 .. kMaxRounds
    double seconds = 0;                  // time limit, 0 for none
    double precision = 0;                // Monte Carlo target standard error in points, 0 for none
    std::chrono::milliseconds pause{0};  // after each Monte Carlo progress report
    int threads = 1;
    std::optional<std::uint32_t> seed;  // without one it comes from std::random_device
    // Called with the progress step 0 .. kProgressSteps - 1 on the calling thread.
    ProgressCallback progress;
    // Monte Carlo only: called on the calling thread after each progress report but the first,
    // with the figures so far (end Finished, the deals and seconds so far).
    PartialCallback partial;
    // Raised: the run ends within about 0.1 s, as it does once `seconds` have passed.
    const std::atomic<bool>* stop = nullptr;
    // The clock the time limit is measured on; tests give one that advances on every read.
    std::chrono::steady_clock::time_point (*now)() = &steadyNow;
    // A Monte Carlo run that discards this many deals in a row within a block of deals ends.
    std::int64_t maxConsecutiveDiscards = std::int64_t{1} << 24;
};

struct PlayerEquity {
    double equity = 0;    // mean share of the pot
    double win = 0;       // fraction of outcomes in which the player takes the whole pot
    double tie = 0;       // fraction in which the player takes part of the pot but not all
    double stdError = 0;  // standard error of `equity`; 0 when exact
    // Hi/Lo games only (0 otherwise): mean share of the high halves and of the low halves (no low
    // half on a board without a qualifying low), as fractions of a half, and the fraction of
    // outcomes in which the player takes the whole pot.
    double high = 0;
    double low = 0;
    double scoop = 0;
    // Mean share of each board's pot; with one board board[0] is `equity` and board[1] is 0.
    std::array<double, kMaxBoards> board{};
};

struct EquityResult {
    EquityMode mode = EquityMode::MonteCarlo;  // Exact or MonteCarlo: how the figures were made
    RunEnd end = RunEnd::Finished;
    std::int64_t deals = 0;  // counted deals, or enumerated outcomes
    double seconds = 0;      // calculation time
    std::string reason;      // with Rejected: what was invalid or too large, when known
    int playerCount = 0;
    std::array<PlayerEquity, kMaxPlayers> players{};
};

// "45.27%": a fraction in percent with two decimals.
std::string percentText(double fraction);

// One standard error of a player's equity in points ("+-0.35"); for an enumeration "exact", or
// "partial" when it ended before every outcome was counted.
std::string precisionText(const EquityResult& result, const PlayerEquity& player);

// Computes the equities of a request. Every outcome is one hand from each player's list (each
// hole-card set of the game's size for a random player), minus the dead cards, and a completion
// of each board, no card appearing twice; the exact mode weighs each outcome once and the Monte
// Carlo samples them. Results are the same for any number of threads, and with a seed a Monte
// Carlo run is reproducible whatever the number of threads.
EquityResult computeEquity(const EquityRequest& request);

}  // namespace varnel
