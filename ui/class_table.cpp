#include "ui/class_table.h"

#include <algorithm>

#include "engine/request.h"

namespace varnel {

ClassTable::ClassTable(wxWindow* parent)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SUNKEN) {
    AppendColumn("Class", wxLIST_FORMAT_LEFT, 170);
    AppendColumn("Hands", wxLIST_FORMAT_RIGHT, 80);
    AppendColumn("Share", wxLIST_FORMAT_RIGHT, 75);
    AppendColumn("Equity", wxLIST_FORMAT_RIGHT, 75);
    SetMinSize(wxSize(420, 200));
    Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& event) { sortBy(event.GetColumn()); });
}

void ClassTable::setClasses(std::vector<ClassShare> classes, const wxString& message) {
    m_engineOrder = std::move(classes);
    m_message = message;
    m_sortColumn = kClassCol;
    m_rows = m_engineOrder;
    fill();
}

void ClassTable::sortBy(int column) {
    if (column == kShareCol || column == kEquityCol) {
        m_descending = column == m_sortColumn ? !m_descending : true;
        m_sortColumn = column;
        auto key = [column](const ClassShare& c) {
            return column == kShareCol ? c.share : c.equity;
        };
        std::stable_sort(m_rows.begin(), m_rows.end(),
                         [&](const ClassShare& a, const ClassShare& b) {
                             return m_descending ? key(a) > key(b) : key(a) < key(b);
                         });
    } else if (column == kClassCol) {
        m_sortColumn = kClassCol;
        m_rows = m_engineOrder;
    } else {
        return;
    }
    fill();
}

void ClassTable::fill() {
    DeleteAllItems();
    if (m_sortColumn == kClassCol)
        RemoveSortIndicator();
    else
        ShowSortIndicator(m_sortColumn, !m_descending);
    if (m_rows.empty() && !m_message.empty()) InsertItem(0, m_message);
    for (const ClassShare& c : m_rows) {
        const long row = InsertItem(GetItemCount(), wxString::FromUTF8(c.name));
        SetItem(row, kHandsCol, wxString(groupedNumber(c.hands)));
        SetItem(row, kShareCol, wxString::Format("%.2f%%", 100 * c.share));
        SetItem(row, kEquityCol, wxString::Format("%.2f%%", 100 * c.equity));
    }
}

}  // namespace varnel
