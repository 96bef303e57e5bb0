#include "engine/simulation.h"

#include <algorithm>
#include <bit>
#include <random>
#include <thread>
#include <vector>

#include "core/game.h"
#include "eval/omaha_eval.h"

namespace varnel {
namespace {

using Clock = std::chrono::steady_clock;

// Deals are generated in batches of this size; the boards and hands of a batch are walked
// together so that the table loads of different deals overlap, then the deals are counted one
// by one in order.
inline constexpr int kDealBatch = 32;
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
    for (CardMask hand : list.hands) {
        if (keep(hand)) {
            ++kept;
            minCards = std::min(minCards, cardCount(hand));
        }
    }
    c.minCards = kept ? minCards : holeCount;
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
    c.minCards = cardCount(list.hands[0]);
}

// One generated deal, cards in evalIndex numbering. Hole cards are in ascending CardId order.
struct Deal {
    CardMask hands[kMaxPlayers];
    std::uint8_t hole[kMaxPlayers][kMaxHoleCards];
    std::uint8_t holeCards[kMaxPlayers];
    std::uint8_t board[kMaxBoards][kBoardCards];
};

class Simulation {
  public:
    Simulation(const OmahaEntry* table, int holeCount, int players, const Candidates* candidates,
               const Boards& boards, CardMask dead, std::uint32_t seed)
        : m_table(table),
          m_holeCount(holeCount),
          m_players(players),
          m_candidates(candidates),
          m_boardsInPlay(boards[1] ? 2 : 1),
          m_fixedCards(cardCount(boards[0])),
          m_blocked(boards[0] | boards[1] | dead),
          m_dead(dead),
          m_rng(seed) {
        for (int b = 0; b < m_boardsInPlay; ++b) {
            CardId fixed[kBoardCards];
            cardsFromMask(boards[b], fixed);
            std::uint32_t s = kStartState;
            for (int i = 0; i < m_fixedCards; ++i) s = m_table[s + kEvalIndex[fixed[i]]];
            m_fixedState[b] = s;
        }
        m_cardsToDeal = (kBoardCards - m_fixedCards) * m_boardsInPlay;
    }

    int boardsInPlay() const { return m_boardsInPlay; }

    // Deals one hand per player and completes the boards; false when the deal is discarded.
    bool deal(Deal& d) {
        CardMask dealt = m_blocked;
        for (int p = 0; p < m_players; ++p) {
            const Candidates& c = m_candidates[p];
            CardMask hand;
            if (c.count == 1) {
                hand = c.hands[0];
            } else if (c.count == 0) {
                hand = randomHand();
            } else {
                hand = c.hands[c.pick(next())];
            }
            if (hand & dealt) return false;
            dealt |= hand;
            d.hands[p] = hand;
        }
        if (cardCount(dealt) + m_cardsToDeal > kDeckSize) return false;
        for (int pos = m_fixedCards; pos < kBoardCards; ++pos) {
            for (int b = 0; b < m_boardsInPlay; ++b) {
                CardId card;
                do {
                    card = static_cast<CardId>(next() % kDeckSize);
                } while (dealt & cardBit(card));
                dealt |= cardBit(card);
                d.board[b][pos] = kEvalIndex[card];
            }
        }
        for (int p = 0; p < m_players; ++p) {
            CardMask m = d.hands[p];
            int n = 0;
            for (; m; m &= m - 1) d.hole[p][n++] = kEvalIndex[std::countr_zero(m)];
            d.holeCards[p] = static_cast<std::uint8_t>(n);
        }
        return true;
    }

    // Values of every player on every board in play for deals[0..n), walked together.
    void evaluate(const Deal* deals, int n, HandValue (*values)[kMaxPlayers][kMaxBoards]) const {
        std::uint32_t state[kDealBatch][kMaxBoards];
        for (int i = 0; i < n; ++i) {
            for (int b = 0; b < m_boardsInPlay; ++b) state[i][b] = m_fixedState[b];
        }
        for (int pos = m_fixedCards; pos < kBoardCards; ++pos) {
            for (int i = 0; i < n; ++i) {
                for (int b = 0; b < m_boardsInPlay; ++b) {
                    state[i][b] = m_table[state[i][b] + deals[i].board[b][pos]];
                }
            }
        }
        // The state after each first hole card, then the value after each second one: within
        // each pass no load waits for another.
        std::uint32_t after[kDealBatch][kMaxPlayers][kMaxBoards][kMaxHoleCards];
        for (int i = 0; i < n; ++i) {
            for (int p = 0; p < m_players; ++p) {
                const std::uint8_t* hole = deals[i].hole[p];
                const int last = deals[i].holeCards[p] - 1;
                for (int b = 0; b < m_boardsInPlay; ++b) {
                    for (int k = 0; k < last; ++k)
                        after[i][p][b][k] = m_table[state[i][b] + hole[k]];
                }
            }
        }
        for (int i = 0; i < n; ++i) {
            for (int p = 0; p < m_players; ++p) {
                const std::uint8_t* hole = deals[i].hole[p];
                const int cards = deals[i].holeCards[p];
                for (int b = 0; b < m_boardsInPlay; ++b) {
                    HandValue best = 0;
                    for (int k = 0; k + 1 < cards; ++k) {
                        for (int j = k + 1; j < cards; ++j) {
                            best = std::max(
                                best, static_cast<HandValue>(m_table[after[i][p][b][k] + hole[j]]));
                        }
                    }
                    values[i][p][b] = best;
                }
            }
        }
    }

  private:
    std::uint32_t next() { return static_cast<std::uint32_t>(m_rng()); }

    // holeCount distinct cards, each r mod 52 drawn again while it is already in the hand (or
    // dead); other cards in play are not looked at.
    CardMask randomHand() {
        CardMask hand = 0;
        for (int n = 0; n < m_holeCount; ++n) {
            CardMask bit;
            do {
                bit = cardBit(static_cast<CardId>(next() % kDeckSize));
            } while ((hand | m_dead) & bit);
            hand |= bit;
        }
        return hand;
    }

    const OmahaEntry* m_table;
    int m_holeCount;
    int m_players;
    const Candidates* m_candidates;
    int m_boardsInPlay;
    int m_fixedCards;
    int m_cardsToDeal = 0;
    CardMask m_blocked;
    CardMask m_dead;
    std::uint32_t m_fixedState[kMaxBoards] = {};
    std::mt19937 m_rng;
};

// Credits the winners of one deal: 1/k on each board, the mean over two boards.
inline void creditDeal(const HandValue (&values)[kMaxPlayers][kMaxBoards], int players,
                       int boardsInPlay, double* sums) {
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
    if (firstList.hands.empty() || holeCount < kMinHoleCards || holeCount > kMaxHoleCards ||
        fixedCards > kBoardCards || ((boards[0] | boards[1]) & ~kFullDeck) != 0) {
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
            candidates[p].minCards = holeCount;
        } else {
            filterCandidates(list, blocked | firstSingle, holeCount, candidates[p]);
        }
    }

    // Inputs that can never give a counted deal end here.
    CardMask singles = 0;
    bool singlesConflict = false;
    int cardsNeeded = cardCount(fixedMask) + (kBoardCards - fixedCards) * (boards[1] ? 2 : 1);
    for (int p = 0; p < players; ++p) {
        const Candidates& c = candidates[p];
        cardsNeeded += c.minCards;
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
    if (singlesConflict || cardsNeeded > kDeckSize - cardCount(dead)) {
        out.status = SimulationStatus::NoValidDeal;
        return 0.0;
    }

    Simulation sim(omahaEvaluator().table()->entries.get(), holeCount, players, candidates.data(),
                   boards, dead, seed);
    const std::int64_t step = requested / kProgressSteps;
    const std::int64_t limitMs = std::int64_t{seconds} * 1000;
    auto timeUp = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count() >
               limitMs;
    };

    double sums[kMaxPlayers] = {};
    Deal deals[kDealBatch];
    HandValue values[kDealBatch][kMaxPlayers][kMaxBoards];
    std::int64_t counted = 0;
    std::int64_t reported = 0;
    std::int64_t consecutiveDiscards = 0;
    bool discardStop = false;
    bool stop = false;
    while (!stop && counted < requested) {
        const int want = static_cast<int>(std::min<std::int64_t>(kDealBatch, requested - counted));
        int got = 0;
        while (got < want) {
            if (sim.deal(deals[got])) {
                ++got;
                consecutiveDiscards = 0;
                continue;
            }
            ++out.discardedDeals;
            ++consecutiveDiscards;
            if (consecutiveDiscards >= options.maxConsecutiveDiscards ||
                (seconds != 0 && consecutiveDiscards % kDiscardClockInterval == 0 && timeUp())) {
                discardStop = stop = true;
                break;
            }
        }
        sim.evaluate(deals, got, values);
        for (int i = 0; i < got; ++i) {
            creditDeal(values[i], players, sim.boardsInPlay(), sums);
            if (counted == step * reported) {
                if (progress) progress(static_cast<int>(reported));
                ++reported;
                if (options.progressPause.count() > 0) {
                    std::this_thread::sleep_until(Clock::now() + options.progressPause);
                }
            }
            ++counted;
            if (seconds != 0 && timeUp()) {
                stop = true;
                break;
            }
        }
    }

    rounds = static_cast<std::int32_t>(counted);
    out.countedDeals = rounds;
    if (discardStop && counted == 0) out.status = SimulationStatus::NoValidDeal;
    if (counted == 0) return 0.0;
    for (int p = 1; p < players; ++p) otherResults[p - 1] = sums[p] / static_cast<double>(counted);
    return sums[0] / static_cast<double>(counted);
}

}  // namespace varnel
