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
#include "engine/equity_runs.h"

namespace varnel {
namespace {

// Costs measured on one core with varnel-cli equity --mode exact --threads 1, in seconds:
// heads-up and three-way preflop with fixed hands (50 and 62 ns per hand and board), a fixed
// hand against a random hand on the flop with 4, 5 and 6 cards (1.6, 3.4 and 5.2 ns per hole
// set: about 0.9 ns per row of the nested loop, holeCount - 1 rows), and a range against a fixed
// hand on the flop.
inline constexpr double kWalkSecondsPerHand = 6e-8;  // one hand on one board, batched walk
inline constexpr double kPairTableSeconds = 6e-6;    // the pair values of one board
inline constexpr double kListHandSeconds = 4e-9;     // one list hand's value from a pair table
inline constexpr double kComboSeconds = 6e-8;        // one combination of list hands
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

Hand makeHand(CardMask mask) {
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

// How many boards of one item end in each key: a finished board's state (and, in a Hi/Lo game,
// its low ranks above it). Boards that end in the same state give every hand the same value, so
// each key is evaluated once and credited for all its boards. Open addressing with linear
// probing, grown at half full; a slot holds its count above its key (0: empty). The slots are
// kept from item to item, as many as the largest item needed unless an item has fewer boards.
class BoardCounts {
  public:
    using Key = std::uint64_t;

    // Starts an item of at most `boards` boards; every count is 0.
    void start(std::int64_t boards) {
        const std::size_t enough =
            std::max(kFirstSlots, std::bit_ceil(2 * static_cast<std::size_t>(boards)));
        if (m_slots.empty()) {
            m_slots.resize(kFirstSlots);
        } else if (enough < m_slots.size()) {
            m_slots.resize(enough);
        }
        m_bits = std::countr_zero(m_slots.size());
        m_mask = m_slots.size() - 1;
    }

    static Key key(BoardState state, LowRanks low) { return Key{low} << 32 | state; }
    static BoardState state(Key key) { return static_cast<BoardState>(key); }
    static LowRanks low(Key key) { return static_cast<LowRanks>(key >> 32); }

    void add(Key key) {
        for (std::size_t i = slot(key);; i = (i + 1) & m_mask) {
            std::uint64_t& s = m_slots[i];
            if (s == 0) {
                s = kOne | key;
                if (++m_used * 2 > m_slots.size()) grow();
                return;
            }
            if ((s & kKeyMask) == key) {
                s += kOne;
                return;
            }
        }
    }

    // f(key, boards) for every key seen, setting every count back to 0.
    template <class F>
    void take(F&& f) {
        for (std::uint64_t& s : m_slots) {
            if (s != 0) f(s & kKeyMask, static_cast<std::int64_t>(s >> kKeyBits));
            s = 0;
        }
        m_used = 0;
    }

  private:
    // A key has 40 bits; the count above it has 24, more than the boards of one item
    // (at most 51 choose 4 = 249,900).
    static constexpr int kKeyBits = 40;
    static constexpr std::uint64_t kKeyMask = (std::uint64_t{1} << kKeyBits) - 1;
    static constexpr std::uint64_t kOne = std::uint64_t{1} << kKeyBits;
    static constexpr std::size_t kFirstSlots = 1024;

    std::size_t slot(Key key) const {
        constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15;  // 2^64 / golden ratio
        return static_cast<std::size_t>((key * kGolden) >> (64 - m_bits));
    }

    void grow() {
        m_spare.assign(m_slots.size() * 2, 0);
        m_spare.swap(m_slots);
        ++m_bits;
        m_mask = m_slots.size() - 1;
        for (const std::uint64_t s : m_spare) {
            if (s == 0) continue;
            std::size_t i = slot(s & kKeyMask);
            while (m_slots[i] != 0) i = (i + 1) & m_mask;
            m_slots[i] = s;
        }
    }

    std::vector<std::uint64_t> m_slots;
    std::vector<std::uint64_t> m_spare;  // the slots before the last growth
    int m_bits = 0;
    std::size_t m_mask = 0;
    std::size_t m_used = 0;
};

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
std::vector<Hand> allHoleSets(CardMask deck, int holeCount, Pacer& pace) {
    CardId cards[kDeckSize];
    const int n = cardsFromMask(deck, cards);
    std::vector<Hand> out;
    out.reserve(static_cast<std::size_t>(binomial(n, holeCount)));
    forEachSubset(cards, n, holeCount, 0, 0, [&](CardMask m) {
        out.push_back(makeHand(m));
        return pace(kListWork);
    });
    return out;
}

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

Costs costs(const DealPlan& plan) {
    Costs c;
    const int boards = plan.boardsInPlay();
    const int need = kBoardCards - plan.fixedBoardCards();
    const int deck = kDeckSize - cardCount(plan.blocked);
    c.listCombos = 1;
    int left = deck;  // cards not held by the fixed and listed hands, at least
    for (int p = 0; p < plan.players; ++p) {
        const Candidates& cand = plan.candidates[p];
        if (cand.count == 0) {
            ++c.randomPlayers;
            continue;
        }
        c.listCombos *= cand.count;
        c.listHands += cand.count;
        left -= cand.minCards;
    }
    const double boardOutcomes =
        static_cast<double>(binomial(left, need)) *
        (boards == 2 ? static_cast<double>(binomial(left - need, need)) : 1);
    left -= need * boards;
    // Random players in turn, from the cards the boards leave; the last is the one counted by
    // nested loops.
    double combos = c.listCombos;  // combinations the pair strategy walks for each board
    double slotSets = 0;
    for (int r = 0; r < c.randomPlayers; ++r) {
        const double sets = static_cast<double>(binomial(left, plan.holeCount));
        if (r + 1 < c.randomPlayers) {
            combos *= sets;
            c.randomLists += static_cast<double>(binomial(deck, plan.holeCount));
        } else {
            slotSets = sets;
        }
        left -= plan.holeCount;
    }
    c.outcomes = boardOutcomes * combos * std::max(slotSets, 1.0);
    c.walkSeconds =
        c.randomPlayers || c.listCombos > kMaxWalkCombos
            ? HUGE_VAL
            : c.listCombos * boardOutcomes * plan.players * boards * kWalkSecondsPerHand;
    c.pairSeconds =
        boardOutcomes *
        (boards * kPairTableSeconds + (c.listHands + c.randomLists) * boards * kListHandSeconds +
         combos * (kComboSeconds + slotSets * boards * (plan.holeCount - 1) * kRandomRowSeconds));
    return c;
}

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

// Work of one random hole set: a read of each row of its chosen cards on each board, and in a
// Hi/Lo game a low value per board.
template <int N>
std::int64_t slotSetWork(bool hiLo, int boards) {
    return (N - 1 + (hiLo ? 3 : 0)) * boards;
}

// Number of sets of three of m cards.
std::int64_t triples(std::int64_t m) {
    return m * (m - 1) * (m - 2) / 6;
}

// Nested ascending loops over the hole sets of N cards; `carried[b]` is the best pair among the
// cards chosen so far on board b. The innermost loop reads rows of the chosen cards only. The
// work is counted for every choice of the card that leaves three to choose (at most 20,825 sets:
// tens of microseconds); once the run has ended the loops stop, leaving the counts partial.
template <int N, int Depth, bool HiLo>
void countSlot(const SlotTables& t, int boards, int n, int from, const int* chosen,
               const std::int16_t* carried, LowRanks lows, const HandValue* best,
               SlotCounts& counts, Pacer& pace) {
    if constexpr (Depth == N - 1) {
        if (HiLo) {
            const LowTable& lowValues = lowTable();
            for (int l = from; l < n; ++l) {
                const LowRanks hand = lows | t.cardLow[l];
                int index = 0;
                for (int b = 0, weight = 1; b < boards; ++b, weight *= kClasses * kClasses) {
                    std::int16_t v = carried[b];
                    for (int k = 0; k < N - 1; ++k) v = std::max(v, t.value[b][chosen[k]][l]);
                    const int low = lowValues.value(hand, t.boardLow[b]);
                    index += weight * (kClasses * classOf(v, best[b]) + classOf(low, t.bestLow[b]));
                }
                ++counts[index];
            }
            return;
        }
        if (boards == 1) {
            const std::int16_t* rows[N - 1];
            for (int k = 0; k < N - 1; ++k) rows[k] = t.value[0][chosen[k]];
            const std::int16_t c = carried[0];
            const auto b = static_cast<std::int16_t>(best[0]);
            int worse = 0, equal = 0;
            for (int l = from; l < n; ++l) {
                std::int16_t v = c;
                for (int k = 0; k < N - 1; ++k) v = std::max(v, rows[k][l]);
                worse += v < b;
                equal += v == b;
            }
            counts[0] += worse;
            counts[1] += equal;
            counts[2] += n - from - worse - equal;
            return;
        }
        for (int l = from; l < n; ++l) {
            int index = 0;
            for (int b = 0, weight = 1; b < boards; ++b, weight *= 3) {
                std::int16_t v = carried[b];
                for (int k = 0; k < N - 1; ++k) v = std::max(v, t.value[b][chosen[k]][l]);
                index += weight * classOf(v, best[b]);
            }
            ++counts[index];
        }
    } else {
        int next[N];
        std::copy_n(chosen, Depth, next);
        for (int i = from; i <= n - (N - Depth); ++i) {
            std::int16_t c[kMaxBoards];
            for (int b = 0; b < boards; ++b) {
                c[b] = carried[b];
                for (int k = 0; k < Depth; ++k) c[b] = std::max(c[b], t.value[b][chosen[k]][i]);
            }
            next[Depth] = i;
            if constexpr (Depth + 4 == N) {
                if (pace(triples(n - i - 1) * slotSetWork<N>(HiLo, boards))) return;
            }
            countSlot<N, Depth + 1, HiLo>(t, boards, n, i + 1, next, c, lows | t.cardLow[i], best,
                                          counts, pace);
            if constexpr (Depth + 4 < N) {
                if (pace.ended()) return;
            }
        }
    }
}

// Counts the hole sets of N of the n cards of `t`; true when the run ended. Kept out of line: so
// compiled, the 4-card count of a flop runs 2% faster than inlined, and 8% faster than inlined
// with its looks at the clock.
template <int N>
[[gnu::noinline]] bool countSlotHands(const SlotTables& t, bool hiLo, int boards, int n,
                                      const HandValue* best, SlotCounts& counts, Pacer& pace) {
    // With at most three cards the whole count is a few tens of microseconds.
    if (N <= 3 && pace(static_cast<std::int64_t>(static_cast<double>(binomial(n, N))) *
                       slotSetWork<N>(hiLo, boards)))
        return true;
    const std::int16_t none[kMaxBoards] = {};
    if (hiLo) {
        countSlot<N, 0, true>(t, boards, n, 0, nullptr, none, 0, best, counts, pace);
    } else {
        countSlot<N, 0, false>(t, boards, n, 0, nullptr, none, 0, best, counts, pace);
    }
    return pace.ended();
}

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

void Enumeration::walkItem(std::int64_t item, Worker& worker) const {
    Tally& tally = worker.tally;
    const Layout& l = m_layout;
    const std::int64_t firstCards = l.need ? kDeckSize : 1;
    const CardMask* combo = l.combos.data() + item / firstCards * l.players;
    const int first = static_cast<int>(item % firstCards);
    CardMask held = 0;
    for (int p = 0; p < l.players; ++p) held |= combo[p];
    const CardList deck(l.boardDeck & ~held);
    if (l.need && first > deck.n - l.need) return;
    // Every deal of a batch holds the same hands; only the board states change.
    WalkDeal deals[kWalkMaxDeals];
    for (WalkDeal& d : deals) {
        for (int p = 0; p < l.players; ++p) {
            CardId cards[kMaxHoleCards];
            const int n = cardsFromMask(combo[p], cards);
            for (int k = 0; k < n; ++k) d.hole[p][k] = walkCard(cards[k]);
            d.holeCards[p] = static_cast<std::uint8_t>(n);
        }
    }
    const WalkShape shape{m_plan.holeCount, l.players, l.boards, kBoardCards};
    WalkValues values[kWalkMaxDeals];
    std::int64_t weight[kWalkMaxDeals];
    const bool hiLo = m_plan.hiLo;
    // Built on first use: only Hi/Lo games wait for it.
    const LowTable* lowValues = hiLo ? &lowTable() : nullptr;
    LowRanks holeLow[kMaxPlayers];
    for (int p = 0; p < l.players; ++p) holeLow[p] = lowRanks(combo[p]);
    LowRanks boardLow[kWalkMaxDeals][kMaxBoards];
    LowValues lows;
    int size = 0;
    // With one board the outcomes are counted by their sets of winners (high, and low above it)
    // and credited at the end.
    std::array<std::int64_t, 1 << kMaxPlayers> byWinners{};
    const bool grouped = l.boards == 1 && (!hiLo || 2 * l.players <= kMaxPlayers);
    // weightOf(i): the boards deal i stands for.
    auto flush = [&](auto weightOf) {
        worker.pace(std::int64_t{size} * l.players * l.boards * kWalkHandWork);
        m_walk.evaluate(shape, deals, size, values);
        for (int i = 0; i < size; ++i) {
            if (hiLo) {
                for (int p = 0; p < l.players; ++p)
                    for (int b = 0; b < l.boards; ++b)
                        lows[p][b] = lowValues->value(holeLow[p], boardLow[i][b]);
            }
            const Winners w = winners(values[i], hiLo ? &lows : nullptr, l.players, l.boards);
            if (grouped) {
                byWinners[w.high[0] | w.low[0] << l.players] += weightOf(i);
            } else {
                creditWinners(w, l.players, l.boards, weightOf(i), tally);
            }
        }
        size = 0;
    };
    auto counted = [&](int i) { return weight[i]; };
    auto single = [](int) { return std::int64_t{1}; };
    // Boards of this item: its first card and need - 1 of the cards after it.
    const double itemBoards =
        l.need ? static_cast<double>(binomial(deck.n - first - 1, l.need - 1)) : 1;
    if (l.boards == 1 && itemBoards >= kMinCountedBoards) {
        BoardCounts& counts = worker.counts;
        counts.start(static_cast<std::int64_t>(itemBoards));
        forEachBoardPair(deck, first, worker.pace,
                         [&](const BoardState* states, const CardMask* cards) {
                             counts.add(BoardCounts::key(states[0], hiLo ? lowRanks(cards[0]) : 0));
                         });
        counts.take([&](BoardCounts::Key key, std::int64_t boards) {
            deals[size].boardState[0] = BoardCounts::state(key);
            boardLow[size][0] = BoardCounts::low(key);
            weight[size] = boards;
            if (++size == kWalkMaxDeals) flush(counted);
        });
        flush(counted);
    } else {
        forEachBoardPair(deck, first, worker.pace,
                         [&](const BoardState* states, const CardMask* cards) {
                             for (int b = 0; b < l.boards; ++b) {
                                 deals[size].boardState[b] = states[b];
                                 if (hiLo) boardLow[size][b] = lowRanks(cards[b]);
                             }
                             if (++size == kWalkMaxDeals) flush(single);
                         });
        flush(single);
    }
    const std::uint32_t highSets = (1u << l.players) - 1;
    for (std::uint32_t key = 1; key < byWinners.size(); ++key) {
        if (byWinners[key] == 0) continue;
        Winners w;
        w.high[0] = key & highSets;
        w.low[0] = key >> l.players;
        creditWinners(w, l.players, 1, byWinners[key], tally);
    }
}

void Enumeration::pairItem(std::int64_t item, Worker& worker) const {
    const CardList deck(m_layout.boardDeck);
    if (m_layout.need && item > deck.n - m_layout.need) return;
    auto scratch = std::make_unique<Scratch>();
    for (int p = 0; p < m_layout.players; ++p) scratch->valued[p].reserve(m_layout.hands[p].size());
    forEachBoardPair(deck, static_cast<int>(item), worker.pace,
                     [&](const BoardState* states, const CardMask* cards) {
                         countPlayers(states, cards, *scratch, worker);
                     });
}

// Every combination of the players' hands on one outcome of the boards.
void Enumeration::countPlayers(const BoardState* states, const CardMask* boards, Scratch& scratch,
                               Worker& worker) const {
    const Layout& l = m_layout;
    Tally& tally = worker.tally;
    Pacer& pace = worker.pace;
    const bool hiLo = m_plan.hiLo;
    // Built on first use: only Hi/Lo games wait for it.
    const LowTable* lowValues = hiLo ? &lowTable() : nullptr;
    LowRanks boardLow[kMaxBoards] = {};
    CardMask boardCards = 0;
    for (int b = 0; b < l.boards; ++b) {
        boardCards |= boards[b];
        boardLow[b] = lowRanks(boards[b]);
    }
    PairValues* pairs = scratch.pairs;
    for (int b = 0; b < l.boards; ++b) m_walk.pairValues(states[b], pairs[b]);
    // Each player's hands that avoid the boards, with their values.
    auto& valued = scratch.valued;
    // Work of kValueChunk hands of the list: the values of their pairs on each board.
    constexpr std::size_t kValueChunk = 256;
    const std::int64_t chunkWork = std::int64_t{kValueChunk} * m_plan.holeCount *
                                   (m_plan.holeCount - 1) / 2 * l.boards * kPairWork;
    for (int p = 0; p < l.players; ++p) {
        if (p == l.randomSlot) continue;
        valued[p].clear();
        const std::vector<Hand>& hands = l.hands[p];
        for (std::size_t k = 0; k < hands.size(); ++k) {
            if (k % kValueChunk == 0 && pace(chunkWork)) return;
            const Hand& h = hands[k];
            if (h.mask & boardCards) continue;
            Valued v{h.mask, {}, {}};
            for (int b = 0; b < l.boards; ++b) {
                v.low[b] = hiLo ? lowValues->value(lowRanks(h.mask), boardLow[b]) : kNoLow;
                HandValue best = 0;
                for (int i = 0; i < h.count; ++i)
                    for (int j = i + 1; j < h.count; ++j)
                        best = std::max(best, pairs[b][h.cards[i]][h.cards[j]]);
                v.value[b] = best;
            }
            valued[p].push_back(v);
        }
    }
    const CardMask deck = kFullDeck & ~m_plan.blocked & ~boardCards;
    SlotTables* tables = &scratch.tables;
    WalkValues values{};
    LowValues lows{};
    const LowValues* lowsIfHiLo = hiLo ? &lows : nullptr;
    // Counts the outcomes of one combination of the list hands; true when the run ended.
    auto leaf = [&](CardMask used) {
        if (l.randomSlot < 0) {
            credit(values, lowsIfHiLo, l.players, l.boards, 1, tally);
            return false;
        }
        const CardList free(deck & ~used);
        if (pace(std::int64_t{free.n} * free.n / 2 * l.boards * kPairWork)) return true;
        HandValue best[kMaxBoards] = {};
        for (int i = 0; i < free.n; ++i) tables->cardLow[i] = lowRanks(cardBit(free.cards[i]));
        for (int b = 0; b < l.boards; ++b) {
            tables->boardLow[b] = boardLow[b];
            tables->bestLow[b] = kNoLow;
            for (int p = 0; p < l.players; ++p) {
                if (p == l.randomSlot) continue;
                best[b] = std::max(best[b], values[p][b]);
                tables->bestLow[b] = std::max(tables->bestLow[b], lows[p][b]);
            }
            for (int i = 0; i < free.n; ++i)
                for (int j = i + 1; j < free.n; ++j)
                    tables->value[b][i][j] =
                        static_cast<std::int16_t>(pairs[b][free.cards[i]][free.cards[j]]);
        }
        SlotCounts counts{};
        const bool ended = withHoleCount(m_plan.holeCount, [&](auto n) {
            return countSlotHands<decltype(n)::value>(*tables, hiLo, l.boards, free.n, best, counts,
                                                      pace);
        });
        if (ended) return true;
        // One credit per class of outcome, the random hand standing for its class by a value
        // just below, at or just above the best other hand.
        const int perBoard = hiLo ? kClasses * kClasses : kClasses;
        const int classes = l.boards == 1 ? perBoard : perBoard * perBoard;
        for (int index = 0; index < classes; ++index) {
            if (counts[index] == 0) continue;
            for (int b = 0, rest = index; b < l.boards; ++b, rest /= perBoard) {
                const int high = hiLo ? rest % perBoard / kClasses : rest % perBoard;
                values[l.randomSlot][b] = best[b] - 1 + high;
                if (hiLo) {
                    lows[l.randomSlot][b] =
                        static_cast<LowValue>(tables->bestLow[b] - 1 + rest % kClasses);
                }
            }
            credit(values, lowsIfHiLo, l.players, l.boards, counts[index], tally);
        }
        return false;
    };
    // Every combination of the players' valued hands; true when the run ended.
    auto walkPlayers = [&](auto&& self, int p, CardMask used) -> bool {
        if (p == l.players) return leaf(used);
        if (p == l.randomSlot) return self(self, p + 1, used);
        if (pace(static_cast<std::int64_t>(valued[p].size()) * kComboWork)) return true;
        for (const Valued& v : valued[p]) {
            if (v.mask & used) continue;
            for (int b = 0; b < l.boards; ++b) {
                values[p][b] = v.value[b];
                lows[p][b] = v.low[b];
            }
            if (self(self, p + 1, used | v.mask)) return true;
        }
        return false;
    };
    walkPlayers(walkPlayers, 0, 0);
}

// Bytes an enumeration holds: the hands of every player but the one counted by nested loops,
// and per thread a Worker with, for the pair tables, an item's scratch and valued copy of those
// hands, or, for fixed hands, the board counts; fixed hands keep their combinations too.
double exactBytes(const Costs& c, int players, int threads) {
    const double hands = c.listHands + c.randomLists;
    double shared = hands * sizeof(Hand);
    double perThread = sizeof(Worker);
    if (c.walk()) {
        shared += c.listCombos * players * sizeof(CardMask);
        perThread += kMaxBoardCountBytes;
    } else {
        perThread += sizeof(Scratch) + hands * sizeof(Valued);
    }
    return shared + threads * perThread;
}

std::string megabytes(double bytes) {
    return std::to_string(static_cast<long long>(std::ceil(bytes / (1 << 20)))) + " MB";
}

}  // namespace

ExactEstimate estimateExact(const DealPlan& plan, int threads) {
    const Costs c = costs(plan);
    const double bytes = exactBytes(c, plan.players, threads);
    return {bytes <= kMaxExactBytes, c.outcomes, std::min(c.walkSeconds, c.pairSeconds), bytes};
}

EquityResult runExact(const RunContext& run) {
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
