// varnel-cli equity [options] PLAYER...: each player's equity, win and tie, exact or sampled;
// with --batch FILE, one such spot per line of the file, one JSON object per line out.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "cli/commands.h"
#include "cli/equity_options.h"
#include "core/cards.h"
#include "core/game.h"
#include "engine/equity.h"
#include "engine/parameters.h"
#include "engine/request.h"

namespace varnel::cli {

EquityArgs::EquityArgs()
    : game(narrow(kDefaultGameName)),
      rounds(std::to_string(kDefaultRounds)),
      seconds(std::to_string(kDefaultSeconds)),
      pause("0"),
      threads(static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))) {}

void addCalculationOptions(CLI::App& cmd, EquityArgs& args, bool playersRequired) {
    cmd.add_option("--game", args.game, "Game name, which sets the hole cards")
        ->capture_default_str();
    cmd.add_option("--board1", args.board1, "Fixed cards of board 1 (3 to 5), e.g. AsKd7h");
    cmd.add_option("--board2", args.board2, "Fixed cards of board 2 (as many as board 1)");
    cmd.add_option("--dead", args.dead, "Cards that are never dealt");
    cmd.add_option("--rounds", args.rounds, "Monte Carlo deals to count (1 to 10^12)")
        ->capture_default_str();
    cmd.add_option("--mode", args.mode,
                   "auto (exact when estimated at most 1 s on one core), exact or mc")
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, EquityMode>{{"auto", EquityMode::Auto},
                                              {"exact", EquityMode::Exact},
                                              {"mc", EquityMode::MonteCarlo}}));
    cmd.add_option("--precision", args.precision,
                   "Stop sampling once every standard error is at most this many points (0-100)");
    cmd.add_option("--pause", args.pause,
                   "Pause after each progress step, in milliseconds (0-10000)")
        ->capture_default_str();
    cmd.add_option("--seconds", args.seconds, "Time limit in whole seconds (0: none)")
        ->capture_default_str();
    cmd.add_option("--threads", args.threads, "Threads of the calculation (1-256)")
        ->capture_default_str();
    cmd.add_option("--seed", args.seed, "Seed for a reproducible run")
        ->check(CLI::Range(std::int64_t{0}, std::int64_t{0xffffffff}))
        ->each([&args](const std::string&) { args.seeded = true; });
    cmd.add_flag("--json", args.json, "Print the result as one JSON object");
    CLI::Option* players =
        cmd.add_option("PLAYER", args.players, "Up to ten players: hands, ranges or \"random\"");
    if (playersRequired) players->required();
}

namespace {

// The options and players as the reader's input; texts that are no numbers go to `problems`.
RequestInput requestInput(const EquityArgs& args, std::vector<std::wstring>& problems) {
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
    if (args.seeded) parameters.seed = static_cast<std::uint32_t>(args.seed);
    return input;
}

}  // namespace

CheckedRequest readCalculation(const EquityArgs& args, std::vector<std::wstring>& problems) {
    const RequestInput input = requestInput(args, problems);
    CheckedRequest checked = readRequest(input);
    for (const RequestProblem& problem : checked.problems) problems.push_back(problem.message);
    return checked;
}

void printProblems(const std::vector<std::wstring>& problems) {
    for (const std::wstring& line : problems)
        std::fprintf(stderr, "error: %s\n", narrow(line).c_str());
}

std::string runProblem(const EquityResult& result, int& exitCode) {
    if (result.end == RunEnd::Rejected) {
        exitCode = kExitInput;
        return "rejected input: " + result.reason;
    }
    if (result.end == RunEnd::NoValidDeal) {
        exitCode = kExitNoDeal;
        return "no deal of these hands, boards and dead cards can be counted: every combination "
               "of the players' hands shares a card";
    }
    exitCode = 0;
    return {};
}

namespace {

void printTable(const CheckedRequest& checked, const EquityResult& result) {
    const auto& players = checked.players;
    for (std::size_t p = 0; p < players.size(); ++p) {
        const PlayerEquity& e = result.players[p];
        std::printf("%s\t%s\t%s\t%s\t%s\t%s", narrow(players[p].key).c_str(),
                    narrow(players[p].text).c_str(), percentText(e.equity).c_str(),
                    percentText(e.win).c_str(), percentText(e.tie).c_str(),
                    precisionText(result, e).c_str());
        if (checked.request.hiLo) {
            std::printf("\t%s\t%s\t%s", percentText(e.high).c_str(), percentText(e.low).c_str(),
                        percentText(e.scoop).c_str());
        }
        if (checked.request.boards[1] != 0) {
            std::printf("\tB1 %s\tB2 %s", percentText(e.board[0]).c_str(),
                        percentText(e.board[1]).c_str());
        }
        std::printf("\n");
    }
    std::printf("mode\t%s\tdeals\t%lld\tseconds\t%.3lf", std::string(modeText(result.mode)).c_str(),
                static_cast<long long>(result.deals), result.seconds);
    if (result.end != RunEnd::Finished)
        std::printf("\tended\t%s", std::string(runEndText(result.end)).c_str());
    std::printf("\n");
}

nlohmann::ordered_json resultJson(const EquityArgs& args, const CheckedRequest& checked,
                                  const EquityResult& result) {
    nlohmann::ordered_json out;
    out["game"] = args.game;
    out["holeCards"] = checked.request.holeCount;
    out["board1"] = args.board1;
    out["board2"] = args.board2;
    out["dead"] = args.dead;
    out["mode"] = modeText(result.mode);
    out["status"] = runEndText(result.end);
    auto& players = out["players"] = nlohmann::ordered_json::array();
    for (std::size_t p = 0; p < checked.players.size(); ++p) {
        const PlayerEquity& e = result.players[p];
        players.push_back({{"field", narrow(checked.players[p].key)},
                           {"text", narrow(checked.players[p].text)},
                           {"equity", e.equity},
                           {"percent", percentText(e.equity)},
                           {"win", e.win},
                           {"tie", e.tie},
                           {"stderr", e.stdError}});
        if (checked.request.hiLo) {
            auto& player = players.back();
            player["high"] = e.high;
            player["low"] = e.low;
            player["scoop"] = e.scoop;
        }
        if (checked.request.boards[1] != 0) players.back()["boards"] = {e.board[0], e.board[1]};
    }
    out["deals"] = result.deals;
    out["seconds"] = result.seconds;
    return out;
}

// Runs one spot; returns the exit code.
int runEquity(const EquityArgs& args, CliContext& ctx) {
    std::vector<std::wstring> problems;
    const CheckedRequest checked = readCalculation(args, problems);
    if (!problems.empty()) {
        printProblems(problems);
        return kExitInput;
    }
    if (!loadTableOrComplain(ctx)) return kExitTable;
    const EquityResult result = computeEquity(checked.request);
    int exitCode = 0;
    if (const std::string problem = runProblem(result, exitCode); !problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return exitCode;
    }
    if (args.json) {
        std::printf("%s\n", resultJson(args, checked, result).dump(2).c_str());
    } else {
        printTable(checked, result);
    }
    return 0;
}

// One spot per line of `in`, read by the equity options over the defaults `base` (the options
// given with --batch); one JSON object per line out, or {"line": N, "error": "..."}. Empty lines
// and lines starting with '#' are skipped. Returns kExitInput when some line had an error.
int runBatch(std::istream& in, const EquityArgs& base) {
    EquityArgs args;
    CLI::App line{"batch line"};
    addCalculationOptions(line, args);
    std::string text, out;
    bool failed = false;
    auto fail = [&](std::size_t number, const std::string& message) {
        failed = true;
        nlohmann::ordered_json error;
        error["line"] = number;
        error["error"] = message;
        out += error.dump();
        out += '\n';
    };
    for (std::size_t number = 1; std::getline(in, text); ++number) {
        const std::size_t first = text.find_first_not_of(" \t\r");
        if (first == std::string::npos || text[first] == '#') continue;
        args = base;
        args.players.clear();
        line.clear();
        try {
            line.parse(text, false);
        } catch (const CLI::ParseError& e) {
            fail(number, e.what());
            continue;
        }
        std::vector<std::wstring> problems;
        const CheckedRequest checked = readCalculation(args, problems);
        if (!problems.empty()) {
            std::string joined;
            for (const std::wstring& p : problems)
                joined += (joined.empty() ? "" : "; ") + narrow(p);
            fail(number, joined);
            continue;
        }
        const EquityResult result = computeEquity(checked.request);
        int exitCode = 0;
        if (const std::string problem = runProblem(result, exitCode); !problem.empty()) {
            fail(number, problem);
            continue;
        }
        out += resultJson(args, checked, result).dump();
        out += '\n';
        if (out.size() > (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return failed ? kExitInput : 0;
}

}  // namespace

void addEquityCommand(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<EquityArgs>();
    auto batch = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand(
        "equity",
        "Each player's equity, win and tie, enumerated exactly when that is cheap, else by Monte "
        "Carlo simulation; players are hands, ranges or \"random\"");
    addCalculationOptions(*cmd, *args, false);
    cmd->add_option("--batch", *batch,
                    "One spot per line of this file (- for standard input), in this command's "
                    "syntax; one JSON object per line out. The other options given are each "
                    "line's defaults");
    cmd->callback([args, batch, cmd, &ctx] {
        if (batch->empty()) {
            if (args->players.empty()) {
                std::fprintf(stderr, "error: PLAYER is required\n%s", cmd->help().c_str());
                ctx.exitCode = kExitInput;
                return;
            }
            ctx.exitCode = runEquity(*args, ctx);
            return;
        }
        if (!args->players.empty()) {
            std::fprintf(stderr, "error: --batch takes its players from the file\n");
            ctx.exitCode = kExitInput;
            return;
        }
        std::ifstream file;
        if (*batch != "-") {
            file.open(*batch);
            if (!file) {
                std::fprintf(stderr, "error: cannot read %s\n", batch->c_str());
                ctx.exitCode = kExitInput;
                return;
            }
        }
        if (!loadTableOrComplain(ctx)) {
            ctx.exitCode = kExitTable;
            return;
        }
        // A batch is mostly small spots, for which starting threads costs more than it saves
        // (10,000 flop spots: 1.4 s on one thread, 2.6 s on two): one thread unless asked.
        EquityArgs defaults = *args;
        if (cmd->count("--threads") == 0) defaults.threads = 1;
        ctx.exitCode = runBatch(*batch == "-" ? std::cin : file, defaults);
    });
}

}  // namespace varnel::cli
