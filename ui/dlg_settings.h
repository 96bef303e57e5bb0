#pragma once
// The game-type dialog: the offered games (core/game.h) as radio buttons, high games in one box
// and Hi/Lo games in another; OK makes the chosen game current (hole cards in the application
// settings, "GameType" in the configuration). A current game that the dialog does not offer (one
// read from the configuration) is shown as a disabled, selected extra choice that OK keeps.

#include <wx/dialog.h>
#include <wx/radiobut.h>

#include <cstdint>
#include <vector>

#include "ui/app_settings.h"

namespace varnel {

class dlgSettings : public wxDialog {
  public:
    // `gameName` is preselected; `id` is ignored (any identifier); `size` is the least size, the
    // dialog grows to its contents.
    // OK stores the chosen game in `settings` and in the configuration.
    dlgSettings(AppSettings& settings, wxWindow* parent, const wxString& gameName,
                wxWindowID id = wxID_ANY, const wxString& title = "Select game type",
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(450, 227));

    // The chosen name (the caller's name until a radio button is chosen).
    const wxString& selectedName() const { return m_selectedName; }
    // Hole cards of the chosen name as set by OK; before OK, and for a name no game table
    // entry knows, the application's current count.
    std::int32_t selectedHoleCards() const { return m_selectedHoleCards; }

    const std::vector<wxRadioButton*>& radiosHi() const { return m_radiosHi; }
    const std::vector<wxRadioButton*>& radiosHiLo() const { return m_radiosHiLo; }
    // The disabled choice of a current game that is not offered, or nullptr.
    wxRadioButton* otherRadio() const { return m_radioOther; }

  private:
    void OnRadio(wxCommandEvent& event);
    void OnOk(wxCommandEvent& event);

    std::vector<wxRadioButton*> m_radiosHi;
    std::vector<wxRadioButton*> m_radiosHiLo;
    wxRadioButton* m_radioOther = nullptr;
    AppSettings& m_settings;
    wxString m_selectedName;
    std::int32_t m_selectedHoleCards;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace varnel
