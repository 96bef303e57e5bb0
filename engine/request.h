#pragma once
// The one reader of a calculation: the texts a user gave (game, boards, dead cards, players, run
// parameters) turned into a checked EquityRequest, or into the list of problems that stand in
// its way, each naming its field and saying why in a player's words. The window and the command
// line only show what it finds.

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/equity.h"
#include "engine/parameters.h"

namespace varnel {

// Field name to field text: "B1", "B2", "B3" boards, "D" dead cards, "P 1" ... "P 9", "P10"
// players. In key order the players come 1 to 10.
using CalculationRequest = std::map<std::wstring, std::wstring>;

inline constexpr std::wstring_view kRandomKeyword = L"random";
inline constexpr int kMinFixedBoardCards = 3;

// Most hands the players' ranges may hold together (2 GiB of hand masks): any one range of any
// game fits, and so do two of the largest seven-card ranges that are not every hand.
inline constexpr std::size_t kMaxRequestHands = std::size_t{1} << 28;

// The numbers of a run, checked against the limits of engine/parameters.h.
struct RunParameters {
    EquityMode mode = EquityMode::Auto;
    std::int64_t rounds = kDefaultRounds;
    std::int32_t seconds = kDefaultSeconds;  // 0: no limit
    double precision = 0;                    // target standard error in points, 0 for none
    std::int32_t pauseMs = 0;                // after each Monte Carlo progress step
    int threads = 1;
    std::optional<std::uint32_t> seed;
};

struct RequestInput {
    std::wstring game{L"Omaha"};
    CalculationRequest fields;
    RunParameters parameters;
    std::size_t handLimit = kMaxRequestHands;  // most hands of all ranges together
};

struct RequestProblem {
    std::wstring field;    // "P 2", "B1", "Game", "Rounds", ... or "" for the request as a whole
    std::wstring message;  // one line for the user, starting with the field's name
};

// A player as read: its field, its text and how many hands it keeps after the known cards.
struct PlayerField {
    std::wstring key;
    std::wstring text;
    bool random = false;
    std::size_t hands = 0;
};

struct CheckedRequest {
    EquityRequest request;             // complete when `problems` is empty
    std::vector<PlayerField> players;  // in player order
    std::vector<RequestProblem> problems;
    bool stopped = false;  // the stop flag ended the reading (no problems are listed then)

    bool ok() const { return problems.empty() && !stopped; }
    // Every problem's message, one a line.
    std::wstring problemText() const;
};

// Reads `input`. Ranges are expanded here (which may take seconds for the largest seven-card
// ranges); `stop`, when raised, ends the reading between two terms. Never throws for any text;
// out of memory is reported as a problem of the field being read.
CheckedRequest readRequest(const RequestInput& input, const std::atomic<bool>* stop = nullptr);

// Whether the reader takes `game`: a known game (core/game.h) of the Omaha family.
bool playableGame(std::wstring_view game);

// "1,234,567": a count as a player reads it.
std::wstring groupedNumber(std::uint64_t n);

// "1 hand", "1,225 hands": a hand count as the window and the messages write it.
std::wstring handCountText(std::uint64_t hands);

// "P 1" ... "P 9", "P10": the field name of player `number` (1-based).
std::wstring playerFieldName(int number);

}  // namespace varnel
