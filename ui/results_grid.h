#pragma once
// The results grid: one row per player of the last run ("Player", "Hand / range", then its
// figures in the columns of ui/result_export.h, which depend on the game and the boards). Read
// only.

#include <wx/grid.h>

#include <vector>

#include "engine/equity.h"
#include "engine/request.h"

namespace varnel {

class ResultsGrid : public wxGrid {
  public:
    explicit ResultsGrid(wxWindow* parent);

    // One row per player with its field and text, the figures empty; the columns of the game and
    // of the number of boards in play.
    void showPlayers(const std::vector<PlayerField>& players, bool hiLo, int boards = 1);
    // The figures of `result` in the rows showPlayers made (none when nothing was counted).
    void showResult(const EquityResult& result, bool hiLo, int boards = 1);
    // The columns of a game with one board, and no rows.
    void clearRows(bool hiLo);

  private:
    // Adds or removes rows and columns at the end until the grid has the given counts.
    void resize(int rows, bool hiLo, int boards);
};

}  // namespace varnel
