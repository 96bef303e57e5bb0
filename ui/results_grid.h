#pragma once
// The results grid: one row per player of the last run ("Player", "Hand / range", then its
// figures), with three more columns ("High", "Low", "Scoop") in the Hi/Lo games. Read only.

#include <wx/grid.h>

#include <vector>

#include "engine/equity.h"
#include "engine/request.h"

namespace varnel {

class ResultsGrid : public wxGrid {
  public:
    explicit ResultsGrid(wxWindow* parent);

    // One row per player with its field and text, the figures empty; the columns of the game.
    void showPlayers(const std::vector<PlayerField>& players, bool hiLo);
    // The figures of `result` in the rows showPlayers made (none when nothing was counted).
    void showResult(const EquityResult& result, bool hiLo);
    // The columns of a game; the rows stay.
    void showColumns(bool hiLo);

  private:
    // Adds or removes rows and columns at the end until the grid has the given counts.
    void resize(int rows, int cols);
};

}  // namespace varnel
