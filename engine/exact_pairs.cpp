// The pair-table strategy: many hands meet each board (ranges, random players). Each finished
// board's values of all pairs are read once, every hand's value is the best of its pairs, and one
// random player is counted by exact_random.cpp.
#include "engine/exact_internal.h"

namespace varnel::exact {

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
        const bool ended =
            countRandomHands(*tables, m_plan.holeCount, hiLo, l.boards, free.n, best, counts, pace);
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

}  // namespace varnel::exact
