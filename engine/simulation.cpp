#include "engine/simulation.h"

#include <algorithm>
#include <bit>
#include <random>
#include <thread>
#include <vector>

#include "core/game.h"
#include "engine/mersenne_twister.h"
#include "eval/omaha_eval.h"
#include "eval/table_walk.h"

namespace varnel {
namespace {

using Clock = std::chrono::steady_clock;

// Deals are generated in batches of this size; the boards and hands of a batch are walked
// together so that the table loads of different deals overlap, then the deals are counted one
// by one in order.
inline constexpr int kDealBatch = 32;
static_assert(kDealBatch <= kWalkMaxDeals && kMaxPlayers <= kWalkMaxHands &&
              kMaxBoards <= kWalkMaxBoards);
// While deals keep being discarded, the time limit is looked at every this many discards.
inline constexpr std::int64_t kDiscardClockInterval = 4096;

// Share of each of k tied winners, indexed by k.
inline constexpr std::array<double, kMaxPlayers + 1> kShare = [] {
    std::array<double, kMaxPlayers + 1> t{};
    for (int k = 1; k <= kMaxPlayers; ++k) t[k] = 1.0 / k;
    return t;
}();

// x mod d for 32-bit x and a fixed d > 0, by two multiplications (exact for every 32-bit x).
struct FastModulo {
    std::uint64_t magic = 0;
    std::uint32_t divisor = 1;
    void set(std::uint32_t d) {
        divisor = d;
        magic = UINT64_MAX / d + 1;
    }
    std::uint32_t operator()(std::uint32_t x) const {
        const std::uint64_t low = magic * x;
        return static_cast<std::uint32_t>((static_cast<unsigned __int128>(low) * divisor) >> 64);
    }
};

// The hands one player may receive: none (a random hand), one, or a list to pick from.
struct Candidates {
    const CardMask* hands = nullptr;
    std::uint32_t count = 0;
    FastModulo pick;                // r mod count
    int minCards = 0;               // fewest cards of any candidate
    int maxCards = 0;               // most cards of any candidate
    std::vector<CardMask> storage;  // the filtered copy, when filtering dropped hands
};

// Keeps the hands of `list` that avoid `blocked` and hold 2..holeCount valid cards.
void filterCandidates(const HandList& list, CardMask blocked, int holeCount, Candidates& c) {
    auto keep = [&](CardMask hand) {
        const int n = cardCount(hand);
        return (hand & (blocked | ~kFullDeck)) == 0 && n >= kMinHoleCards && n <= holeCount;
    };
    std::size_t kept = 0;
    int minCards = holeCount;
    int maxCards = 0;
    for (CardMask hand : list.hands) {
        if (keep(hand)) {
            ++kept;
            minCards = std::min(minCards, cardCount(hand));
            maxCards = std::max(maxCards, cardCount(hand));
        }
    }
    c.minCards = kept ? minCards : holeCount;
    c.maxCards = kept ? maxCards : holeCount;
    c.count = static_cast<std::uint32_t>(kept);
    c.pick.set(std::max(c.count, 1u));
    if (kept == list.hands.size()) {
        c.hands = list.hands.data();
        return;
    }
    c.storage.reserve(kept);
    for (CardMask hand : list.hands) {
        if (keep(hand)) c.storage.push_back(hand);
    }
    c.hands = c.storage.data();
}

// A list of exactly one hand is used as it is, whatever it meets.
void singleCandidate(const HandList& list, Candidates& c) {
    c.hands = list.hands.data();
    c.count = 1;
    c.minCards = c.maxCards = cardCount(list.hands[0]);
}

// Deals waiting to be evaluated and counted, in the order they were dealt.
struct DealBatch {
    WalkDeal deals[kDealBatch];
    int size = 0;  // dealt
    int want = 0;  // to deal
};

// What stays fixed during a run.
struct RunSetup {
    int holeCount;
    int players;
    const Candidates* candidates;
    Boards boards;
    CardMask dead;
    std::uint32_t seed;
    Clock::time_point start;
    std::int32_t seconds;
    std::int64_t maxConsecutiveDiscards;
    bool roomCheck;   // whether a deal's hands may leave too few cards for the boards
    bool dealAround;  // random hands avoid every card in play (see simulateEquity)
};

// Deals batches of deals and evaluates them with one batched table walk each.
class Simulation {
  public:
    explicit Simulation(const RunSetup& setup)
        : m_setup(setup),
          m_holeCount(setup.holeCount),
          m_players(setup.players),
          m_boardsInPlay(setup.boards[1] ? 2 : 1),
          m_fixedCards(cardCount(setup.boards[0])),
          m_blocked(setup.boards[0] | setup.boards[1] | setup.dead),
          m_rng(setup.seed) {
        m_shape = {m_holeCount, m_players, m_boardsInPlay, m_fixedCards};
        for (int b = 0; b < m_boardsInPlay; ++b) {
            CardId fixed[kBoardCards];
            cardsFromMask(setup.boards[b], fixed);
            BoardState s = m_walk.boardStart();
            for (int i = 0; i < m_fixedCards; ++i) s = m_walk.advanceBoard(s, walkCard(fixed[i]));
            m_fixedState[b] = s;
        }
        m_cardsToDeal = (kBoardCards - m_fixedCards) * m_boardsInPlay;
    }

    bool discardStop() const { return m_discardStop; }
    std::int64_t discardedDeals() const { return m_discarded; }

    // True once more than the time limit has passed since the start.
    bool timeUp() const {
        const auto elapsed = Clock::now() - m_setup.start;
        return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() >
               std::int64_t{m_setup.seconds} * 1000;
    }

    // Deals until `batch` holds `batch.want` deals or too many deals in a row were discarded
    // (or, while they are, the time limit has passed).
    void fill(DealBatch& batch) {
        batch.size = 0;
        while (batch.size < batch.want && !m_discardStop) {
            if (deal(batch.deals[batch.size])) {
                ++batch.size;
                m_consecutiveDiscards = 0;
                continue;
            }
            ++m_discarded;
            ++m_consecutiveDiscards;
            if (m_consecutiveDiscards >= m_setup.maxConsecutiveDiscards ||
                (m_setup.seconds != 0 && m_consecutiveDiscards % kDiscardClockInterval == 0 &&
                 timeUp())) {
                m_discardStop = true;
            }
        }
    }

    // Values of every player on every board in play for the deals of `batch`.
    void evaluate(const DealBatch& batch, WalkValues* values) const {
        m_walk.evaluate(m_shape, batch.deals, batch.size, values);
    }

    int boardsInPlay() const { return m_boardsInPlay; }

  private:
    std::uint32_t next() { return m_rng(); }

    // Deals one hand per player and completes the boards; false when the deal is discarded.
    bool deal(WalkDeal& d) {
        CardMask dealt = m_blocked;
        CardMask hands[kMaxPlayers];
        for (int p = 0; p < m_players; ++p) {
            const Candidates& c = m_setup.candidates[p];
            CardMask hand;
            if (c.count == 1) {
                hand = c.hands[0];
            } else if (c.count == 0) {
                hand = randomHand(m_setup.dealAround ? dealt : m_setup.dead);
            } else {
                hand = c.hands[c.pick(next())];
            }
            if (hand & dealt) return false;
            dealt |= hand;
            hands[p] = hand;
        }
        if (m_setup.roomCheck && cardCount(dealt) + m_cardsToDeal > kDeckSize) return false;
        for (int pos = m_fixedCards; pos < kBoardCards; ++pos) {
            for (int b = 0; b < m_boardsInPlay; ++b) {
                CardId card;
                do {
                    card = static_cast<CardId>(next() % kDeckSize);
                } while (dealt & cardBit(card));
                dealt |= cardBit(card);
                d.board[b][pos] = walkCard(card);
            }
        }
        for (int p = 0; p < m_players; ++p) {
            int n = 0;
            for (CardMask m = hands[p]; m; m &= m - 1)
                d.hole[p][n++] = walkCard(std::countr_zero(m));
            d.holeCards[p] = static_cast<std::uint8_t>(n);
        }
        std::copy_n(m_fixedState, kMaxBoards, d.boardState);  // all of them: no call to memcpy
        return true;
    }

    // holeCount distinct cards, each r mod 52 drawn again while it is already in the hand or in
    // `avoid`.
    CardMask randomHand(CardMask avoid) {
        CardMask hand = 0;
        for (int n = 0; n < m_holeCount; ++n) {
            CardMask bit;
            do {
                bit = cardBit(static_cast<CardId>(next() % kDeckSize));
            } while ((hand | avoid) & bit);
            hand |= bit;
        }
        return hand;
    }

    const RunSetup& m_setup;
    TableWalk m_walk;
    WalkShape m_shape;
    int m_holeCount;
    int m_players;
    int m_boardsInPlay;
    int m_fixedCards;
    int m_cardsToDeal = 0;
    CardMask m_blocked;
    BoardState m_fixedState[kMaxBoards] = {};
    MersenneTwister m_rng;
    std::int64_t m_discarded = 0;
    std::int64_t m_consecutiveDiscards = 0;
    bool m_discardStop = false;
};

// Credits the winners of one deal: 1/k on each board, the mean over two boards.
inline void creditDeal(const WalkValues& values, int players, int boardsInPlay, double* sums) {
    double share[kMaxBoards][kMaxPlayers] = {};
    for (int b = 0; b < boardsInPlay; ++b) {
        HandValue best = values[0][b];
        for (int p = 1; p < players; ++p) best = std::max(best, values[p][b]);
        int winners = 0;
        for (int p = 0; p < players; ++p) winners += values[p][b] == best;
        for (int p = 0; p < players; ++p)
            share[b][p] = values[p][b] == best ? kShare[winners] : 0.0;
    }
    for (int p = 0; p < players; ++p) {
        sums[p] += boardsInPlay == 1 ? share[0][p] : (share[0][p] + share[1][p]) / 2;
    }
}

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

    // Candidates, filtered once against everything fixed.
    const CardMask fixedMask = boards[0] | boards[1];
    const CardMask dead = options.deadCards & kFullDeck & ~fixedMask;
    const CardMask blocked = fixedMask | dead;
    std::array<Candidates, kMaxPlayers> candidates;
    if (firstList.hands.size() == 1) {
        singleCandidate(firstList, candidates[0]);
    } else {
        filterCandidates(firstList, blocked, holeCount, candidates[0]);
    }
    const CardMask firstSingle = candidates[0].count == 1 ? candidates[0].hands[0] : 0;
    for (int p = 1; p < players; ++p) {
        const HandList& list = otherLists[p - 1];
        if (list.hands.size() == 1) {
            singleCandidate(list, candidates[p]);
        } else if (list.hands.empty()) {
            candidates[p].minCards = candidates[p].maxCards = holeCount;
        } else {
            filterCandidates(list, blocked | firstSingle, holeCount, candidates[p]);
        }
    }

    // Inputs that can never give a counted deal end here.
    CardMask singles = 0;
    bool singlesConflict = false;
    const int boardCards = cardCount(fixedMask) + (kBoardCards - fixedCards) * (boards[1] ? 2 : 1);
    int leastNeeded = boardCards;
    int mostNeeded = boardCards;
    for (int p = 0; p < players; ++p) {
        const Candidates& c = candidates[p];
        leastNeeded += c.minCards;
        mostNeeded += c.maxCards;
        if (c.count != 1) continue;
        const CardMask hand = c.hands[0];
        if ((hand & ~kFullDeck) != 0 || cardCount(hand) < kMinHoleCards ||
            cardCount(hand) > holeCount) {
            out.status = SimulationStatus::Rejected;
            return 0.0;
        }
        singlesConflict |= (hand & (singles | blocked)) != 0;
        singles |= hand;
    }
    const int available = kDeckSize - cardCount(dead);
    // A random hand drawn without regard to the other cards in play collides with them so often
    // that with many random players hardly a deal would be counted (ten random four-card hands
    // are disjoint about once in 10^8 tries). When every hand has holeCount cards, drawing the
    // random hands from the cards not yet in play gives exactly the same distribution of deals,
    // since a random hand is disjoint from a set of d cards with a chance that depends on d only;
    // then random hands are dealt around the cards in play. Lists with shorter hands keep the
    // draw that ignores other cards (and its discarded deals), which weighs such hands right.
    const int fullHands = boardCards + players * holeCount;
    if (singlesConflict || leastNeeded > available) {
        out.status = SimulationStatus::NoValidDeal;
        return 0.0;
    }

    const RunSetup setup{holeCount,
                         players,
                         candidates.data(),
                         boards,
                         dead,
                         seed,
                         start,
                         seconds,
                         options.maxConsecutiveDiscards,
                         mostNeeded > available,
                         leastNeeded == mostNeeded && mostNeeded == fullHands};
    Simulation sim(setup);
    const std::int64_t step = requested / kProgressSteps;
    double sums[kMaxPlayers] = {};
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
            creditDeal(values[i], players, sim.boardsInPlay(), sums);
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
    for (int p = 1; p < players; ++p) otherResults[p - 1] = sums[p] / static_cast<double>(counted);
    return sums[0] / static_cast<double>(counted);
}

}  // namespace varnel
