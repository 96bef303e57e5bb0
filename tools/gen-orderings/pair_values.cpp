#include "tools/gen-orderings/pair_values.h"

#include <algorithm>
#include <vector>

namespace varnel::gen {
namespace {

enum Category : PairValue {
    kHigh,
    kPair,
    kTwoPair,
    kTrips,
    kStraight,
    kFlush,
    kFull,
    kQuads,
    kStraightFlush
};

constexpr int kKickerBits = 4;
constexpr int kKickers = 5;

// Highest card of a straight in the rank set, -1 for none (the wheel counts with its five).
int straightHigh(unsigned ranks) {
    const unsigned withLowAce = (ranks << 1) | ((ranks >> (kRanks - 1)) & 1u);
    for (int high = kRanks - 1; high >= 3; --high) {
        const unsigned run = 0x1Fu << (high - 3);
        if ((withLowAce & run) == run) return high;  // bit k of withLowAce is rank k - 1
    }
    return -1;
}

// Category in the high bits, then the ranks ordered by (multiplicity, rank), 4 bits each.
PairValue rankFive(const CardId* cards) {
    int counts[kRanks] = {};
    unsigned ranks = 0;
    bool flush = true;
    for (int i = 0; i < kKickers; ++i) {
        ++counts[rankOf(cards[i])];
        ranks |= 1u << rankOf(cards[i]);
        flush = flush && suitOf(cards[i]) == suitOf(cards[0]);
    }
    const int high = std::popcount(ranks) == kKickers ? straightHigh(ranks) : -1;
    PairValue kickers = 0;
    int maxCount = 0, pairs = 0;
    for (int wanted = 4; wanted >= 1; --wanted) {
        for (int r = kRanks - 1; r >= 0; --r) {
            if (counts[r] != wanted) continue;
            for (int k = 0; k < wanted; ++k)
                kickers = (kickers << kKickerBits) | static_cast<PairValue>(r);
            maxCount = std::max(maxCount, wanted);
            pairs += wanted == 2;
        }
    }
    PairValue category = kHigh;
    if (high >= 0) {
        category = flush ? kStraightFlush : kStraight;
        kickers = static_cast<PairValue>(high);
    } else if (flush) {
        category = kFlush;
    } else if (maxCount == 4) {
        category = kQuads;
    } else if (maxCount == 3) {
        category = pairs ? kFull : kTrips;
    } else if (pairs == 2) {
        category = kTwoPair;
    } else if (pairs == 1) {
        category = kPair;
    }
    return (category << (kKickerBits * kKickers)) | kickers;
}

constexpr int kRankCodes = kRanks * kRanks * kRanks * kRanks * kRanks;

}  // namespace

// Values of five cards by their ranks r0..r4 (code r0 * 13^4 + ... + r4), without and with a
// flush; built once from rankFive.
struct FiveCardTables {
    std::vector<PairValue> plain, flush;
    FiveCardTables() : plain(kRankCodes), flush(kRankCodes) {
        for (int code = 0; code < kRankCodes; ++code) {
            CardId mixed[kKickers], suited[kKickers];
            int rest = code;
            for (int i = kKickers - 1; i >= 0; --i) {
                mixed[i] = makeCard(rest % kRanks, i % 2);
                suited[i] = makeCard(rest % kRanks, 0);
                rest /= kRanks;
            }
            plain[static_cast<std::size_t>(code)] = rankFive(mixed);
            flush[static_cast<std::size_t>(code)] = rankFive(suited);
        }
    }
};

namespace {
const FiveCardTables& fiveCardTables() {
    static const FiveCardTables tables;
    return tables;
}
}  // namespace

BoardTriples::BoardTriples(const CardId* board) : tables(&fiveCardTables()) {
    int t = 0;
    for (int i = 0; i < 5; ++i) {
        for (int j = i + 1; j < 5; ++j) {
            for (int k = j + 1; k < 5; ++k) {
                const CardId a = board[i], b = board[j], c = board[k];
                code[t] = (rankOf(a) * kRanks + rankOf(b)) * kRanks + rankOf(c);
                const bool suited = suitOf(a) == suitOf(b) && suitOf(b) == suitOf(c);
                flushSuit[t] = suited ? suitOf(a) : -1;
                ++t;
            }
        }
    }
}

PairValue BoardTriples::pairValue(CardId a, CardId b) const {
    const int pairCode = (rankOf(a) * kRanks + rankOf(b)) * kRanks * kRanks * kRanks;
    const int pairSuit = suitOf(a) == suitOf(b) ? suitOf(a) : -2;
    PairValue best = 0;
    for (int t = 0; t < kTriples; ++t) {
        const auto at = static_cast<std::size_t>(pairCode + code[t]);
        const PairValue v = flushSuit[t] == pairSuit ? tables->flush[at] : tables->plain[at];
        best = v > best ? v : best;
    }
    return best;
}

PairValue plainPairValue(const CardId* board, CardId a, CardId b) {
    PairValue best = 0;
    CardId five[kKickers] = {a, b};
    for (int i = 0; i < 5; ++i) {
        for (int j = i + 1; j < 5; ++j) {
            for (int k = j + 1; k < 5; ++k) {
                five[2] = board[i];
                five[3] = board[j];
                five[4] = board[k];
                best = std::max(best, rankFive(five));
            }
        }
    }
    return best;
}

void fillPairTable(const CardId* board, PairTable& table) {
    table.fill(0);
    const BoardTriples triples(board);
    CardMask onBoard = 0;
    for (int i = 0; i < 5; ++i) onBoard |= cardBit(board[i]);
    for (CardId a = 0; a < kDeckSize; ++a) {
        if (onBoard & cardBit(a)) continue;
        for (CardId b = a + 1; b < kDeckSize; ++b) {
            if (onBoard & cardBit(b)) continue;
            const PairValue v = triples.pairValue(a, b);
            table[static_cast<std::size_t>(pairIndex(a, b))] = v;
            table[static_cast<std::size_t>(pairIndex(b, a))] = v;
        }
    }
}

}  // namespace varnel::gen
