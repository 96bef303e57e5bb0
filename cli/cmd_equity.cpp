// varnel-cli equity [options] PLAYER...: each player's equity, win and tie, exact or sampled.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "cli/commands.h"
#include "core/cards.h"
#include "core/game.h"
#include "engine/equity.h"
#include "engine/parameters.h"
#include "engine/request.h"

namespace varnel::cli {
namespace {

constexpr int kExitInput = 1;
constexpr int kExitTable = 2;
constexpr int kExitNoDeal = 3;

struct Args {
    std::string game = narrow(kDefaultGameName);
    std::string board1, board2, dead;
    std::string rounds = std::to_string(kDefaultRounds);
    std::string seconds = std::to_string(kDefaultSeconds);
    std::string precision, pause = "0";
    EquityMode mode = EquityMode::Auto;
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::int64_t seed = 0;
    bool json = false;
    std::vector<std::string> players;
};

void printResults(const Args& args, const CheckedRequest& checked, const EquityResult& result) {
    const auto& players = checked.players;
    const bool hiLo = checked.request.hiLo;
    const bool twoBoards = checked.request.boards[1] != 0;
    if (!args.json) {
        for (std::size_t p = 0; p < players.size(); ++p) {
            const PlayerEquity& e = result.players[p];
            std::printf("%s\t%s\t%s\t%s\t%s\t%s", narrow(players[p].key).c_str(),
                        narrow(players[p].text).c_str(), percentText(e.equity).c_str(),
                        percentText(e.win).c_str(), percentText(e.tie).c_str(),
                        precisionText(result, e).c_str());
            if (hiLo) {
                std::printf("\t%s\t%s\t%s", percentText(e.high).c_str(), percentText(e.low).c_str(),
                            percentText(e.scoop).c_str());
            }
            if (twoBoards) {
                std::printf("\tB1 %s\tB2 %s", percentText(e.board[0]).c_str(),
                            percentText(e.board[1]).c_str());
            }
            std::printf("\n");
        }
        std::printf("mode\t%s\tdeals\t%lld\tseconds\t%.3lf",
                    std::string(modeText(result.mode)).c_str(),
                    static_cast<long long>(result.deals), result.seconds);
        if (result.end != RunEnd::Finished)
            std::printf("\tended\t%s", std::string(runEndText(result.end)).c_str());
        std::printf("\n");
        return;
    }
    nlohmann::ordered_json out;
    out["game"] = args.game;
    out["holeCards"] = checked.request.holeCount;
    out["board1"] = args.board1;
    out["board2"] = args.board2;
    out["dead"] = args.dead;
    out["mode"] = modeText(result.mode);
    out["status"] = runEndText(result.end);
    out["players"] = nlohmann::ordered_json::array();
    for (std::size_t p = 0; p < players.size(); ++p) {
        const PlayerEquity& e = result.players[p];
        out["players"].push_back({{"field", narrow(players[p].key)},
                                  {"text", narrow(players[p].text)},
                                  {"equity", e.equity},
                                  {"percent", percentText(e.equity)},
                                  {"win", e.win},
                                  {"tie", e.tie},
                                  {"stderr", e.stdError}});
        if (hiLo) {
            auto& player = out["players"].back();
            player["high"] = e.high;
            player["low"] = e.low;
            player["scoop"] = e.scoop;
        }
        if (twoBoards) out["players"].back()["boards"] = {e.board[0], e.board[1]};
    }
    out["deals"] = result.deals;
    out["seconds"] = result.seconds;
    std::printf("%s\n", out.dump(2).c_str());
}

// The options and players as the reader's input; texts that are no numbers go to `problems`.
RequestInput requestInput(const Args& args, bool seeded, std::vector<std::wstring>& problems) {
    bool ascii = true;
    RequestInput input;
    input.game = widen(args.game, ascii);
    auto put = [&](const wchar_t* key, const std::string& text) {
        if (!text.empty()) input.fields[key] = widen(text, ascii);
    };
    put(L"B1", args.board1);
    put(L"B2", args.board2);
    put(L"D", args.dead);
    for (std::size_t p = 0; p < args.players.size(); ++p) {
        // An empty argument is a player the user meant to give: it must not shift the others.
        const std::wstring text = args.players[p].empty() ? L" " : widen(args.players[p], ascii);
        input.fields[playerFieldName(static_cast<int>(p) + 1)] = text;
    }
    RunParameters& parameters = input.parameters;
    auto read = [&](const char* option, const std::string& text, const auto& reading, auto& value) {
        if (reading) {
            value = *reading.value;
        } else {
            problems.push_back(widen(option, ascii) + L": '" + widen(text, ascii) + L"' " +
                               reading.problem);
        }
    };
    read("--rounds", args.rounds, readRounds(widen(args.rounds, ascii)), parameters.rounds);
    read("--seconds", args.seconds, readSeconds(widen(args.seconds, ascii)), parameters.seconds);
    read("--precision", args.precision, readPrecision(widen(args.precision, ascii)),
         parameters.precision);
    read("--pause", args.pause, readPause(widen(args.pause, ascii)), parameters.pauseMs);
    parameters.mode = args.mode;
    parameters.threads = args.threads;
    if (seeded) parameters.seed = static_cast<std::uint32_t>(args.seed);
    return input;
}

// Runs the command; returns the exit code.
int runEquity(const Args& args, bool seeded, CliContext& ctx) {
    std::vector<std::wstring> problems;
    const RequestInput input = requestInput(args, seeded, problems);
    const CheckedRequest checked = readRequest(input);
    for (const RequestProblem& problem : checked.problems) problems.push_back(problem.message);
    if (!problems.empty()) {
        for (const std::wstring& line : problems)
            std::fprintf(stderr, "error: %s\n", narrow(line).c_str());
        return kExitInput;
    }
    if (!loadTableOrComplain(ctx)) return kExitTable;
    const EquityResult result = computeEquity(checked.request);
    if (result.end == RunEnd::Rejected) {
        std::fprintf(stderr, "error: rejected input: %s\n", result.reason.c_str());
        return kExitInput;
    }
    if (result.end == RunEnd::NoValidDeal) {
        std::fprintf(stderr,
                     "error: no deal of these hands, boards and dead cards can be counted: "
                     "every combination of the players' hands shares a card\n");
        return kExitNoDeal;
    }
    printResults(args, checked, result);
    return 0;
}

}  // namespace

void addEquityCommand(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "equity",
        "Each player's equity, win and tie, enumerated exactly when that is cheap, else by Monte "
        "Carlo simulation; players are hands, ranges or \"random\"");
    cmd->add_option("--game", args->game, "Game name, which sets the hole cards")
        ->capture_default_str();
    cmd->add_option("--board1", args->board1, "Fixed cards of board 1 (3 to 5), e.g. AsKd7h");
    cmd->add_option("--board2", args->board2, "Fixed cards of board 2 (as many as board 1)");
    cmd->add_option("--dead", args->dead, "Cards that are never dealt");
    cmd->add_option("--rounds", args->rounds, "Monte Carlo deals to count (1 to 10^12)")
        ->capture_default_str();
    cmd->add_option("--mode", args->mode,
                    "auto (exact when estimated at most 1 s on one core), exact or mc")
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, EquityMode>{{"auto", EquityMode::Auto},
                                              {"exact", EquityMode::Exact},
                                              {"mc", EquityMode::MonteCarlo}}));
    cmd->add_option("--precision", args->precision,
                    "Stop sampling once every standard error is at most this many points (0-100)");
    cmd->add_option("--pause", args->pause,
                    "Pause after each progress step, in milliseconds (0-10000)")
        ->capture_default_str();
    cmd->add_option("--seconds", args->seconds, "Time limit in whole seconds (0: none)")
        ->capture_default_str();
    cmd->add_option("--threads", args->threads, "Threads of the calculation (1-256)")
        ->capture_default_str();
    CLI::Option* seed = cmd->add_option("--seed", args->seed, "Seed for a reproducible run")
                            ->check(CLI::Range(std::int64_t{0}, std::int64_t{0xffffffff}));
    cmd->add_flag("--json", args->json, "Print the result as one JSON object");
    cmd->add_option("PLAYER", args->players, "Up to ten players: hands, ranges or \"random\"")
        ->required();
    cmd->callback([args, seed, &ctx] { ctx.exitCode = runEquity(*args, seed->count() > 0, ctx); });
}

}  // namespace varnel::cli
