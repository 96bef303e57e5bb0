// Exact enumeration of every outcome. Two strategies share the board enumeration (boards built
// card by card in ascending order of the cards left, so that every board costs one table read
// for its last card):
//  - fixed hands: few combinations of hands, many boards: the finished boards of each
//    combination go in batches through TableWalk::evaluate; when an item has many boards they
//    are first counted by finished state, and each state is evaluated once;
//  - pair tables: many hands meet each board (ranges, random players): each finished board's
//    values of all pairs are read once, every hand's value is the best of its pairs, and one
//    random player is counted by nested loops over the cards left without further table reads.
// Work is split into items (the first card dealt to board 1, per combination of hands) that
// threads take in turn; their integer tallies add up to the same result in any order. A single
// item can take hours (several random players), so the work counts itself as it goes and looks
// at the time limit and the stop flag every fraction of a millisecond (Pacer), set-up included.
//
// The parts: exact_cost.cpp (the cost model), board_counts.h (boards counted by state),
// exact_walk.cpp and exact_pairs.cpp (the two strategies), exact_random.cpp (the random player
// of the pair tables); this file chooses, prepares and runs the items on the threads.
#include <atomic>
#include <deque>
#include <new>
#include <thread>
#include <vector>

#include "engine/exact_internal.h"

namespace varnel {
namespace exact {

bool Enumeration::prepare(const Costs& costs, Pacer& pace) {
    Layout& l = m_layout;
    l.players = m_plan.players;
    l.boards = m_plan.boardsInPlay();
    l.need = kBoardCards - m_plan.fixedBoardCards();
    for (int b = 0; b < l.boards; ++b) {
        const CardList fixed(m_plan.boards[b]);
        BoardState s = m_walk.boardStart();
        for (int i = 0; i < fixed.n; ++i) s = m_walk.advanceBoard(s, walkCard(fixed.cards[i]));
        l.fixedState[b] = s;
    }
    const CardMask deck = kFullDeck & ~m_plan.blocked;
    for (int p = 0; p < l.players; ++p) {
        const Candidates& c = m_plan.candidates[p];
        if (c.count == 1) l.fixedHands |= c.hands[0];
        if (c.count == 0) l.randomSlot = p;
    }
    l.boardDeck = deck & ~l.fixedHands;
    for (int p = 0; p < l.players; ++p) {
        const Candidates& c = m_plan.candidates[p];
        if (p == l.randomSlot) continue;
        if (c.count == 0) {
            l.hands[p] = allHoleSets(deck, m_plan.holeCount, pace);
            continue;
        }
        l.hands[p].reserve(c.count);
        for (std::uint32_t i = 0; i < c.count && !pace(kListWork); ++i)
            l.hands[p].push_back(makeHand(c.hands[i]));
    }
    if (pace(0)) return false;
    l.walk = costs.walk();
    const std::int64_t firstCards = l.need ? kDeckSize : 1;
    if (!l.walk) {
        m_items = firstCards;
        return true;
    }
    // Every disjoint combination of the players' hands.
    CardMask combo[kMaxPlayers];
    auto walkCombos = [&](auto&& self, int p, CardMask used) -> bool {
        if (p == l.players) {
            l.combos.insert(l.combos.end(), combo, combo + l.players);
            return false;
        }
        for (const Hand& h : l.hands[p]) {
            if (pace(kComboWork)) return true;
            if (h.mask & used) continue;
            combo[p] = h.mask;
            if (self(self, p + 1, used | h.mask)) return true;
        }
        return false;
    };
    if (walkCombos(walkCombos, 0, 0)) return false;
    m_items = static_cast<std::int64_t>(l.combos.size()) / l.players * firstCards;
    return true;
}

void Enumeration::runItem(std::int64_t item, Worker& worker) const {
    if (m_layout.walk) {
        walkItem(item, worker);
    } else {
        pairItem(item, worker);
    }
}

}  // namespace exact

EquityResult runExact(const RunContext& run) {
    using namespace exact;
    const EquityRequest& request = run.request;
    const DealPlan& plan = run.plan;
    EquityResult result;
    result.mode = EquityMode::Exact;
    result.playerCount = plan.players;
    const int threads = std::max(1, request.threads);
    const Costs costsOfPlan = costs(plan);
    if (const double bytes = exactBytes(costsOfPlan, plan.players, threads);
        bytes > kMaxExactBytes) {
        result.end = RunEnd::Rejected;
        result.reason = "the enumeration needs about " + megabytes(bytes) + ", more than the " +
                        megabytes(kMaxExactBytes) + " it may take";
        return result;
    }
    static constexpr const char* kNoMemory = "not enough memory for the enumeration";
    Control control(run.limits);
    Enumeration enumeration(plan);
    std::deque<Worker> workers;
    try {
        Pacer pace(control);
        enumeration.prepare(costsOfPlan, pace);
        for (int t = 0; t < threads; ++t) workers.emplace_back(control);
    } catch (const std::bad_alloc&) {
        control.abort(RunEnd::Rejected, kNoMemory);
    }
    const std::int64_t items = enumeration.items();
    std::atomic<std::int64_t> nextItem{0};
    std::atomic<std::int64_t> itemsDone{0};
    auto work = [&](int t, bool reports) {
        int reported = -1;
        try {
            for (std::int64_t i; !control.poll() && (i = nextItem++) < items;) {
                enumeration.runItem(i, workers[t]);
                const std::int64_t done = ++itemsDone;
                const int step = static_cast<int>(done * kProgressSteps / (items + 1));
                if (reports && request.progress && step > reported) {
                    reported = step;
                    request.progress(step);
                }
            }
        } catch (const std::bad_alloc&) {
            control.abort(RunEnd::Rejected, kNoMemory);
        }
    };
    if (!control.aborted()) {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t) helpers.emplace_back(work, t, false);
        try {
            work(0, true);
        } catch (...) {
            control.abort(RunEnd::Stopped);  // the helpers end at their next poll and join
            throw;
        }
    }
    TallyTotal total;
    for (const Worker& w : workers) {
        total.add(w.total);
        total.add(w.tally);
    }
    result.end = control.aborted() ? control.end() : RunEnd::Finished;
    result.reason = control.reason();
    result.deals = total.outcomes;
    if (total.outcomes == 0 && result.end == RunEnd::Finished) result.end = RunEnd::NoValidDeal;
    fillPlayers(total, plan.players, plan.boardsInPlay(), false, plan.hiLo, result);
    return result;
}

}  // namespace varnel
