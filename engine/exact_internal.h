#pragma once
// What the parts of the exact enumeration share (engine/exact*.cpp): the work accounting that
// ends a run on time, the hands and layout of a request, and the enumeration object whose items
// the threads take in turn. Internal to the engine.

#include <algorithm>
#include <bit>
#include <cmath>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "core/game.h"
#include "engine/board_counts.h"
#include "engine/equity_runs.h"

namespace varnel::exact {

// Costs measured on one core with varnel-cli equity --mode exact --threads 1, in seconds:
// heads-up and three-way preflop with fixed hands (29 ns per hand and board in CPU time with
// varnel-cli bench, hu4-preflop-exact 0.062 s; 50 and 62 ns of wall time before, which made the
// automatic mode sample spots it enumerates in a fraction of the second), a fixed hand against
// a random hand on the flop with 4, 5 and 6 cards (1.6, 3.4 and 5.2 ns per hole set: about 0.9 ns
// per row of the nested loop, holeCount - 1 rows), and a range against a fixed hand on the flop
// (AhAdKsQs against 47,971 hands on Qh7c2d: 0.66 s, 17 ns per combination, 60 before).
inline constexpr double kWalkSecondsPerHand = 3e-8;  // one hand on one board, batched walk
inline constexpr double kPairTableSeconds = 6e-6;    // the pair values of one board
inline constexpr double kListHandSeconds = 4e-9;     // one list hand's value from a pair table
inline constexpr double kComboSeconds = 1.7e-8;      // one combination of list hands
inline constexpr double kRandomRowSeconds = 0.9e-9;  // one row of one random hole set
// Most combinations of hands the fixed-hand strategy keeps.
inline constexpr double kMaxWalkCombos = 1 << 20;
// Fewest boards of one item for which the fixed-hand strategy counts the boards of each state
// before evaluating: preflop items (up to 249,900 boards) are counted but the last few, and the
// items of a flop or a turn (at most 50 boards) are evaluated board by board.
inline constexpr double kMinCountedBoards = 256;
// Work between two looks at the time limit and the stop flag, in units of about a nanosecond on
// one core: a look (a clock read, tens of nanoseconds) costs well under 0.1% of it, and a run
// ends within a millisecond or so of its limit even where the estimates below are 100 times low.
inline constexpr std::int64_t kPollWork = std::int64_t{1} << 17;
// Estimated work of one board outcome, of one list hand's value on one board, of one step of
// a walk over combinations of hands, and of making one hand of a list.
inline constexpr std::int64_t kOutcomeWork = 4;
inline constexpr auto kWalkHandWork = static_cast<std::int64_t>(kWalkSecondsPerHand * 1e9);
inline constexpr std::int64_t kPairWork = 1;
inline constexpr std::int64_t kComboWork = 8;
inline constexpr std::int64_t kListWork = 16;

// A hand with its cards in ascending order (16 bytes: random players' lists run to millions).
struct Hand {
    CardMask mask = 0;
    std::uint8_t count = 0;
    std::uint8_t cards[kMaxHoleCards] = {};
};

inline Hand makeHand(CardMask mask) {
    Hand h;
    h.mask = mask;
    for (CardMask m = mask; m && h.count < kMaxHoleCards; m &= m - 1)
        h.cards[h.count++] = static_cast<std::uint8_t>(std::countr_zero(m));
    return h;
}

// Calls f(mask) for every set of k cards of `cards` (ascending order of sets) until f returns
// true; true when it did.
template <class F>
bool forEachSubset(const CardId* cards, int n, int k, int from, CardMask chosen, F&& f) {
    if (k == 0) return f(chosen);
    for (int i = from; i <= n - k; ++i)
        if (forEachSubset(cards, n, k - 1, i + 1, chosen | cardBit(cards[i]), f)) return true;
    return false;
}

// Calls f(state, cards) for every completion of a board by `need` cards of deck[from..n), in
// ascending order, each state one read after its prefix's.
template <class F>
void completeBoard(const TableWalk& walk, BoardState state, CardMask cards, const CardId* deck,
                   int n, int from, int need, F&& f) {
    if (need == 0) {
        f(state, cards);
        return;
    }
    for (int i = from; i <= n - need; ++i) {
        // The next prefix's entries arrive while this one's boards are walked.
        if (need > 1 && i < n - need)
            walk.prefetchNext(walk.advanceBoard(state, walkCard(deck[i + 1])));
        completeBoard(walk, walk.advanceBoard(state, walkCard(deck[i])), cards | cardBit(deck[i]),
                      deck, n, i + 1, need - 1, f);
    }
}

// What the enumeration needs besides the plan.
struct Layout {
    int players = 0;
    int boards = 1;
    int need = 0;             // cards dealt to each board
    int randomSlot = -1;      // the random player counted by nested loops, or -1
    CardMask fixedHands = 0;  // cards of the single hands
    CardMask boardDeck = 0;   // cards boards are completed from
    std::array<std::vector<Hand>, kMaxPlayers> hands;  // every player's but the slot's
    BoardState fixedState[kMaxBoards] = {};
    bool walk = false;             // the fixed-hand strategy
    std::vector<CardMask> combos;  // walk: players masks per combination, disjoint
};

// Ends the enumeration early: the first reason seen (time limit, stop flag, lack of memory) is
// kept.
class Control {
  public:
    explicit Control(const RunLimits& limits) : m_limits(limits) {}

    // True once the run must end; looks at the clock and the stop flag.
    bool poll() {
        if (aborted()) return true;
        switch (m_limits.check()) {
            case RunLimits::Cut::Stopped:
                return abort(RunEnd::Stopped);
            case RunLimits::Cut::TimeLimit:
                return abort(RunEnd::TimeLimit);
            default:
                return false;
        }
    }
    // Ends the run (unless it has ended already) for `why`; true.
    bool abort(RunEnd why, const char* reason = "") {
        std::lock_guard lock(m_mutex);
        if (!m_abort.load()) {
            m_end = why;
            m_reason = reason;
            m_abort.store(true);
        }
        return true;
    }
    bool aborted() const { return m_abort.load(std::memory_order_relaxed); }
    RunEnd end() const { return m_end; }
    const char* reason() const { return m_reason; }

  private:
    const RunLimits& m_limits;
    std::atomic<bool> m_abort{false};
    std::mutex m_mutex;
    RunEnd m_end = RunEnd::Finished;
    const char* m_reason = "";
};

// One thread's count of the work it did since it last polled the control (units of kPollWork).
// At each poll it moves the thread's tally, once that holds kSettleOutcomes outcomes, into the
// thread's total: between two polls a few times 10^8 outcomes are credited at most (one random
// player's hole sets at a time), so the tally's 64-bit sums stay far from overflowing.
class Pacer {
  public:
    explicit Pacer(Control& control, Tally* tally = nullptr, TallyTotal* total = nullptr)
        : m_control(control), m_tally(tally), m_total(total) {}

    // Counts `work` units and polls when kPollWork have gathered; true once a poll has said the
    // run must end.
    bool operator()(std::int64_t work) {
        if ((m_left -= work) > 0) [[likely]]
            return m_ended;
        return poll();
    }
    // What the last poll said.
    bool ended() const { return m_ended; }

  private:
    static constexpr std::int64_t kSettleOutcomes = std::int64_t{1} << 32;

    // Kept out of line: the loops that count their work stay as tight as without it.
    [[gnu::noinline]] bool poll() {
        m_left = kPollWork;
        if (m_tally && m_tally->outcomes >= kSettleOutcomes) {
            m_total->add(*m_tally);
            *m_tally = Tally{};
        }
        return m_ended = m_control.poll();
    }

    Control& m_control;
    Tally* m_tally;
    TallyTotal* m_total;
    std::int64_t m_left = kPollWork;
    bool m_ended = false;
};

// Hole sets a random player may hold: every set of holeCount cards of the deck; cut short
// when the run ends.
std::vector<Hand> allHoleSets(CardMask deck, int holeCount, Pacer& pace);

// Counts and costs of both strategies for a plan.
struct Costs {
    double outcomes = 0;
    double walkSeconds = 0;
    double pairSeconds = 0;
    int randomPlayers = 0;
    double listHands = 0;    // hands of the players' lists
    double randomLists = 0;  // hole sets of the random players held as lists
    double listCombos = 0;   // combinations of list hands, collisions ignored

    bool walk() const { return walkSeconds <= pairSeconds; }
};

// Counts and costs of both strategies for a plan.
Costs costs(const DealPlan& plan);

// The cards of a mask as a list, in ascending order.
struct CardList {
    CardId cards[kDeckSize];
    int n = 0;
    explicit CardList(CardMask mask) : n(cardsFromMask(mask, cards)) {}
};

// The pair values of every board of one outcome, squeezed to 16 bits (values stay below 2^15)
// and indexed by the position of a card among the cards a random hand may take.
struct SlotTables {
    std::int16_t value[kMaxBoards][kDeckSize][kDeckSize];
    // Hi/Lo: each card's low rank, each board's low ranks and the best low of the other hands.
    LowRanks cardLow[kDeckSize];
    LowRanks boardLow[kMaxBoards];
    LowValue bestLow[kMaxBoards];
};

// Outcome counts of the random hand against the best other hand on each board: index
// sum over b of 3^b * (0 worse, 1 equal, 2 better); in a Hi/Lo game, sum over b of
// 9^b * (3 * high class + low class).
inline constexpr int kClasses = 3;
using SlotCounts = std::array<std::int64_t, kClasses * kClasses * kClasses * kClasses>;

// 0, 1 or 2 as `value` is worse than, equal to or better than `best`.
inline int classOf(int value, int best) {
    return (value >= best) + (value > best);
}

// Counts the hole sets of the random player of `holeCount` cards among the n cards of `t`
// against the best other hands; true when the run ended.
bool countRandomHands(const SlotTables& t, int holeCount, bool hiLo, int boards, int n,
                      const HandValue* best, SlotCounts& counts, Pacer& pace);

// A hand of a player's list with its value on each board of one outcome.
struct Valued {
    CardMask mask;
    HandValue value[kMaxBoards];
    LowValue low[kMaxBoards];
};

// What one item reuses from board to board.
struct Scratch {
    PairValues pairs[kMaxBoards];
    std::vector<Valued> valued[kMaxPlayers];
    SlotTables tables;
};

// Most bytes a thread's board counts take: an item has at most 249,900 boards (51 choose 4),
// the slots grow to at most four per board, and the spare holds half as many.
inline constexpr double kMaxBoardCountBytes = 249900 * 6 * sizeof(std::uint64_t);

// What each thread keeps from item to item; it stays where it was made.
struct Worker {
    explicit Worker(Control& control) : pace(control, &tally, &total) {}
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    Tally tally;
    TallyTotal total;  // the tally's earlier outcomes
    BoardCounts counts;
    Pacer pace;
};

// The enumeration of one request, shared by the threads; each thread works through items with
// a Worker of its own.
class Enumeration {
  public:
    explicit Enumeration(const DealPlan& plan) : m_plan(plan) {}

    // Chooses the strategy and prepares the hands; false when the run ended meanwhile.
    bool prepare(const Costs& costs, Pacer& pace);
    std::int64_t items() const { return m_items; }
    void runItem(std::int64_t item, Worker& worker) const;

  private:
    void walkItem(std::int64_t item, Worker& worker) const;
    void pairItem(std::int64_t item, Worker& worker) const;
    // Board 1 completed from `deck` by the item's first card, then board 2 (when in play) from
    // the cards left; f(states, cards of each board) for every outcome until the run ends.
    template <class F>
    void forEachBoardPair(const CardList& deck, int first, Pacer& pace, F&& f) const;
    void countPlayers(const BoardState* states, const CardMask* boardCards, Scratch& scratch,
                      Worker& worker) const;

    const DealPlan& m_plan;
    TableWalk m_walk;
    Layout m_layout;
    std::int64_t m_items = 0;
};

template <class F>
void Enumeration::forEachBoardPair(const CardList& deck, int first, Pacer& pace, F&& f) const {
    const Layout& l = m_layout;
    BoardState s1 = l.fixedState[0];
    CardMask m1 = 0;
    int from = 0;
    int need = l.need;
    if (need) {
        s1 = m_walk.advanceBoard(s1, walkCard(deck.cards[first]));
        m1 = cardBit(deck.cards[first]);
        from = first + 1;
        --need;
    }
    // Once the run has ended the remaining boards of the item are passed over (at most 249,900).
    completeBoard(m_walk, s1, m1, deck.cards, deck.n, from, need,
                  [&](BoardState state1, CardMask cards1) {
                      if (pace(kOutcomeWork)) return;
                      if (l.boards == 1) {
                          const BoardState states[kMaxBoards] = {state1, 0};
                          const CardMask cards[kMaxBoards] = {cards1 | m_plan.boards[0], 0};
                          f(states, cards);
                          return;
                      }
                      CardMask rest = 0;
                      for (int i = 0; i < deck.n; ++i) rest |= cardBit(deck.cards[i]);
                      const CardList deck2(rest & ~cards1);
                      completeBoard(m_walk, l.fixedState[1], 0, deck2.cards, deck2.n, 0, l.need,
                                    [&](BoardState state2, CardMask cards2) {
                                        if (pace(kOutcomeWork)) return;
                                        const BoardState states[kMaxBoards] = {state1, state2};
                                        const CardMask cards[kMaxBoards] = {
                                            cards1 | m_plan.boards[0], cards2 | m_plan.boards[1]};
                                        f(states, cards);
                                    });
                  });
}

// Bytes an enumeration holds (see exact_cost.cpp), and a size for messages.
double exactBytes(const Costs& c, int players, int threads);
std::string megabytes(double bytes);

}  // namespace varnel::exact
