#include "ui/breakdown_action.h"

#include <algorithm>

namespace varnel {

BreakdownAction::BreakdownAction(wxWindow* parent, wxGrid* results)
    : m_parent(parent), m_results(results) {
    m_button = new wxButton(parent, wxID_ANY, "&Breakdown...");
    m_button->SetToolTip(
        "Every hand of the selected player's range, its hands by class and the next card");
    m_button->Disable();
    m_button->Bind(wxEVT_BUTTON,
                   [this](wxCommandEvent&) { open(std::max(0, m_results->GetGridCursorRow())); });
    m_results->Bind(wxEVT_GRID_CELL_RIGHT_CLICK, [this](wxGridEvent& event) {
        const int row = event.GetRow();
        if (row < 0) return;
        m_results->SetGridCursor(row, std::max(0, event.GetCol()));
        std::unique_ptr<wxMenu> menu = rowMenu(row);
        m_results->PopupMenu(menu.get(), event.GetPosition());
    });
}

void BreakdownAction::setRun(const CheckedRequest& checked, const std::wstring& game,
                             const std::wstring& board) {
    BreakdownSubject subject;
    subject.request = checked.request;
    subject.request.progress = nullptr;
    subject.request.stop = nullptr;
    subject.players = checked.players;
    subject.game = game;
    subject.board = board;
    m_subject = std::move(subject);
    m_button->Enable();
}

void BreakdownAction::clear() {
    m_subject.reset();
    m_button->Disable();
}

dlgBreakdown* BreakdownAction::open(int row) {
    if (!m_subject || row < 0 || row >= static_cast<int>(m_subject->players.size())) return nullptr;
    BreakdownSubject subject = *m_subject;
    subject.hero = row;
    auto* window = new dlgBreakdown(m_parent, std::move(subject));
    window->Show();
    return window;
}

std::unique_ptr<wxMenu> BreakdownAction::rowMenu(int row) {
    auto menu = std::make_unique<wxMenu>();
    menu->Append(kBreakdownMenuId, "Breakdown");
    menu->Enable(kBreakdownMenuId,
                 m_subject && row >= 0 && row < static_cast<int>(m_subject->players.size()));
    menu->Bind(
        wxEVT_MENU, [this, row](wxCommandEvent&) { open(row); }, kBreakdownMenuId);
    return menu;
}

}  // namespace varnel
