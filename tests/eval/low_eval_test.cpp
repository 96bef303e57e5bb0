// The low table against a plain search over two hole cards and three board cards.

#include "eval/low_eval.h"

#include "tests/support/reference_low.h"

namespace varnel::test {
namespace {

std::string text(const RefLow& low) {
    std::string out;
    if (low == kNoRefLow) return out;
    for (int rank : low) {
        if (!out.empty()) out += '-';
        out += "A2345678"[rank - 1];
    }
    return out;
}

std::string text(LowValue value) {
    char buffer[16];
    return lowText(value, buffer);
}

std::vector<int> ranksOf(unsigned set) {
    std::vector<int> ranks;
    for (int bit = 0; bit < 8; ++bit)
        if (set >> bit & 1) ranks.push_back(bit + 1);
    return ranks;
}

TEST(LowTableTest, EveryRankSetPairMatchesThePlainSearch) {
    const LowTable& table = lowTable();
    for (unsigned hole = 0; hole < 256; ++hole)
        for (unsigned board = 0; board < 256; ++board)
            ASSERT_EQ(text(table.value(LowRanks(hole), LowRanks(board))),
                      text(bestLow(ranksOf(hole), ranksOf(board))))
                << "hole ranks " << hole << ", board ranks " << board;
}

TEST(LowTableTest, ValuesOrderLowsAsTheirRanksDo) {
    std::vector<RefLow> lows;  // every five-rank low
    for (unsigned set = 0; set < 256; ++set)
        if (std::popcount(set) == 5) {
            const std::vector<int> ranks = ranksOf(set);
            lows.push_back({ranks[4], ranks[3], ranks[2], ranks[1], ranks[0]});
        }
    ASSERT_EQ(lows.size(), 56u);
    std::sort(lows.begin(), lows.end());  // best first
    LowValue previous = 255;
    for (const RefLow& low : lows) {
        unsigned set = 0;
        for (int rank : low) set |= 1u << (rank - 1);
        const unsigned rest = set & (set - 1);
        const unsigned hole = (set & ~rest) | (rest & -rest);  // its two lowest ranks
        const LowValue value = lowTable().value(LowRanks(hole), LowRanks(set & ~hole));
        EXPECT_LT(value, previous) << text(low);
        EXPECT_EQ(text(value), text(low));
        previous = value;
    }
    EXPECT_EQ(text(lowTable().value(lowRanks(cardBit(12) | cardBit(0)), lowRanks(0b1110))),
              "5-4-3-2-A");
}

TEST(LowTableTest, DealtCardsMatchThePlainSearch) {
    // Random hands of 4 to 7 cards on five-card boards: pairs, high cards and shared ranks
    // between hole and board all occur.
    std::mt19937 rng(20261207);
    std::vector<CardId> deck(kDeckSize);
    for (int i = 0; i < kDeckSize; ++i) deck[i] = i;
    for (int deal = 0; deal < 4000; ++deal) {
        std::shuffle(deck.begin(), deck.end(), rng);
        const int holeCount = 4 + deal % 4;
        CardMask hole = 0, board = 0;
        std::vector<int> holeRanks, boardRanks;
        for (int i = 0; i < holeCount; ++i) {
            hole |= cardBit(deck[i]);
            holeRanks.push_back(lowRank(deck[i]));
        }
        for (int i = holeCount; i < holeCount + 5; ++i) {
            board |= cardBit(deck[i]);
            boardRanks.push_back(lowRank(deck[i]));
        }
        ASSERT_EQ(text(lowTable().value(hole, board)), text(bestLow(holeRanks, boardRanks)));
    }
}

}  // namespace
}  // namespace varnel::test
