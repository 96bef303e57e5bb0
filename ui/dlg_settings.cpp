#include "ui/dlg_settings.h"

#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "core/game.h"
#include "ui/app_settings.h"
#include "ui/dialog_layout.h"
#include "ui/game_choice.h"

namespace varnel {

// clang-format off
wxBEGIN_EVENT_TABLE(dlgSettings, wxDialog)
    EVT_BUTTON(wxID_OK, dlgSettings::OnOk)
wxEND_EVENT_TABLE();
// clang-format on

dlgSettings::dlgSettings(AppSettings& settings, wxWindow* parent, const wxString& gameName,
                         wxWindowID /*id*/, const wxString& title, const wxPoint& pos,
                         const wxSize& size)
    : wxDialog(parent, wxID_ANY, title, pos, size, wxDEFAULT_DIALOG_STYLE),
      m_settings(settings),
      m_selectedName(gameName),
      m_selectedHoleCards(settings.m_holeCards) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(new wxStaticText(this, wxID_ANY, "Select Type of Game"), 0,
             wxALIGN_CENTER_HORIZONTAL | wxALL, 5);

    // All radio buttons are children of the dialog, so the boxes form one group. The offered
    // games go to the first box, or to the second when they are Hi/Lo games.
    bool offered = false;
    auto addBox = [&](const wxString& label, bool hiLo, std::vector<wxRadioButton*>& radios) {
        auto* box = new wxStaticBoxSizer(wxHORIZONTAL, this, label);
        for (const GameType& game : kGameTypes) {
            if (!game.offered || isHiLoGame(game.name) != hiLo) continue;
            const long style = (!hiLo && radios.empty()) ? wxRB_GROUP : 0;
            auto* radio =
                new wxRadioButton(this, wxID_ANY, wxString(game.name.data(), game.name.size()),
                                  wxDefaultPosition, wxDefaultSize, style);
            box->Add(radio, 0, wxALL, 5);
            radio->Bind(wxEVT_RADIOBUTTON, &dlgSettings::OnRadio, this);
            radios.push_back(radio);
            if (radio->GetLabel() == gameName) offered = true;
        }
        top->Add(box, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    };
    addBox("Omaha Hi", false, m_radiosHi);
    addBox("Omaha Hi/Lo", true, m_radiosHiLo);
    if (!offered) {
        // A group always selects one of its buttons: the current game gets one of its own.
        auto* box = new wxStaticBoxSizer(wxHORIZONTAL, this, "Current game (not offered here)");
        m_radioOther = new wxRadioButton(this, wxID_ANY, gameName);
        m_radioOther->Disable();
        box->Add(m_radioOther, 0, wxALL, 5);
        top->Add(box, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    }
    for (auto* list : {&m_radiosHi, &m_radiosHiLo})
        for (wxRadioButton* radio : *list) radio->SetValue(radio->GetLabel() == gameName);
    if (m_radioOther) m_radioOther->SetValue(true);

    finishOkCancelDialog(*this, top, size);
}

void dlgSettings::OnRadio(wxCommandEvent& event) {
    auto* sender = dynamic_cast<wxRadioButton*>(event.GetEventObject());
    if (!sender) return;
    for (auto* list : {&m_radiosHi, &m_radiosHiLo})
        for (wxRadioButton* radio : *list)
            if (radio != sender) radio->SetValue(false);
    if (m_radioOther) m_radioOther->SetValue(false);
    m_selectedName = sender->GetLabel();
}

void dlgSettings::OnOk(wxCommandEvent& event) {
    holeCardsForGame(m_selectedName.ToStdWstring(), m_selectedHoleCards);
    m_settings.m_holeCards = m_selectedHoleCards;
    m_settings.m_gameName = m_selectedName.ToStdWstring();
    saveGameType(m_selectedName);
    event.Skip();
}

}  // namespace varnel
