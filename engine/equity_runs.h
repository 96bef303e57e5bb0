#pragma once
// The two ways computeEquity fills a result: enumeration and sampling, over one deal plan.

#include <atomic>
#include <chrono>
#include <cstdint>

#include "engine/dealing.h"
#include "engine/equity.h"
#include "engine/tally.h"

namespace varnel {

using EquityClock = std::chrono::steady_clock;

// What every run of computeEquity shares: the request, its plan and when it started.
struct RunContext {
    const EquityRequest& request;
    const DealPlan& plan;
    EquityClock::time_point start;

    double elapsed() const {
        return std::chrono::duration<double>(EquityClock::now() - start).count();
    }
    bool timeUp() const { return request.seconds > 0 && elapsed() > request.seconds; }
    bool stopRaised() const { return request.stop && request.stop->load(); }
};

// Figures of a tally: equity, win, tie, (when `sampled`) the standard error and (when `hiLo`)
// the high and low halves and scoops per player.
void fillPlayers(const Tally& tally, int players, int boards, bool sampled, bool hiLo,
                 EquityResult& result);

// Standard error of player p's equity from the per-outcome shares of a tally.
double standardError(const Tally& tally, int p, int boards);

// Estimated seconds on one core of enumerating the plan, and whether it can be enumerated at
// all (the hole-card sets of several random players must fit in memory).
struct ExactEstimate {
    bool possible = false;
    double outcomes = 0;
    double seconds = 0;
};
ExactEstimate estimateExact(const DealPlan& plan);

EquityResult runExact(const RunContext& run);
EquityResult runMonteCarlo(const RunContext& run, std::uint32_t seed);

}  // namespace varnel
