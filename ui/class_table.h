#pragma once
// The hero's hands by class on the board: one row per class ("Class", "Hands", "Share",
// "Equity"), made hands first and strongest first as the engine lists them. A click on the
// header of "Share" or "Equity" sorts by it, largest first, a second click smallest first; a click
// on "Class" restores the engine's order.

#include <wx/listctrl.h>

#include <vector>

#include "engine/breakdown.h"

namespace varnel {

class ClassTable : public wxListCtrl {
  public:
    enum Column { kClassCol, kHandsCol, kShareCol, kEquityCol };

    explicit ClassTable(wxWindow* parent);

    // Shows `classes` in the engine's order; without classes one row says `message`.
    void setClasses(std::vector<ClassShare> classes, const wxString& message = wxString());
    // Sorts as a click on the header of `column` does.
    void sortBy(int column);
    // The classes in the order shown.
    const std::vector<ClassShare>& rows() const { return m_rows; }

  private:
    void fill();

    std::vector<ClassShare> m_engineOrder;
    std::vector<ClassShare> m_rows;
    wxString m_message;
    int m_sortColumn = kClassCol;
    bool m_descending = true;
};

}  // namespace varnel
