#pragma once
// The options of a calculation as the equity and breakdown commands take them: the game, boards,
// dead cards, run parameters and players, read into an EquityRequest through the one request
// reader. A batch line of `equity --batch` is read by the same options.

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/equity.h"
#include "engine/request.h"

namespace varnel::cli {

inline constexpr int kExitInput = 1;
inline constexpr int kExitTable = 2;
inline constexpr int kExitNoDeal = 3;

struct EquityArgs {
    std::string game;
    std::string board1, board2, dead;
    std::string rounds, seconds, precision, pause;
    EquityMode mode = EquityMode::Auto;
    int threads = 1;
    std::int64_t seed = 0;
    bool seeded = false;  // --seed was given
    bool json = false;
    std::vector<std::string> players;

    // The defaults: the default game, rounds and seconds, all cores.
    EquityArgs();
};

// Adds the calculation's options and the PLAYER arguments (required when `playersRequired`) to
// `cmd`, writing into `args`, which must outlive the command. --seed sets `args.seeded` too.
void addCalculationOptions(CLI::App& cmd, EquityArgs& args, bool playersRequired = true);

// Reads `args` through readRequest. The problems (texts that are no numbers, then the reader's)
// come back one a line in `problems`; the request is usable when there are none.
CheckedRequest readCalculation(const EquityArgs& args, std::vector<std::wstring>& problems);

// Prints `problems` to standard error ("error: ..." lines).
void printProblems(const std::vector<std::wstring>& problems);

// The message for a run that computeEquity refused or could not count, "" otherwise, and the
// exit status that goes with it.
std::string runProblem(const EquityResult& result, int& exitCode);

}  // namespace varnel::cli
