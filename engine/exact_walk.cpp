// The fixed-hand strategy: few combinations of hands, many boards. The finished boards of each
// combination go in batches through TableWalk::evaluate; when an item has many boards they are
// first counted by finished state, and each state is evaluated once.
#include "engine/exact_internal.h"

namespace varnel::exact {

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

}  // namespace varnel::exact
