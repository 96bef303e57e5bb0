// The player rows follow the window's height: a taller window shows more of them, up to all ten,
// before the results get the rest of the height; a shorter one gives rows back, down to the five
// the smallest window shows. The rows' panel keeps its scroll bar for whatever stays hidden.

#include <wx/sizer.h>

#include <algorithm>

#include "ui/dlg_varnel.h"

namespace varnel {
namespace {

constexpr int kFewestPlayerRows = 5;

// a / b rounded down, for a negative `a` too; `b` is positive.
int floorDivide(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

void dlgVarnel::installPlayerRows() {
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        fitPlayerRows();
        event.Skip();
    });
    fitPlayerRows();
}

void dlgVarnel::fitPlayerRows() {
    wxSizer* top = GetSizer();
    if (!top || !m_scrolledPlayers) return;
    int unitX = 0, rowHeight = 0;
    m_scrolledPlayers->GetScrollPixelsPerUnit(&unitX, &rowHeight);
    if (rowHeight <= 0) return;
    const wxSize minClient = m_scrolledPlayers->GetMinClientSize();
    const int shown = minClient.y / rowHeight;
    // Height the window has beyond what its controls need with the rows shown now.
    const int spare = GetClientSize().y - top->CalcMin().y;
    const int wanted = std::clamp(shown + floorDivide(spare, rowHeight), kFewestPlayerRows,
                                  static_cast<int>(m_playerFields.size()));
    if (wanted == shown) return;
    m_scrolledPlayers->SetMinClientSize(wxSize(minClient.x, wanted * rowHeight));
    Layout();
}

}  // namespace varnel
