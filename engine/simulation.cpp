#include "engine/simulation.h"

#include <algorithm>
#include <bit>
#include <random>
#include <thread>
#include <vector>

#include "core/game.h"
#include "engine/dealing.h"
#include "engine/tally.h"
#include "eval/omaha_eval.h"

namespace varnel {
namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

std::string_view statusText(SimulationStatus status) {
    switch (status) {
        case SimulationStatus::Finished:
            return "finished";
        case SimulationStatus::Rejected:
            return "rejected input";
        case SimulationStatus::NoValidDeal:
            return "no valid deal";
        case SimulationStatus::NoTable:
            return "no evaluator table";
    }
    return "";
}

double simulateEquity(std::int32_t holeCount, const HandList& firstList, const Boards& boards,
                      const HandList* otherLists, std::int32_t otherCount, double* otherResults,
                      std::int32_t& rounds, std::int32_t seconds, const ProgressCallback& progress,
                      const SimulationOptions& options, SimulationReport* report) {
    SimulationReport local;
    SimulationReport& out = report ? *report : local;
    out = SimulationReport{};
    const std::uint32_t seed = options.seed ? *options.seed : std::random_device{}();
    const Clock::time_point start = Clock::now();

    const int fixedCards = cardCount(boards[0]);
    if (boards[1] != 0 && cardCount(boards[1]) != fixedCards) {
        out.status = SimulationStatus::Rejected;
        return 0.0;
    }
    if (otherCount < 1 || otherCount > kMaxOtherPlayers) {
        out.status = SimulationStatus::Rejected;
        return 0.0;
    }
    std::fill(otherResults, otherResults + otherCount, 0.0);
    const int players = otherCount + 1;
    if (holeCount < kMinHoleCards || holeCount > kMaxHoleCards || fixedCards > kBoardCards ||
        ((boards[0] | boards[1]) & ~kFullDeck) != 0) {
        out.status = SimulationStatus::Rejected;
        return 0.0;
    }
    const std::int32_t requested = rounds;
    rounds = 0;
    if (!omahaEvaluator().usable()) {
        out.status = SimulationStatus::NoTable;
        return 0.0;
    }

    PlayerLists lists{&firstList};
    for (int p = 1; p < players; ++p) lists[p] = &otherLists[p - 1];
    DealPlan plan;
    out.status = planDeals(holeCount, lists, players, boards, options.deadCards, plan);
    if (out.status != SimulationStatus::Finished) return 0.0;

    Dealer sim(plan, seed, start, seconds, options.maxConsecutiveDiscards);
    const std::int64_t step = requested / kProgressSteps;
    Tally tally;
    DealBatch batch;
    WalkValues values[kDealBatch];
    std::int64_t counted = 0;
    std::int64_t reported = 0;
    bool stop = false;
    while (!stop && counted < requested && !sim.discardStop()) {
        batch.want = static_cast<int>(std::min<std::int64_t>(kDealBatch, requested - counted));
        sim.fill(batch);
        sim.evaluate(batch, values);
        for (int i = 0; i < batch.size; ++i) {
            credit(values[i], nullptr, players, sim.boardsInPlay(), 1, tally);
            if (counted == step * reported) {
                if (progress) progress(static_cast<int>(reported));
                ++reported;
                if (options.progressPause.count() > 0) {
                    std::this_thread::sleep_until(Clock::now() + options.progressPause);
                }
            }
            ++counted;
            if (seconds != 0 && sim.timeUp()) {
                stop = true;
                break;
            }
        }
    }

    rounds = static_cast<std::int32_t>(counted);
    out.countedDeals = rounds;
    out.discardedDeals = sim.discardedDeals();
    if (sim.discardStop() && counted == 0) out.status = SimulationStatus::NoValidDeal;
    if (counted == 0) return 0.0;
    const double pot = static_cast<double>(counted * kBoardUnits * sim.boardsInPlay());
    for (int p = 1; p < players; ++p) otherResults[p - 1] = tally.units[p] / pot;
    return tally.units[0] / pot;
}

}  // namespace varnel
