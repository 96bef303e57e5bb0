// varnel-cli equity [options] PLAYER...: each player's equity, win and tie, exact or sampled.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "core/cards.h"
#include "core/game.h"
#include "engine/calculation.h"
#include "engine/equity.h"
#include "tools/cli/commands.h"

namespace varnel::cli {
namespace {

constexpr int kDefaultRounds = 10000;
constexpr int kDefaultSeconds = 10;
constexpr int kExitInput = 1;
constexpr int kExitTable = 2;
constexpr int kExitNoDeal = 3;

struct Args {
    std::string game = narrow(kDefaultGameName);
    std::string board1, board2, dead;
    std::int64_t rounds = kDefaultRounds;
    int seconds = kDefaultSeconds;
    EquityMode mode = EquityMode::Auto;
    double precision = 0;
    int pauseMs = 0;
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::int64_t seed = 0;
    bool json = false;
    std::vector<std::string> players;
};

// The dialog's field names: "P 1" ... "P 9", "P10".
std::wstring playerKey(int number) {
    return number < 10 ? L"P " + std::to_wstring(number) : L"P" + std::to_wstring(number);
}

// Checks a card-code option: an even number of characters, card codes, no card twice, and
// between `least` and `most` cards. Returns false with a message on standard error.
bool readCardOption(const char* name, const std::string& text, int least, int most,
                    CardMask& mask) {
    bool ascii = true;
    const std::wstring wide = widen(text, ascii);
    mask = 0;
    const bool codes = text.size() % 2 == 0 && parseCardRun(wide, mask);
    const int n = cardCount(mask);
    if (!codes || n < least || n > most) {
        std::fprintf(stderr,
                     "error: %s \"%s\" must be %d to %d different card codes without separators "
                     "(such as AsKd7h)\n",
                     name, text.c_str(), least, most);
        return false;
    }
    return true;
}

bool hiLoGame(const Args& args) {
    bool ascii = true;
    return isHiLoGame(widen(args.game, ascii));
}

void printResults(const Args& args, const PreparedCalculation& prepared,
                  const EquityResult& result) {
    const auto& players = prepared.diagnostics.players;
    const bool hiLo = hiLoGame(args);
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
    out["holeCards"] = prepared.holeCount;
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
    }
    out["deals"] = result.deals;
    out["seconds"] = result.seconds;
    std::printf("%s\n", out.dump(2).c_str());
}

// The request of the engine for a prepared calculation and the options.
EquityRequest equityRequest(const PreparedCalculation& prepared, const Args& args, bool seeded) {
    EquityRequest request;
    request.holeCount = prepared.holeCount;
    request.playerCount = static_cast<int>(prepared.playerCount);
    request.lists = prepared.lists;
    request.boards = prepared.boards;
    request.deadCards = prepared.deadCards;
    request.mode = args.mode;
    request.hiLo = hiLoGame(args);
    request.rounds = args.rounds;
    request.seconds = args.seconds;
    request.precision = args.precision;
    request.pause = std::chrono::milliseconds(args.pauseMs);
    request.threads = args.threads;
    if (seeded) request.seed = static_cast<std::uint32_t>(args.seed);
    return request;
}

// Runs the command; returns the exit code.
int runEquity(const Args& args, bool seeded, CliContext& ctx) {
    bool ascii = true;
    std::int32_t holeCount = 0;
    if (!holeCardsForGame(widen(args.game, ascii), holeCount)) {
        std::string names;
        for (std::size_t g = 0; g < kGameTypes.size(); ++g) {
            names += g == 0 ? "" : g + 1 < kGameTypes.size() ? ", " : " or ";
            names += narrow(kGameTypes[g].name);
        }
        std::fprintf(stderr, "error: unknown game \"%s\" (use %s)\n", args.game.c_str(),
                     names.c_str());
        return kExitInput;
    }
    if (args.rounds < 1) {
        std::fprintf(stderr, "error: --rounds must be at least 1 (%lld given)\n",
                     static_cast<long long>(args.rounds));
        return kExitInput;
    }
    const int playerCount = static_cast<int>(args.players.size());
    if (playerCount < 2 || playerCount > kMaxPlayers) {
        std::fprintf(stderr, "error: give 2 to %d players (%d given)\n", kMaxPlayers, playerCount);
        return kExitInput;
    }
    CalculationRequest request;
    CardMask board1 = 0, board2 = 0, dead = 0;
    if (!args.board1.empty()) {
        if (!readCardOption("--board1", args.board1, kMinFixedBoardCards, kBoardCards, board1))
            return kExitInput;
        request[L"B1"] = widen(args.board1, ascii);
    }
    if (!args.board2.empty()) {
        if (!readCardOption("--board2", args.board2, kMinFixedBoardCards, kBoardCards, board2))
            return kExitInput;
        if (cardCount(board2) != cardCount(board1)) {
            std::fprintf(stderr, "error: --board2 must hold as many cards as --board1\n");
            return kExitInput;
        }
        request[L"B2"] = widen(args.board2, ascii);
    }
    if (!args.dead.empty()) {
        if (!readCardOption("--dead", args.dead, 1, kDeckSize, dead)) return kExitInput;
        request[L"D"] = widen(args.dead, ascii);
    }
    if ((board1 & board2) || ((board1 | board2) & dead)) {
        std::fprintf(stderr, "error: a card is given twice among the boards and dead cards\n");
        return kExitInput;
    }
    for (int p = 0; p < playerCount; ++p) {
        if (args.players[p].empty()) {
            std::fprintf(stderr, "error: player %d (%s) is empty\n", p + 1,
                         narrow(playerKey(p + 1)).c_str());
            return kExitInput;
        }
        request[playerKey(p + 1)] = widen(args.players[p], ascii);
    }

    if (!loadTableOrComplain(ctx)) return kExitTable;
    const PreparedCalculation prepared = readCalculationRequest(request, holeCount);
    for (std::size_t p = 0; p < prepared.diagnostics.players.size(); ++p) {
        const PlayerReading& player = prepared.diagnostics.players[p];
        if (player.random) continue;
        const auto& hands = prepared.lists[p].hands;
        const bool fits = std::any_of(hands.begin(), hands.end(),
                                      [&](CardMask h) { return cardCount(h) <= holeCount; });
        if (player.hands > 0 && fits) continue;
        std::fprintf(stderr, "error: player %s \"%s\" %s\n", narrow(player.key).c_str(),
                     narrow(player.text).c_str(),
                     player.hands < 0   ? "is not a range expression or hand"
                     : player.hands > 0 ? "holds only hands of more cards than the game's"
                                        : "names no hands for this game");
        return kExitInput;
    }
    const EquityResult result = computeEquity(equityRequest(prepared, args, seeded));
    if (result.end == RunEnd::Rejected) {
        std::fprintf(stderr,
                     "error: rejected input: a player's only hand has more cards than "
                     "the game's %d hole cards\n",
                     holeCount);
        return kExitInput;
    }
    if (result.end == RunEnd::NoValidDeal || result.end == RunEnd::NoTable) {
        std::fprintf(stderr,
                     "error: %s: no deal of these hands, boards and dead cards can be "
                     "counted\n",
                     std::string(runEndText(result.end)).c_str());
        return kExitNoDeal;
    }
    printResults(args, prepared, result);
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
    cmd->add_option("--rounds", args->rounds, "Monte Carlo deals to count (at least 1)")
        ->capture_default_str();
    cmd->add_option("--mode", args->mode,
                    "auto (exact when estimated at most 1 s on one core), exact or mc")
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, EquityMode>{{"auto", EquityMode::Auto},
                                              {"exact", EquityMode::Exact},
                                              {"mc", EquityMode::MonteCarlo}}));
    cmd->add_option("--precision", args->precision,
                    "Stop sampling once every standard error is at most this many points")
        ->check(CLI::Range(0.0, 100.0));
    cmd->add_option("--pause", args->pauseMs, "Pause after each progress step, in milliseconds")
        ->check(CLI::Range(0, 10000))
        ->capture_default_str();
    cmd->add_option("--seconds", args->seconds, "Time limit in seconds (0: none)")
        ->check(CLI::Range(0, 24 * 3600))
        ->capture_default_str();
    cmd->add_option("--threads", args->threads, "Threads of the calculation")
        ->check(CLI::Range(1, 256))
        ->capture_default_str();
    CLI::Option* seed = cmd->add_option("--seed", args->seed, "Seed for a reproducible run")
                            ->check(CLI::Range(std::int64_t{0}, std::int64_t{0xffffffff}));
    cmd->add_flag("--json", args->json, "Print the result as one JSON object");
    cmd->add_option("PLAYER", args->players, "Up to ten players: hands, ranges or \"random\"")
        ->required();
    cmd->callback([args, seed, &ctx] { ctx.exitCode = runEquity(*args, seed->count() > 0, ctx); });
}

}  // namespace varnel::cli
