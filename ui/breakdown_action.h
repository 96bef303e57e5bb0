#pragma once
// The way from a result row to its breakdown window: a "Breakdown..." button beside the results
// (for the row of the grid's cursor) and a "Breakdown" item in a result row's context menu. Both
// work once a run has shown figures, on that run's request with the row's player as the hero.

#include <wx/button.h>
#include <wx/grid.h>
#include <wx/menu.h>

#include <memory>
#include <optional>
#include <string>

#include "ui/dlg_breakdown.h"

namespace varnel {

inline constexpr wxWindowID kBreakdownMenuId = 1010;

class BreakdownAction {
  public:
    // The button is a child of `parent`; `results` is the grid whose rows are the players.
    BreakdownAction(wxWindow* parent, wxGrid* results);

    wxButton* button() const { return m_button; }
    // The run whose figures the results show now (its request as the reader checked it).
    void setRun(const CheckedRequest& checked, const std::wstring& game, const std::wstring& board);
    // No run's figures are shown (a new run started).
    void clear();
    bool ready() const { return m_subject.has_value(); }

    // Opens the breakdown of result row `row`; nullptr when no run's figures are shown or the
    // row has no player.
    dlgBreakdown* open(int row);
    // The context menu of result row `row`: one "Breakdown" item, enabled when open(row) works.
    std::unique_ptr<wxMenu> rowMenu(int row);

  private:
    wxWindow* m_parent;
    wxGrid* m_results;
    wxButton* m_button;
    std::optional<BreakdownSubject> m_subject;
};

}  // namespace varnel
