#include "eval/low_eval.h"

#include <algorithm>
#include <bit>

namespace varnel {

namespace {

constexpr int kBoardLowCards = 3;

// The `count` lowest ranks of `ranks`, or 0 when it has fewer.
constexpr unsigned lowestRanks(unsigned ranks, int count) {
    unsigned taken = 0;
    for (int i = 0; i < count; ++i) {
        if (ranks == 0) return 0;
        taken |= ranks & -ranks;
        ranks &= ranks - 1;
    }
    return taken;
}

}  // namespace

LowTable::LowTable() {
    // For a fixed pair of hole ranks the best board part is its three lowest other ranks. A hole
    // set's best is the best of the set without its highest rank and of the pairs with it.
    for (unsigned board = 0; board < kLowRankSets; ++board) {
        unsigned withPair[kLowRankSets];  // by pair of ranks: its best low (kLowRankSets: none)
        for (unsigned high = 2; high < kLowRankSets; high <<= 1) {
            for (unsigned low = 1; low < high; low <<= 1) {
                const unsigned rest = lowestRanks(board & ~(high | low), kBoardLowCards);
                withPair[high | low] = rest != 0 ? high | low | rest : kLowRankSets;
            }
        }
        unsigned best[kLowRankSets];
        best[0] = kLowRankSets;
        for (unsigned hole = 1; hole < kLowRankSets; ++hole) {
            const unsigned high = std::bit_floor(hole);
            const unsigned others = hole ^ high;
            unsigned b = best[others];
            for (unsigned rest = others; rest != 0; rest &= rest - 1)
                b = std::min(b, withPair[high | (rest & -rest)]);
            best[hole] = b;
            m_values[hole][board] =
                b == kLowRankSets ? kNoLow : static_cast<LowValue>(kLowRankSets - b);
        }
        m_values[0][board] = kNoLow;
    }
}

const LowTable& lowTable() {
    static const LowTable table;
    return table;
}

const char* lowText(LowValue value, char (&buffer)[16]) {
    static constexpr char kNames[] = "A2345678";
    int n = 0;
    if (value != kNoLow) {
        const unsigned ranks = kLowRankSets - value;
        for (int rank = 7; rank >= 0; --rank) {
            if (!(ranks >> rank & 1)) continue;
            if (n > 0) buffer[n++] = '-';
            buffer[n++] = kNames[rank];
        }
    }
    buffer[n] = '\0';
    return buffer;
}

}  // namespace varnel
