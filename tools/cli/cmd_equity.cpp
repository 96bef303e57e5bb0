// varnel-cli equity [options] PLAYER...: each player's equity by Monte Carlo simulation.
#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "core/cards.h"
#include "core/game.h"
#include "engine/calculation.h"
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
    int rounds = kDefaultRounds;
    int seconds = kDefaultSeconds;
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

// The equities of `prepared` from `threads` independent simulations, merged by counted deals.
struct Merged {
    std::vector<double> equities = std::vector<double>(kMaxPlayers, 0.0);
    std::int64_t deals = 0;
    SimulationStatus status = SimulationStatus::Finished;
};

Merged simulateInParallel(const PreparedCalculation& prepared, const Args& args, bool seeded) {
    const int threads = std::max(1, std::min(args.threads, std::max(args.rounds, 1)));
    std::vector<std::vector<double>> results(threads, std::vector<double>(kMaxPlayers, 0.0));
    std::vector<SimulationReport> reports(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        const int rounds = args.rounds / threads + (t < args.rounds % threads ? 1 : 0);
        SimulationOptions options;
        options.progressPause = std::chrono::milliseconds(0);
        if (seeded) options.seed = static_cast<std::uint32_t>(args.seed + t);
        workers.emplace_back([&, t, rounds, options] {
            simulatePrepared(prepared, rounds, args.seconds, {}, options, results[t].data(),
                             &reports[t]);
        });
    }
    for (std::thread& w : workers) w.join();
    Merged merged;
    for (int t = 0; t < threads; ++t) merged.deals += reports[t].countedDeals;
    merged.status = reports[0].status;
    for (const SimulationReport& r : reports) {
        if (r.status != SimulationStatus::NoValidDeal) merged.status = r.status;
    }
    if (merged.deals == 0) return merged;
    for (int t = 0; t < threads; ++t) {
        const double weight = static_cast<double>(reports[t].countedDeals) / merged.deals;
        for (int p = 0; p < kMaxPlayers; ++p) merged.equities[p] += results[t][p] * weight;
    }
    return merged;
}

void printResults(const Args& args, const PreparedCalculation& prepared, const Merged& merged) {
    const auto& players = prepared.diagnostics.players;
    if (!args.json) {
        for (std::size_t p = 0; p < players.size(); ++p) {
            std::printf("%s\t%s\t%.2lf%%\n", narrow(players[p].key).c_str(),
                        narrow(players[p].text).c_str(), merged.equities[p] * 100);
        }
        std::printf("deals\t%lld\n", static_cast<long long>(merged.deals));
        return;
    }
    nlohmann::ordered_json out;
    out["game"] = args.game;
    out["holeCards"] = prepared.holeCount;
    out["board1"] = args.board1;
    out["board2"] = args.board2;
    out["dead"] = args.dead;
    out["players"] = nlohmann::ordered_json::array();
    for (std::size_t p = 0; p < players.size(); ++p) {
        char percent[32];
        std::snprintf(percent, sizeof percent, "%.2lf%%", merged.equities[p] * 100);
        out["players"].push_back({{"field", narrow(players[p].key)},
                                  {"text", narrow(players[p].text)},
                                  {"equity", merged.equities[p]},
                                  {"percent", percent}});
    }
    out["deals"] = merged.deals;
    std::printf("%s\n", out.dump(2).c_str());
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
    for (int p = 0; p < playerCount; ++p) request[playerKey(p + 1)] = widen(args.players[p], ascii);

    if (!loadTableOrComplain(ctx)) return kExitTable;
    const PreparedCalculation prepared = readCalculationRequest(request, holeCount);
    for (const PlayerReading& player : prepared.diagnostics.players) {
        if (player.random || player.hands > 0) continue;
        std::fprintf(stderr, "error: player %s \"%s\" %s\n", narrow(player.key).c_str(),
                     narrow(player.text).c_str(),
                     player.hands < 0 ? "is not a range expression or hand"
                                      : "names no hands for this game");
        return kExitInput;
    }
    const Merged merged = simulateInParallel(prepared, args, seeded);
    if (merged.status == SimulationStatus::Rejected) {
        std::fprintf(stderr,
                     "error: rejected input: a player's only hand has more cards than "
                     "the game's %d hole cards\n",
                     holeCount);
        return kExitInput;
    }
    if (merged.status != SimulationStatus::Finished) {
        std::fprintf(stderr,
                     "error: %s: no deal of these hands, boards and dead cards can be "
                     "counted\n",
                     std::string(statusText(merged.status)).c_str());
        return kExitNoDeal;
    }
    printResults(args, prepared, merged);
    return 0;
}

}  // namespace

void addEquityCommand(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "equity",
        "Each player's equity by Monte Carlo simulation; players are hands, ranges or "
        "\"random\"");
    cmd->add_option("--game", args->game, "Game name, which sets the hole cards")
        ->capture_default_str();
    cmd->add_option("--board1", args->board1, "Fixed cards of board 1 (3 to 5), e.g. AsKd7h");
    cmd->add_option("--board2", args->board2, "Fixed cards of board 2 (as many as board 1)");
    cmd->add_option("--dead", args->dead, "Cards that are never dealt");
    cmd->add_option("--rounds", args->rounds, "Deals to count")
        ->check(CLI::Range(0, std::numeric_limits<std::int32_t>::max()))
        ->capture_default_str();
    cmd->add_option("--seconds", args->seconds, "Time limit in seconds (0: none)")
        ->check(CLI::Range(0, 24 * 3600))
        ->capture_default_str();
    cmd->add_option("--threads", args->threads, "Simulations run in parallel")
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
