// The window's keyboard: Enter in any field presses "Start", Esc presses "Stop", and File > Quit
// (Ctrl+Q) closes the window as its close box does. Keys arrive at the frame as char hooks
// before any control sees them, so one handler serves all thirteen fields; every other key goes
// on to the control that has the focus.

#include <wx/menu.h>

#include <algorithm>

#include "ui/dlg_varnel.h"

namespace varnel {
namespace {

constexpr const char* kFileMenuTitle = "File";

// The menu titled `title`, appended when the bar has none yet.
wxMenu& menuTitled(wxMenuBar& bar, const wxString& title, size_t position) {
    const int found = bar.FindMenu(title);
    if (found != wxNOT_FOUND) return *bar.GetMenu(static_cast<size_t>(found));
    auto* menu = new wxMenu;
    bar.Insert(std::min(position, bar.GetMenuCount()), menu, title);
    return *menu;
}

// Presses `button` as a click would, when it is enabled.
void press(wxButton* button) {
    if (!button->IsEnabled()) return;
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
}

}  // namespace

void dlgVarnel::installKeyboard() {
    wxMenu& file = menuTitled(*GetMenuBar(), kFileMenuTitle, 0);
    if (file.GetMenuItemCount() > 0) file.AppendSeparator();
    file.Append(wxID_EXIT, "Quit\tCtrl+Q", "Close the window");
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
    Bind(wxEVT_CHAR_HOOK, &dlgVarnel::OnCharHook, this);
}

void dlgVarnel::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && !event.HasAnyModifiers()) {
        // Only a field's Enter starts: in the menus, a dialog or the grid it keeps its meaning.
        const wxObject* from = event.GetEventObject();
        if (!from) from = wxWindow::FindFocus();
        const bool inField =
            std::any_of(m_fieldCtrls.begin(), m_fieldCtrls.end(),
                        [from](const auto& field) { return field.second == from; });
        if (inField) {
            press(m_butOk);
            return;
        }
    } else if (key == WXK_ESCAPE && m_running) {
        press(m_butStop);
        return;
    }
    event.Skip();
}

}  // namespace varnel
