// computeBreakdown: the hero's hands one by one. Heads-up high-only spots with hands of 4 to 6
// cards go through the sweep (engine/sweep.h): exact over every board after the flop, and
// preflop (or when sampling is asked for) over boards drawn at random, each swept exactly.
// Everything else (more players, two boards, Hi/Lo, other hand sizes) runs computeEquity once
// per hand with that hand fixed: exact when the automatic mode's rule says the whole is cheap,
// sampled otherwise, with the aggregate from one run of the whole request. The same sweep makes
// computeEquity's aggregate exact for two ranges after the flop (sweepEquity).
#include "engine/breakdown.h"

#include <algorithm>
#include <new>
#include <random>

#include "engine/equity_runs.h"
#include "engine/sweep.h"
#include "eval/omaha_eval.h"

namespace varnel {
namespace {

// Most hands a random player's list may have in a breakdown (every 6-card hand preflop is 20 M).
inline constexpr std::uint64_t kMaxListedHands = std::uint64_t{1} << 22;

// Each side's hands for the sweep: the player's list, or every hole set a random player may
// hold; empty when the sweep does not fit the request.
struct SweepSides {
    std::array<std::vector<CardMask>, 2> hands;
    bool fits = false;
};

bool single(const EquityRequest& r, int p) {
    return !r.random[p] && r.lists[p].hands.size() == 1;
}

SweepSides sweepSides(const EquityRequest& r, int hero) {
    SweepSides out;
    if (r.playerCount != 2 || r.hiLo || r.boards[1] != 0 || r.holeCount < kSweepMinCards ||
        r.holeCount > kSweepMaxCards)
        return out;
    const CardMask known = r.boards[0] | r.deadCards;
    const int players[2] = {hero, 1 - hero};
    for (int s = 0; s < 2; ++s) {
        const int p = players[s];
        if (!r.random[p]) {
            out.hands[s] = r.lists[p].hands;
            continue;
        }
        // Hands meeting the opponent's fixed hand stay in the list, dead (outcomes 0).
        if (binomial(kDeckSize - cardCount(known), r.holeCount) > kMaxListedHands) return out;
        out.hands[s] = everyHoleSet(r.holeCount, known);
    }
    out.fits = sweepFits(r.holeCount, out.hands[0], out.hands[1]);
    return out;
}

SweepRequest sweepRequest(const EquityRequest& r, const SweepSides& sides,
                          const RunLimits& limits) {
    SweepRequest s;
    s.holeCount = r.holeCount;
    s.board = r.boards[0];
    s.dead = r.deadCards;
    s.hands = {&sides.hands[0], &sides.hands[1]};
    s.threads = std::max(1, r.threads);
    s.limits = &limits;
    s.progress = r.progress;
    s.seed = r.seed ? *r.seed : std::random_device{}();
    s.boards = r.rounds;
    s.precision = r.precision / 100;
    return s;
}

// The aggregate of a sweep whose side 0 is player `hero`.
void fillFromSweep(const SweepResult& sweep, int hero, bool sampled, EquityResult& result) {
    TallyTotal t;
    t.outcomes = sweep.total[0].outcomes;
    for (int s = 0; s < 2; ++s) {
        const int p = s == 0 ? hero : 1 - hero;
        const SweepCounts& c = sweep.total[s];
        t.units[p] = static_cast<__int128>(c.wins) * kBoardUnits +
                     static_cast<__int128>(c.ties) * kHalfUnits;
        t.wins[p] = c.wins;
        t.ties[p] = c.ties;
    }
    result.mode = sampled ? EquityMode::MonteCarlo : EquityMode::Exact;
    result.end = sweep.end;
    result.deals = t.outcomes;
    if (t.outcomes == 0 && result.end == RunEnd::Finished) result.end = RunEnd::NoValidDeal;
    fillPlayers(t, 2, 1, false, false, result);
    for (int s = 0; s < 2 && sampled; ++s)
        result.players[s == 0 ? hero : 1 - hero].stdError = sweep.total[s].stdError;
}

HandEquity handOf(CardMask mask, const SweepCounts& c) {
    HandEquity h{.hand = mask};
    if (c.outcomes == 0) return h;
    const auto n = static_cast<double>(c.outcomes);
    h.equity = (static_cast<double>(c.wins) + static_cast<double>(c.ties) / 2) / n;
    h.win = static_cast<double>(c.wins) / n;
    h.tie = static_cast<double>(c.ties) / n;
    h.outcomes = c.outcomes;
    h.stdError = c.stdError;
    return h;
}

void sweepBreakdown(const EquityRequest& r, const SweepSides& sides, const RunLimits& limits,
                    bool withOpponent, Breakdown& out) {
    SweepRequest s = sweepRequest(r, sides, limits);
    const int opponent = 1 - out.hero;
    s.wanted = {true, withOpponent && !single(r, opponent)};
    const bool exact =
        r.mode == EquityMode::Exact || (r.mode == EquityMode::Auto && cardCount(r.boards[0]) >= 3);
    const SweepResult sweep = exact ? sweepExact(s) : sweepSampled(s);
    fillFromSweep(sweep, out.hero, !exact, out.result);
    for (int side = 0; side < 2; ++side) {
        std::vector<HandEquity>& hands = side == 0 ? out.hands : out.opponentHands;
        const std::vector<SweepCounts>& counts = sweep.hands[side];
        if (!s.wanted[side]) continue;
        hands.reserve(counts.size());
        for (std::size_t h = 0; h < counts.size(); ++h)
            hands.push_back(handOf(sides.hands[side][h], counts[h]));
    }
}

// One run per hand of player `p`, each with that hand fixed; the runs share the request's time
// limit and stop flag. Exact when the whole is cheap by the automatic mode's rule (or the mode
// says so): then `aggregate` gets every player's figures as the hands' outcome-weighted means.
std::vector<HandEquity> handByHand(const EquityRequest& r, int p, EquityClock::time_point start,
                                   RunEnd& end, EquityResult* aggregate) {
    CardMask known = r.boards[0] | r.boards[1] | r.deadCards;
    const std::vector<CardMask> hands =
        r.random[p] ? everyHoleSet(r.holeCount, known) : r.lists[p].hands;
    // A hand meeting another player's single hand is dead too.
    for (int q = 0; q < r.playerCount; ++q)
        if (q != p && single(r, q)) known |= r.lists[q].hands[0];
    std::vector<HandEquity> out;
    out.reserve(hands.size());
    EquityRequest one = r;
    one.random[p] = false;
    one.progress = nullptr;
    one.lists[p].hands.assign(1, 0);
    std::int64_t live = 0;
    for (CardMask h : hands) live += (h & known) == 0;
    if (r.mode == EquityMode::Auto) {
        // The cost of the first hand that leaves a deal, times the hands.
        one.mode = EquityMode::MonteCarlo;
        PlayerLists lists{};
        static const HandList kRandom;
        for (int q = 0; q < r.playerCount; ++q) lists[q] = one.random[q] ? &kRandom : &one.lists[q];
        for (CardMask h : hands) {
            if (h & known) continue;
            one.lists[p].hands[0] = h;
            DealPlan plan;
            if (planDeals(r.holeCount, lists, r.playerCount, r.boards, r.deadCards, plan) !=
                RunEnd::Finished)
                continue;
            const ExactEstimate e = estimateExact(plan, 1);
            if (e.possible && e.seconds * static_cast<double>(live) <= kAutoExactSeconds)
                one.mode = EquityMode::Exact;
            break;
        }
    }
    if (one.mode == EquityMode::MonteCarlo)
        one.rounds = std::max<std::int64_t>(1000, r.rounds / std::max<std::int64_t>(live, 1));
    std::array<double, kMaxPlayers> equity{}, win{}, tie{};
    double deals = 0;
    int reported = -1;
    for (std::size_t i = 0; i < hands.size(); ++i) {
        HandEquity h{.hand = hands[i]};
        const double elapsed = std::chrono::duration<double>(r.now() - start).count();
        if (r.stop && r.stop->load()) end = RunEnd::Stopped;
        if (r.seconds > 0 && elapsed >= r.seconds) end = RunEnd::TimeLimit;
        if (end == RunEnd::Finished && !(hands[i] & known)) {
            one.lists[p].hands[0] = hands[i];
            if (r.seconds > 0) one.seconds = r.seconds - elapsed;
            const EquityResult e = computeEquity(one);
            if (e.end == RunEnd::TimeLimit || e.end == RunEnd::Stopped) end = e.end;
            if (e.deals > 0 && e.end != RunEnd::Rejected && e.end != RunEnd::NoValidDeal) {
                h.equity = e.players[p].equity;
                h.win = e.players[p].win;
                h.tie = e.players[p].tie;
                h.outcomes = e.deals;
                h.stdError = e.players[p].stdError;
                const auto n = static_cast<double>(e.deals);
                deals += n;
                for (int q = 0; q < r.playerCount; ++q) {
                    equity[q] += e.players[q].equity * n;
                    win[q] += e.players[q].win * n;
                    tie[q] += e.players[q].tie * n;
                }
            }
        }
        out.push_back(h);
        const int step = static_cast<int>(i * kProgressSteps / hands.size());
        if (r.progress && step > reported) r.progress(reported = step);
    }
    if (aggregate && one.mode == EquityMode::Exact) {
        aggregate->mode = EquityMode::Exact;
        aggregate->end = end;
        aggregate->deals = static_cast<std::int64_t>(deals);
        aggregate->playerCount = r.playerCount;
        for (int q = 0; q < r.playerCount && deals > 0; ++q)
            aggregate->players[q] = {equity[q] / deals, win[q] / deals, tie[q] / deals};
        if (deals == 0 && end == RunEnd::Finished) aggregate->end = RunEnd::NoValidDeal;
    }
    return out;
}

}  // namespace

bool sweepEquity(const RunContext& run, EquityResult& result) {
    const EquityRequest& r = run.request;
    // A random hand against a fixed one is counted faster by the enumeration's nested loops.
    if (cardCount(r.boards[0]) < 3 || r.mode == EquityMode::MonteCarlo ||
        (r.random[0] && single(r, 1)) || (r.random[1] && single(r, 0)))
        return false;
    const SweepSides sides = sweepSides(r, 0);
    if (!sides.fits) return false;
    SweepRequest s = sweepRequest(r, sides, run.limits);
    s.wanted = {false, false};
    if (sweepBytes(s) > kMaxExactBytes) return false;
    const double seconds = sweepSeconds(s);
    const ExactEstimate other = estimateExact(run.plan, std::max(1, r.threads));
    if (other.possible && other.seconds < seconds) return false;
    if (r.mode == EquityMode::Auto && seconds > kAutoExactSeconds) return false;
    fillFromSweep(sweepExact(s), 0, false, result);
    return true;
}

Breakdown computeBreakdown(const EquityRequest& request, int hero, bool withOpponent) {
    const auto start = request.now();
    Breakdown out;
    out.hero = hero;
    EquityResult& result = out.result;
    result.mode = request.mode == EquityMode::Exact ? EquityMode::Exact : EquityMode::MonteCarlo;
    std::string why = rejection(request);
    if (why.empty() && (hero < 0 || hero >= request.playerCount))
        why = "no player " + std::to_string(hero + 1);
    if (!why.empty()) {
        result.end = RunEnd::Rejected;
        result.reason = std::move(why);
        return out;
    }
    result.playerCount = request.playerCount;
    if (!omahaEvaluator().usable()) {
        result.end = RunEnd::NoTable;
        return out;
    }
    try {
        const RunLimits limits = limitsOf(request, start);
        const SweepSides sides = sweepSides(request, hero);
        SweepRequest s = sweepRequest(request, sides, limits);
        if (sides.fits && sweepBytes(s) <= kMaxExactBytes) {
            sweepBreakdown(request, sides, limits, withOpponent, out);
        } else {
            const CardMask known = request.boards[0] | request.boards[1] | request.deadCards;
            if (request.random[hero] &&
                binomial(kDeckSize - cardCount(known), request.holeCount) > kMaxListedHands) {
                result.end = RunEnd::Rejected;
                result.reason = "too many hands to list one by one";
                return out;
            }
            RunEnd end = RunEnd::Finished;
            result.mode = EquityMode::MonteCarlo;
            out.hands = handByHand(request, hero, start, end, &result);
            const int opponent = 1 - hero;
            if (withOpponent && request.playerCount == 2 && !request.random[opponent] &&
                !single(request, opponent))
                out.opponentHands = handByHand(request, opponent, start, end, nullptr);
            if (result.mode != EquityMode::Exact) {
                // A sampled aggregate from one run of the whole request, in the time left.
                EquityRequest whole = request;
                whole.progress = nullptr;
                whole.mode = EquityMode::MonteCarlo;
                const double elapsed = std::chrono::duration<double>(request.now() - start).count();
                if (request.seconds > 0) whole.seconds = std::max(1e-3, request.seconds - elapsed);
                result = computeEquity(whole);
                if (end != RunEnd::Finished) result.end = end;
            }
        }
    } catch (const std::bad_alloc&) {
        result.end = RunEnd::Rejected;
        result.reason = "not enough memory for the breakdown";
    }
    result.seconds = std::chrono::duration<double>(request.now() - start).count();
    return out;
}

}  // namespace varnel
