// varnel-cli breakdown [equity options] [--player N] PLAYER...: one player's equity hand by hand,
// its hands grouped by class on the flop or turn, and every player's equity for each card that can
// come next; as text tables, JSON, or the hands as CSV.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/equity_options.h"
#include "core/cards.h"
#include "engine/breakdown.h"

namespace varnel::cli {
namespace {

struct BreakdownArgs {
    EquityArgs calculation;
    int player = 1;
    bool csv = false;
};

// The cards of a hand, highest rank first ("AsKsQhJh").
std::string handText(CardMask hand) {
    std::vector<CardId> cards = cardsFromMask(hand);
    std::stable_sort(cards.begin(), cards.end(),
                     [](CardId a, CardId b) { return rankOf(a) > rankOf(b); });
    std::string text;
    for (CardId c : cards) text += narrow(cardCodes[c]);
    return text;
}

struct Report {
    Breakdown breakdown;
    std::vector<ClassShare> classes;
    NextCards cards;
    bool withCards = false;  // the first board is a flop or a turn
    double seconds = 0;
};

void printText(const CheckedRequest& checked, const Report& r) {
    const bool sampled = r.breakdown.result.mode == EquityMode::MonteCarlo;
    std::printf("hand\tequity\twin\ttie\toutcomes%s\n", sampled ? "\tstderr" : "");
    for (const HandEquity& h : r.breakdown.hands) {
        std::printf("%s\t%s\t%s\t%s\t%lld", handText(h.hand).c_str(), percentText(h.equity).c_str(),
                    percentText(h.win).c_str(), percentText(h.tie).c_str(),
                    static_cast<long long>(h.outcomes));
        if (sampled) std::printf("\t+-%.2f", 100 * h.stdError);
        std::printf("\n");
    }
    if (!r.classes.empty()) {
        std::printf("\nclass\thands\tshare\tequity\n");
        for (const ClassShare& c : r.classes) {
            std::printf("%s\t%lld\t%s\t%s\n", c.name.c_str(), static_cast<long long>(c.hands),
                        percentText(c.share).c_str(), percentText(c.equity).c_str());
        }
    }
    if (r.withCards) {
        std::printf("\ncard");
        for (const PlayerField& p : checked.players) std::printf("\t%s", narrow(p.key).c_str());
        std::printf("\tweight\toutcomes\n");
        for (const NextCard& c : r.cards.cards) {
            std::printf("%s", narrow(cardCodes[c.card]).c_str());
            for (std::size_t p = 0; p < checked.players.size(); ++p)
                std::printf("\t%s", percentText(c.equity[p]).c_str());
            std::printf("\t%s\t%lld\n", percentText(c.weight).c_str(),
                        static_cast<long long>(c.outcomes));
        }
    }
    const EquityResult& result = r.breakdown.result;
    std::printf("\nmode\t%s\tdeals\t%lld\tseconds\t%.3lf",
                std::string(modeText(result.mode)).c_str(), static_cast<long long>(result.deals),
                r.seconds);
    if (result.end != RunEnd::Finished)
        std::printf("\tended\t%s", std::string(runEndText(result.end)).c_str());
    std::printf("\n");
}

void printJson(const BreakdownArgs& args, const CheckedRequest& checked, const Report& r) {
    const EquityResult& result = r.breakdown.result;
    const bool sampled = result.mode == EquityMode::MonteCarlo;
    nlohmann::ordered_json out;
    const PlayerField& hero = checked.players[r.breakdown.hero];
    out["player"] = args.player;
    out["field"] = narrow(hero.key);
    out["text"] = narrow(hero.text);
    out["equity"] = result.players[r.breakdown.hero].equity;
    out["mode"] = modeText(result.mode);
    out["deals"] = result.deals;
    out["seconds"] = r.seconds;
    out["status"] = runEndText(result.end);
    auto& hands = out["hands"] = nlohmann::ordered_json::array();
    for (const HandEquity& h : r.breakdown.hands) {
        nlohmann::ordered_json row = {{"hand", handText(h.hand)},
                                      {"equity", h.equity},
                                      {"win", h.win},
                                      {"tie", h.tie},
                                      {"outcomes", h.outcomes}};
        if (sampled) row["stderr"] = h.stdError;
        hands.push_back(std::move(row));
    }
    auto& classes = out["classes"] = nlohmann::ordered_json::array();
    for (const ClassShare& c : r.classes) {
        classes.push_back(
            {{"class", c.name}, {"hands", c.hands}, {"share", c.share}, {"equity", c.equity}});
    }
    auto& cards = out["cards"] = nlohmann::ordered_json::array();
    for (const NextCard& c : r.cards.cards) {
        auto equity = nlohmann::ordered_json::array();
        for (std::size_t p = 0; p < checked.players.size(); ++p) equity.push_back(c.equity[p]);
        cards.push_back({{"card", narrow(cardCodes[c.card])},
                         {"equity", std::move(equity)},
                         {"weight", c.weight},
                         {"outcomes", c.outcomes}});
    }
    if (r.withCards) out["cardsMode"] = modeText(r.cards.mode);
    if (!r.cards.reason.empty()) out["cardsReason"] = r.cards.reason;
    out["cardsEnd"] = runEndText(r.cards.end);
    std::printf("%s\n", out.dump(2).c_str());
}

void printCsv(const Report& r) {
    std::printf("hand,equity,win,tie,outcomes,stderr\n");
    for (const HandEquity& h : r.breakdown.hands) {
        std::printf("%s,%.17g,%.17g,%.17g,%lld,%.17g\n", handText(h.hand).c_str(), h.equity, h.win,
                    h.tie, static_cast<long long>(h.outcomes), h.stdError);
    }
}

int runBreakdown(const BreakdownArgs& args, CliContext& ctx) {
    std::vector<std::wstring> problems;
    const CheckedRequest checked = readCalculation(args.calculation, problems);
    const int players = static_cast<int>(args.calculation.players.size());
    if (args.player < 1 || args.player > players) {
        problems.push_back(L"--player: " + std::to_wstring(args.player) +
                           L" is not a player; give 1 to " + std::to_wstring(players));
    }
    if (!problems.empty()) {
        printProblems(problems);
        return kExitInput;
    }
    if (!loadTableOrComplain(ctx)) return kExitTable;
    const auto start = std::chrono::steady_clock::now();
    const EquityRequest& request = checked.request;
    Report r;
    r.breakdown = computeBreakdown(request, args.player - 1, false);
    int exitCode = 0;
    if (const std::string problem = runProblem(r.breakdown.result, exitCode); !problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return exitCode;
    }
    const int onBoard = cardCount(request.boards[0]);
    r.withCards = !args.csv && (onBoard == 3 || onBoard == 4);
    if (!args.csv) r.classes = classShares(r.breakdown, request.boards[0], request.holeCount);
    if (r.withCards && r.breakdown.result.end == RunEnd::Finished) {
        // The cards are enumerated when the spot as a whole was.
        EquityRequest next = request;
        if (r.breakdown.result.mode == EquityMode::Exact) next.mode = EquityMode::Exact;
        r.cards = computeNextCards(next);
    }
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (args.csv) {
        printCsv(r);
    } else if (args.calculation.json) {
        printJson(args, checked, r);
    } else {
        printText(checked, r);
    }
    return 0;
}

}  // namespace

void addBreakdownCommand(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<BreakdownArgs>();
    CLI::App* cmd = app.add_subcommand(
        "breakdown",
        "One player's equity hand by hand, its hands by class on the flop or turn, and each "
        "player's equity for every card that can come next");
    addCalculationOptions(*cmd, args->calculation);
    cmd->add_option("--player", args->player, "The player broken down (1-based)")
        ->capture_default_str();
    cmd->add_flag("--csv", args->csv, "Print the hands only, as CSV");
    cmd->callback([args, &ctx] { ctx.exitCode = runBreakdown(*args, ctx); });
}

}  // namespace varnel::cli
