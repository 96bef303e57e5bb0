#include "eval/low_eval.h"

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
    // For a fixed pair of hole ranks the best board part is its three lowest other ranks, so a
    // cell is the best over the hole set's pairs.
    constexpr int kPairs = 28;  // two of the eight low ranks
    unsigned pairs[kPairs];
    int pairCount = 0;
    for (unsigned ranks = 0; ranks < kLowRankSets; ++ranks) {
        if (std::popcount(ranks) == 2) pairs[pairCount++] = ranks;
    }
    for (unsigned hole = 0; hole < kLowRankSets; ++hole) {
        for (unsigned board = 0; board < kLowRankSets; ++board) {
            unsigned best = kLowRankSets;
            for (const unsigned pair : pairs) {
                if ((pair & ~hole) != 0) continue;
                const unsigned rest = lowestRanks(board & ~pair, kBoardLowCards);
                if (rest != 0 && (pair | rest) < best) best = pair | rest;
            }
            m_values[hole][board] =
                best == kLowRankSets ? kNoLow : static_cast<LowValue>(kLowRankSets - best);
        }
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
