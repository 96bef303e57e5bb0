#pragma once
// Five-card poker ranking: the 7,462 classes of five-card hands numbered by strength, from 1
// (7-5-4-3-2 of mixed suits) to 7,462 (the royal flush), and the best hand of exactly two hole
// cards and three board cards found by trying every hole pair with every board triple. The board's
// ten triples are summarised once per board, so each (pair, triple) costs one addition and one
// lookup: in the table of rank multisets, or in the flush table when all five cards share a suit.

#include <array>
#include <cstdint>
#include <vector>

#include "core/cards.h"
#include "core/game.h"

namespace varnel::five_card {

using ClassRank = std::uint16_t;  // larger is stronger; 0 is no hand
inline constexpr int kClassCount = 7462;
inline constexpr int kBoardTriples = 10;  // three of five board cards

// Smallest increasing rank weights whose sums over five ranks (at most four of one rank) are all
// distinct, so such a sum indexes the table of rank multisets directly.
inline constexpr std::array<int, kRanks> kRankWeight = {0,    1,    5,     22,    94,    312,  992,
                                                        2422, 5624, 12522, 19998, 43258, 79415};

// The ten triples of a five-card board.
struct BoardTriples {
    explicit BoardTriples(const CardId* board) {
        int n = 0;
        for (int a = 0; a < kBoardCards; ++a)
            for (int b = a + 1; b < kBoardCards; ++b)
                for (int c = b + 1; c < kBoardCards; ++c, ++n) {
                    const CardId x = board[a], y = board[b], z = board[c];
                    key[n] =
                        kRankWeight[rankOf(x)] + kRankWeight[rankOf(y)] + kRankWeight[rankOf(z)];
                    ranks[n] = 1u << rankOf(x) | 1u << rankOf(y) | 1u << rankOf(z);
                    suit[n] = suitOf(x) == suitOf(y) && suitOf(y) == suitOf(z) ? suitOf(x) : kSuits;
                }
    }

    std::array<int, kBoardTriples> key;  // sum of rank weights
    std::array<unsigned, kBoardTriples> ranks;
    std::array<int, kBoardTriples> suit;  // the common suit, or kSuits when mixed
};

class ClassRanks {
  public:
    // Builds both tables (some 700 KiB).
    ClassRanks();

    // Class of five cards not all of one suit, given by their ranks in any order; 0 when one
    // rank appears five times.
    ClassRank plain(int a, int b, int c, int d, int e) const;

    // Class of five cards of one suit with the given 13-bit rank set; 0 unless it has 5 ranks.
    ClassRank flush(unsigned rankSet) const { return m_flush[rankSet]; }

    // Best class of the hole cards `a` and `b` (different cards, off the board) with three of the
    // board's cards.
    ClassRank bestWithPair(const BoardTriples& t, CardId a, CardId b) const {
        return static_cast<ClassRank>(evaluate(t, std::array<CardId, 2>{a, b}.data(), 2));
    }

    // Best class of two of the `holeCount` cards at `hole` with three of the board's cards.
    int evaluate(const BoardTriples& t, const CardId* hole, int holeCount) const {
        constexpr int kMixedPair = kSuits + 1;  // never equal to a triple's suit
        int best = 0;
        for (int i = 0; i < holeCount; ++i) {
            for (int j = i + 1; j < holeCount; ++j) {
                const CardId x = hole[i], y = hole[j];
                const int key = kRankWeight[rankOf(x)] + kRankWeight[rankOf(y)];
                const unsigned ranks = 1u << rankOf(x) | 1u << rankOf(y);
                const int suit = suitOf(x) == suitOf(y) ? suitOf(x) : kMixedPair;
                for (int k = 0; k < kBoardTriples; ++k) {
                    const int v =
                        t.suit[k] == suit ? m_flush[t.ranks[k] | ranks] : m_plain[t.key[k] + key];
                    if (v > best) best = v;
                }
            }
        }
        return best;
    }

  private:
    std::vector<ClassRank> m_plain;  // by sum of rank weights
    std::vector<ClassRank> m_flush;  // by rank set
};

// The process-wide tables, built on first use.
const ClassRanks& classRanks();

}  // namespace varnel::five_card
