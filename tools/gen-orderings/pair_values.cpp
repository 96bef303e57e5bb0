#include "tools/gen-orderings/pair_values.h"

namespace varnel::gen_orderings {

void fillPairTable(const CardId* board, PairTable& table) {
    table.fill(0);
    const five_card::ClassRanks& ranks = five_card::classRanks();
    const five_card::BoardTriples triples(board);
    CardMask onBoard = 0;
    for (int i = 0; i < kBoardCards; ++i) onBoard |= cardBit(board[i]);
    for (CardId a = 0; a < kDeckSize; ++a) {
        if (onBoard & cardBit(a)) continue;
        for (CardId b = a + 1; b < kDeckSize; ++b) {
            if (onBoard & cardBit(b)) continue;
            const PairValue v = ranks.bestWithPair(triples, a, b);
            table[static_cast<std::size_t>(pairIndex(a, b))] = v;
            table[static_cast<std::size_t>(pairIndex(b, a))] = v;
        }
    }
}

}  // namespace varnel::gen_orderings
