// The random player of the pair-table strategy: its hole sets counted by nested loops over the
// cards left, against the best other hands, without further table reads.
#include "engine/exact_internal.h"

namespace varnel::exact {
namespace {

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

// Counts the hole sets of N of the n cards of `t`; true when the run ended. It has this unit to
// itself and countRandomHands as its only caller, which keeps it apart from the strategies' code:
// so compiled, the 4-card count of a flop runs as fast as it did out of line in one unit with
// them, and 7% faster than with the attribute that needed (0.091 against 0.097 s).
template <int N>
bool countSlotHands(const SlotTables& t, bool hiLo, int boards, int n, const HandValue* best,
                    SlotCounts& counts, Pacer& pace) {
    // With at most three cards the whole count is a few tens of microseconds.
    if (N <= 3 && pace(static_cast<std::int64_t>(binomial(n, N)) * slotSetWork<N>(hiLo, boards)))
        return true;
    const std::int16_t none[kMaxBoards] = {};
    if (hiLo) {
        countSlot<N, 0, true>(t, boards, n, 0, nullptr, none, 0, best, counts, pace);
    } else {
        countSlot<N, 0, false>(t, boards, n, 0, nullptr, none, 0, best, counts, pace);
    }
    return pace.ended();
}

}  // namespace

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

bool countRandomHands(const SlotTables& t, int holeCount, bool hiLo, int boards, int n,
                      const HandValue* best, SlotCounts& counts, Pacer& pace) {
    return withHoleCount(holeCount, [&](auto k) {
        return countSlotHands<decltype(k)::value>(t, hiLo, boards, n, best, counts, pace);
    });
}

}  // namespace varnel::exact
