#pragma once
// The benchmarks' baseline: what a careful implementation without the table would do. The
// board's ten triples are summarised once per board (rank key, rank set, common suit), each pair
// of hole cards likewise, and every (pair, triple) combination costs one addition and one lookup
// in a rank-multiset table, or in a flush table when all five cards share a suit.

#include <array>
#include <cstdint>
#include <vector>

#include "core/cards.h"
#include "eval/omaha_eval.h"

namespace varnel::baseline {

inline constexpr int kTriples = 10;  // three of five board cards

// Smallest increasing rank weights whose sums over five ranks (at most four of one rank) are all
// distinct, so a sum indexes the rank-multiset table directly.
inline constexpr std::array<int, kRanks> kRankWeight = {0,    1,    5,     22,    94,    312,  992,
                                                        2422, 5624, 12522, 19998, 43258, 79415};

// The ten triples of a board.
struct BoardTriples {
    std::array<int, kTriples> key;  // sum of rank weights
    std::array<unsigned, kTriples> ranks;
    std::array<int, kTriples> suit;  // the common suit, or kSuits when mixed
};

class PlainEvaluator {
  public:
    // Builds both tables; values are the 7462 class ranks, 1 weakest, larger stronger.
    PlainEvaluator();

    // Summary of the triples of the kBoardCards cards at `board`.
    static BoardTriples triples(const CardId* board) {
        BoardTriples t{};
        int n = 0;
        for (int a = 0; a < kBoardCards; ++a)
            for (int b = a + 1; b < kBoardCards; ++b)
                for (int c = b + 1; c < kBoardCards; ++c, ++n) {
                    const CardId x = board[a], y = board[b], z = board[c];
                    t.key[n] =
                        kRankWeight[rankOf(x)] + kRankWeight[rankOf(y)] + kRankWeight[rankOf(z)];
                    t.ranks[n] = 1u << rankOf(x) | 1u << rankOf(y) | 1u << rankOf(z);
                    t.suit[n] =
                        suitOf(x) == suitOf(y) && suitOf(y) == suitOf(z) ? suitOf(x) : kSuits;
                }
        return t;
    }

    // Best value of two of the `holeCount` cards at `hole` with three of the board.
    int evaluate(const BoardTriples& t, const CardId* hole, int holeCount) const {
        constexpr int kMixedPair = kSuits + 1;  // never equal to a triple's suit
        int best = 0;
        for (int i = 0; i < holeCount; ++i) {
            for (int j = i + 1; j < holeCount; ++j) {
                const CardId x = hole[i], y = hole[j];
                const int key = kRankWeight[rankOf(x)] + kRankWeight[rankOf(y)];
                const unsigned ranks = 1u << rankOf(x) | 1u << rankOf(y);
                const int suit = suitOf(x) == suitOf(y) ? suitOf(x) : kMixedPair;
                for (int k = 0; k < kTriples; ++k) {
                    const int v =
                        t.suit[k] == suit ? m_flush[t.ranks[k] | ranks] : m_plain[t.key[k] + key];
                    if (v > best) best = v;
                }
            }
        }
        return best;
    }

  private:
    std::vector<std::uint16_t> m_plain;  // by sum of rank weights
    std::vector<std::uint16_t> m_flush;  // by rank set
};

}  // namespace varnel::baseline
