// Tooltips on the board and dead-card fields: what each holds, with an example, so that the
// three "B" fields and "D" need no guessing. B3 stays in the window but no game reads it.

#include "ui/dlg_varnel.h"

namespace varnel {

void dlgVarnel::setFieldTips() {
    const std::pair<const char*, const char*> tips[] = {
        {"B1",
         "Board 1: the known board cards, 3 to 5 of them (flop, turn, river), e.g. AsKd7c.\n"
         "Empty: the whole board is dealt at random."},
        {"B2",
         "Board 2, for a double-board game: as many known cards as B1, none of them on B1.\n"
         "Empty: one board is played."},
        {"B3", "Not used: only B1 and B2 are boards. Leave it empty."},
        {"D",
         "Dead cards: cards known to be out of play (folded or seen), e.g. 2c7d.\n"
         "They are dealt to nobody and never reach a board."},
    };
    for (const auto& [field, tip] : tips) m_fieldCtrls.at(field)->SetToolTip(tip);
}

}  // namespace varnel
