#include "engine/equity.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <random>

#include "core/game.h"
#include "engine/equity_runs.h"
#include "eval/omaha_eval.h"

namespace varnel {

namespace {

// A time limit of more seconds than this is no limit: its deadline might not fit the clock.
inline constexpr double kLongestTimeLimit = 1e9;

// The deadline and stop flag of a request that started at `start`.
RunLimits limitsOf(const EquityRequest& request, EquityClock::time_point start) {
    RunLimits limits;
    limits.now = request.now;
    limits.stop = request.stop;
    if (request.seconds > 0 && request.seconds < kLongestTimeLimit) {
        limits.deadline = start + std::chrono::duration_cast<EquityClock::duration>(
                                      std::chrono::duration<double>(request.seconds));
    }
    return limits;
}

}  // namespace

std::chrono::steady_clock::time_point steadyNow() {
    return std::chrono::steady_clock::now();
}

std::string_view runEndText(RunEnd end) {
    switch (end) {
        case RunEnd::Finished:
            return "finished";
        case RunEnd::TimeLimit:
            return "time limit";
        case RunEnd::PrecisionReached:
            return "precision reached";
        case RunEnd::TooRare:
            return "valid deals too rare";
        case RunEnd::Stopped:
            return "stopped";
        case RunEnd::Rejected:
            return "rejected input";
        case RunEnd::NoValidDeal:
            return "no valid deal";
        case RunEnd::NoTable:
            return "no evaluator table";
    }
    return "";
}

std::string_view modeText(EquityMode mode) {
    switch (mode) {
        case EquityMode::Auto:
            return "auto";
        case EquityMode::Exact:
            return "exact";
        case EquityMode::MonteCarlo:
            return "monte-carlo";
    }
    return "";
}

std::string percentText(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2lf%%", fraction * 100);
    return text;
}

std::string precisionText(const EquityResult& result, const PlayerEquity& player) {
    if (result.mode == EquityMode::Exact) {
        return result.end == RunEnd::Finished ? "exact" : "partial";
    }
    char text[32];
    std::snprintf(text, sizeof text, "+-%.2lf", player.stdError * 100);
    return text;
}

double standardError(const TallyTotal& tally, int p, int boards) {
    const auto n = static_cast<long double>(tally.outcomes);
    if (tally.outcomes < 2) return 0;
    const auto sum = static_cast<long double>(tally.units[p]);
    const long double variance =
        (static_cast<long double>(tally.squares[p]) - sum * sum / n) / (n - 1);
    const long double pot = static_cast<long double>(kBoardUnits) * boards;
    return static_cast<double>(std::sqrt(std::max(variance, 0.0L) / n) / pot);
}

void fillPlayers(const TallyTotal& tally, int players, int boards, bool sampled, bool hiLo,
                 EquityResult& result) {
    result.playerCount = players;
    if (tally.outcomes == 0) return;
    const auto n = static_cast<double>(tally.outcomes);
    const double pot = n * static_cast<double>(kBoardUnits * boards);
    for (int p = 0; p < players; ++p) {
        PlayerEquity& e = result.players[p];
        e.equity = static_cast<double>(tally.units[p]) / pot;
        e.win = static_cast<double>(tally.wins[p]) / n;
        e.tie = static_cast<double>(tally.ties[p]) / n;
        e.stdError = sampled ? standardError(tally, p, boards) : 0;
        const double boardPot = n * static_cast<double>(kBoardUnits);
        for (int b = 0; b < boards; ++b)
            e.board[b] =
                boards == 1 ? e.equity : static_cast<double>(tally.boardUnits[b][p]) / boardPot;
        if (!hiLo) continue;
        const double halves = n * static_cast<double>(kHalfUnits * boards);
        e.high = static_cast<double>(tally.highUnits[p]) / halves;
        e.low = static_cast<double>(tally.lowUnits[p]) / halves;
        e.scoop = e.win;
    }
}

namespace {

std::string playerName(int p) {
    return "player " + std::to_string(p + 1);
}

// Why the request cannot be calculated as it stands, or an empty text. Every check is cheap: the
// lists are only walked to see whether a hand is left.
std::string rejection(const EquityRequest& request) {
    const int players = request.playerCount;
    const Boards& boards = request.boards;
    const int fixedCards = cardCount(boards[0]);
    if (players < 2 || players > kMaxPlayers)
        return "give 2 to " + std::to_string(kMaxPlayers) + " players";
    if (request.holeCount < kMinHoleCards || request.holeCount > kMaxHoleCards)
        return "hands hold 2 to 7 hole cards";
    if (((boards[0] | boards[1] | request.deadCards) & ~kFullDeck) != 0) return "not a card";
    if (fixedCards > kBoardCards || (fixedCards > 0 && fixedCards < 3) ||
        (boards[1] != 0 && cardCount(boards[1]) != fixedCards))
        return "boards hold 3 to 5 fixed cards, the second as many as the first";
    if (boards[0] & boards[1]) return "the two boards share a card";
    if ((boards[0] | boards[1]) & request.deadCards) return "a dead card is on a board";
    if (request.rounds < 0 || request.rounds > kMaxRounds)
        return "rounds must be from 0 to " + std::to_string(kMaxRounds);
    CardMask known = boards[0] | boards[1] | request.deadCards;
    for (int p = 0; p < players; ++p) {
        const auto& hands = request.lists[p].hands;
        if (request.random[p] || hands.size() != 1) continue;
        if (hands[0] & known) return playerName(p) + "'s hand shares a card with another field";
        known |= hands[0];
    }
    for (int p = 0; p < players; ++p) {
        const auto& hands = request.lists[p].hands;
        if (request.random[p] || hands.size() == 1) continue;
        if (hands.empty()) return playerName(p) + " has no hand";
        const CardMask others = known;  // single hands of others, boards and dead cards
        if (std::none_of(hands.begin(), hands.end(), [&](CardMask h) { return (h & others) == 0; }))
            return playerName(p) + " has no hand left after the known cards";
    }
    return {};
}

}  // namespace

EquityResult computeEquity(const EquityRequest& request) {
    const auto start = request.now();
    EquityResult result;
    result.mode = request.mode == EquityMode::Exact ? EquityMode::Exact : EquityMode::MonteCarlo;
    const int players = request.playerCount;
    if (std::string why = rejection(request); !why.empty()) {
        result.end = RunEnd::Rejected;
        result.reason = std::move(why);
        return result;
    }
    result.playerCount = players;
    if (!omahaEvaluator().usable()) {
        result.end = RunEnd::NoTable;
        return result;
    }
    try {
        static const HandList kRandom;
        PlayerLists lists{};
        for (int p = 0; p < players; ++p)
            lists[p] = request.random[p] ? &kRandom : &request.lists[p];
        DealPlan plan;
        result.end =
            planDeals(request.holeCount, lists, players, request.boards, request.deadCards, plan);
        if (result.end != RunEnd::Finished) {
            if (result.end == RunEnd::Rejected)
                result.reason = "a hand has more cards than the game deals";
            return result;
        }
        plan.hiLo = request.hiLo;
        const RunContext run{request, plan, start, limitsOf(request, start)};
        bool exact = request.mode == EquityMode::Exact;
        if (request.mode == EquityMode::Auto) {
            const ExactEstimate estimate = estimateExact(plan, std::max(1, request.threads));
            exact = estimate.possible && estimate.seconds <= kAutoExactSeconds;
        }
        result = exact ? runExact(run)
                       : runMonteCarlo(run, request.seed ? *request.seed : std::random_device{}());
        result.seconds = run.elapsed();
    } catch (const std::bad_alloc&) {
        // The runs catch their own in every thread; this is the set-up (candidate lists).
        result.end = RunEnd::Rejected;
        result.reason = "not enough memory for the calculation";
    }
    return result;
}

}  // namespace varnel
