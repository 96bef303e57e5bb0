#pragma once
// Random deals shared by the engine's samplers: each player's candidate hands filtered once
// against everything fixed, the checks that rule a request out before any deal, and a dealer
// that fills batches of deals and evaluates them with one batched table walk each.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "core/cards.h"
#include "core/hand_list.h"
#include "engine/equity.h"
#include "engine/mersenne_twister.h"
#include "engine/tally.h"
#include "eval/table_walk.h"

namespace varnel {

// Deals are generated in batches of this size; the boards and hands of a batch are walked
// together so that the table loads of different deals overlap, then the deals are counted one
// by one in order.
inline constexpr int kDealBatch = 32;
static_assert(kDealBatch <= kWalkMaxDeals && kMaxPlayers <= kWalkMaxHands &&
              kMaxBoards <= kWalkMaxBoards);

// While deals are discarded, the limits of a run are looked at every this many discards: a
// discarded deal costs tens of nanoseconds, a look about as much as one.
inline constexpr std::int64_t kDiscardPoll = 4096;

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

// The list of each player, in player order.
using PlayerLists = std::array<const HandList*, kMaxPlayers>;

// Everything a run deals from, read once from the players' lists, the boards and the dead cards.
// Candidates may point into their own storage: a plan stays where it was made.
struct DealPlan {
    DealPlan() = default;
    DealPlan(const DealPlan&) = delete;
    DealPlan& operator=(const DealPlan&) = delete;

    int holeCount = 0;
    int players = 0;
    Boards boards{};
    CardMask dead = 0;     // dead cards that are not board cards
    CardMask blocked = 0;  // board and dead cards
    std::array<Candidates, kMaxPlayers> candidates;
    bool roomCheck = false;   // whether a deal's hands may leave too few cards for the boards
    bool dealAround = false;  // random hands avoid every card in play (see planDeals)
    bool hiLo = false;        // lows are evaluated too

    int boardsInPlay() const { return boards[1] ? 2 : 1; }
    int fixedBoardCards() const { return cardCount(boards[0]); }
};

// Fills `plan` for `players` lists (an empty list is a random hand: computeEquity passes one for
// each random player and refuses other empty lists before) and returns Finished when
// deals can be counted, Rejected when a single hand is not a hand of the game, NoValidDeal when
// no deal can ever be counted. The hole-card count, the player count and the boards must
// already be valid.
RunEnd planDeals(int holeCount, const PlayerLists& lists, int players, const Boards& boards,
                 CardMask deadCards, DealPlan& plan);

// What ends a run from outside its work: a deadline on a clock and stop flags. Looking costs a
// clock read, so the work looks only every so often (see Dealer::fill and the enumeration).
struct RunLimits {
    using Clock = std::chrono::steady_clock;
    enum class Cut { None, TimeLimit, Stopped };

    static Clock::time_point steady() { return Clock::now(); }

    Clock::time_point (*now)() = &steady;
    Clock::time_point deadline = Clock::time_point::max();  // max(): no time limit
    const std::atomic<bool>* stop = nullptr;                // the caller's stop flag
    const std::atomic<bool>* quit = nullptr;                // raised by the run once it has ended

    // Stopped when a flag is raised, TimeLimit once the clock is past the deadline.
    Cut check() const {
        if ((stop && stop->load(std::memory_order_relaxed)) ||
            (quit && quit->load(std::memory_order_relaxed)))
            return Cut::Stopped;
        if (deadline != Clock::time_point::max() && now() > deadline) return Cut::TimeLimit;
        return Cut::None;
    }
};

// Deals waiting to be evaluated and counted, in the order they were dealt.
struct DealBatch {
    WalkDeal deals[kDealBatch];
    // Hi/Lo plans: the low ranks of each hand and each board of every deal.
    LowRanks holeLow[kDealBatch][kWalkMaxHands];
    LowRanks boardLow[kDealBatch][kWalkMaxBoards];
    int size = 0;  // dealt
    int want = 0;  // to deal
};

// Deals batches of deals from a plan and evaluates them with one batched table walk each.
class Dealer {
  public:
    // A run of `maxConsecutiveDiscards` discarded deals ends the dealing, and so do `limits`
    // (kept by reference), looked at after every kDiscardPoll discarded deals.
    Dealer(const DealPlan& plan, std::uint32_t seed, std::int64_t maxConsecutiveDiscards,
           const RunLimits& limits);

    // Starts again from a new seed, with no discards counted.
    void restart(std::uint32_t seed);

    bool discardStop() const { return m_discardStop; }
    // Why the limits ended the dealing (None while they have not).
    RunLimits::Cut cut() const { return m_cut; }

    // Deals until `batch` holds `batch.want` deals, too many deals in a row were discarded or
    // the limits ended the dealing; once they have, it deals no more until the next restart.
    void fill(DealBatch& batch);

    // Values of every player on every board in play for the deals of `batch`.
    void evaluate(const DealBatch& batch, WalkValues* values) const {
        m_walk.evaluate(m_shape, batch.deals, batch.size, values);
    }

    // Low values of every player on every board for the deals of a Hi/Lo plan's `batch`.
    void evaluateLows(const DealBatch& batch, LowValues* lows) const;

    int boardsInPlay() const { return m_boardsInPlay; }
    bool hiLo() const { return m_plan.hiLo; }

  private:
    std::uint32_t next() { return m_rng(); }
    bool deal(DealBatch& batch, int index);
    CardMask randomHand(CardMask avoid);

    const DealPlan& m_plan;
    TableWalk m_walk;
    WalkShape m_shape;
    std::int64_t m_maxConsecutiveDiscards;
    const RunLimits& m_limits;
    int m_holeCount;
    int m_players;
    int m_boardsInPlay;
    int m_fixedCards;
    int m_cardsToDeal = 0;
    BoardState m_fixedState[kMaxBoards] = {};
    MersenneTwister m_rng;
    std::int64_t m_discarded = 0;
    std::int64_t m_consecutiveDiscards = 0;
    bool m_discardStop = false;
    RunLimits::Cut m_cut = RunLimits::Cut::None;
};

}  // namespace varnel
