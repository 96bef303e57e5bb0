#pragma once
// The two ways computeEquity fills a result: enumeration and sampling, over one deal plan.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "engine/dealing.h"
#include "engine/equity.h"
#include "engine/tally.h"

namespace varnel {

using EquityClock = std::chrono::steady_clock;

// What every run of computeEquity shares: the request, its plan, when it started on the
// request's clock, and the deadline and stop flag its work looks at.
struct RunContext {
    const EquityRequest& request;
    const DealPlan& plan;
    EquityClock::time_point start;
    RunLimits limits;

    double elapsed() const { return std::chrono::duration<double>(request.now() - start).count(); }
};

// The deadline and stop flag of a request that started at `start`.
RunLimits limitsOf(const EquityRequest& request, EquityClock::time_point start);

// Why the request cannot be calculated as it stands, or an empty text. Every check is cheap: the
// lists are only walked to see whether a hand is left.
std::string rejection(const EquityRequest& request);

// Figures of a tally: equity, win, tie, (when `sampled`) the standard error and (when `hiLo`)
// the high and low halves and scoops per player.
void fillPlayers(const TallyTotal& tally, int players, int boards, bool sampled, bool hiLo,
                 EquityResult& result);

// Standard error of player p's equity from the per-outcome shares of a tally.
double standardError(const TallyTotal& tally, int p, int boards);

// Estimated seconds on one core and bytes of memory of enumerating the plan on `threads`
// threads; `possible` when the bytes are at most kMaxExactBytes.
struct ExactEstimate {
    bool possible = false;
    double outcomes = 0;
    double seconds = 0;
    double bytes = 0;
};
ExactEstimate estimateExact(const DealPlan& plan, int threads);

EquityResult runExact(const RunContext& run);

// Heads-up high-only requests after the flop with hands of 4 to 6 cards (two ranges, a range and
// a random hand, a range and a fixed hand): fills `result` by the exact sweep (engine/sweep.h)
// and returns true when the sweep is cheaper than the enumeration and, in the automatic mode,
// fits kAutoExactSeconds.
bool sweepEquity(const RunContext& run, EquityResult& result);
EquityResult runMonteCarlo(const RunContext& run, std::uint32_t seed);

}  // namespace varnel
