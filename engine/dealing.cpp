#include "engine/dealing.h"

#include <algorithm>
#include <bit>

#include "core/game.h"

namespace varnel {
namespace {

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

}  // namespace

RunEnd planDeals(int holeCount, const PlayerLists& lists, int players, const Boards& boards,
                 CardMask deadCards, DealPlan& plan) {
    plan.holeCount = holeCount;
    plan.players = players;
    plan.boards = boards;
    // Candidates, filtered once against everything fixed.
    const CardMask fixedMask = boards[0] | boards[1];
    plan.dead = deadCards & kFullDeck & ~fixedMask;
    plan.blocked = fixedMask | plan.dead;
    auto& candidates = plan.candidates;
    if (lists[0]->hands.size() == 1) {
        singleCandidate(*lists[0], candidates[0]);
    } else {
        filterCandidates(*lists[0], plan.blocked, holeCount, candidates[0]);
    }
    const CardMask firstSingle = candidates[0].count == 1 ? candidates[0].hands[0] : 0;
    for (int p = 1; p < players; ++p) {
        const HandList& list = *lists[p];
        if (list.hands.size() == 1) {
            singleCandidate(list, candidates[p]);
        } else if (list.hands.empty()) {
            candidates[p].minCards = candidates[p].maxCards = holeCount;
        } else {
            filterCandidates(list, plan.blocked | firstSingle, holeCount, candidates[p]);
        }
    }

    // Inputs that can never give a counted deal end here.
    CardMask singles = 0;
    bool singlesConflict = false;
    const int boardCards =
        cardCount(fixedMask) + (kBoardCards - plan.fixedBoardCards()) * plan.boardsInPlay();
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
            return RunEnd::Rejected;
        }
        singlesConflict |= (hand & (singles | plan.blocked)) != 0;
        singles |= hand;
    }
    const int available = kDeckSize - cardCount(plan.dead);
    if (singlesConflict || leastNeeded > available) return RunEnd::NoValidDeal;
    // A random hand drawn without regard to the other cards in play collides with them so often
    // that with many random players hardly a deal would be counted (ten random four-card hands
    // are disjoint about once in 10^8 tries). When every hand has holeCount cards, drawing the
    // random hands from the cards not yet in play gives exactly the same distribution of deals,
    // since a random hand is disjoint from a set of d cards with a chance that depends on d only;
    // then random hands are dealt around the cards in play. Lists with shorter hands keep the
    // draw that ignores other cards (and its discarded deals), which weighs such hands right.
    const int fullHands = boardCards + players * holeCount;
    plan.roomCheck = mostNeeded > available;
    plan.dealAround = leastNeeded == mostNeeded && mostNeeded == fullHands;
    return RunEnd::Finished;
}

Dealer::Dealer(const DealPlan& plan, std::uint32_t seed, std::int64_t maxConsecutiveDiscards,
               const RunLimits& limits)
    : m_plan(plan),
      m_maxConsecutiveDiscards(maxConsecutiveDiscards),
      m_limits(limits),
      m_holeCount(plan.holeCount),
      m_players(plan.players),
      m_boardsInPlay(plan.boardsInPlay()),
      m_fixedCards(plan.fixedBoardCards()),
      m_rng(seed) {
    m_shape = {m_holeCount, m_players, m_boardsInPlay, m_fixedCards};
    for (int b = 0; b < m_boardsInPlay; ++b) {
        CardId fixed[kBoardCards];
        cardsFromMask(plan.boards[b], fixed);
        BoardState s = m_walk.boardStart();
        for (int i = 0; i < m_fixedCards; ++i) s = m_walk.advanceBoard(s, walkCard(fixed[i]));
        m_fixedState[b] = s;
    }
    m_cardsToDeal = (kBoardCards - m_fixedCards) * m_boardsInPlay;
}

void Dealer::restart(std::uint32_t seed) {
    m_rng = MersenneTwister(seed);
    m_consecutiveDiscards = 0;
    m_discardStop = false;
    m_cut = RunLimits::Cut::None;
}

void Dealer::fill(DealBatch& batch) {
    batch.size = 0;
    while (batch.size < batch.want && !m_discardStop && m_cut == RunLimits::Cut::None) {
        if (deal(batch, batch.size)) {
            ++batch.size;
            m_consecutiveDiscards = 0;
            continue;
        }
        ++m_discarded;
        ++m_consecutiveDiscards;
        if (m_consecutiveDiscards >= m_maxConsecutiveDiscards) m_discardStop = true;
        if (m_discarded % kDiscardPoll == 0) m_cut = m_limits.check();
    }
}

// Deals one hand per player and completes the boards; false when the deal is discarded.
bool Dealer::deal(DealBatch& batch, int index) {
    WalkDeal& d = batch.deals[index];
    CardMask dealt = m_plan.blocked;
    CardMask hands[kMaxPlayers];
    for (int p = 0; p < m_players; ++p) {
        const Candidates& c = m_plan.candidates[p];
        CardMask hand;
        if (c.count == 1) {
            hand = c.hands[0];
        } else if (c.count == 0) {
            hand = randomHand(m_plan.dealAround ? dealt : m_plan.dead);
        } else {
            hand = c.hands[c.pick(next())];
        }
        if (hand & dealt) return false;
        dealt |= hand;
        hands[p] = hand;
    }
    if (m_plan.roomCheck && cardCount(dealt) + m_cardsToDeal > kDeckSize) return false;
    CardMask boards[kMaxBoards] = {m_plan.boards[0], m_plan.boards[1]};
    for (int pos = m_fixedCards; pos < kBoardCards; ++pos) {
        for (int b = 0; b < m_boardsInPlay; ++b) {
            CardId card;
            do {
                card = static_cast<CardId>(next() % kDeckSize);
            } while (dealt & cardBit(card));
            dealt |= cardBit(card);
            boards[b] |= cardBit(card);
            d.board[b][pos] = walkCard(card);
        }
    }
    if (m_plan.hiLo) {
        for (int p = 0; p < m_players; ++p) batch.holeLow[index][p] = lowRanks(hands[p]);
        for (int b = 0; b < m_boardsInPlay; ++b) batch.boardLow[index][b] = lowRanks(boards[b]);
    }
    for (int p = 0; p < m_players; ++p) {
        int n = 0;
        for (CardMask m = hands[p]; m; m &= m - 1) d.hole[p][n++] = walkCard(std::countr_zero(m));
        d.holeCards[p] = static_cast<std::uint8_t>(n);
    }
    std::copy_n(m_fixedState, kMaxBoards, d.boardState);  // all of them: no call to memcpy
    return true;
}

void Dealer::evaluateLows(const DealBatch& batch, LowValues* lows) const {
    const LowTable& table = lowTable();
    for (int i = 0; i < batch.size; ++i)
        for (int p = 0; p < m_players; ++p)
            for (int b = 0; b < m_boardsInPlay; ++b)
                lows[i][p][b] = table.value(batch.holeLow[i][p], batch.boardLow[i][b]);
}

// holeCount distinct cards, each r mod 52 drawn again while it is already in the hand or in
// `avoid`.
CardMask Dealer::randomHand(CardMask avoid) {
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

}  // namespace varnel
