#include "ui/dlg_parameters.h"

#include <wx/config.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "ui/app_settings.h"
#include "ui/dialog_layout.h"

namespace varnel {

// clang-format off
wxBEGIN_EVENT_TABLE(dlgParametersForEvaluation, wxDialog)
    EVT_BUTTON(wxID_OK, dlgParametersForEvaluation::OnOk)
wxEND_EVENT_TABLE();
// clang-format on

dlgParametersForEvaluation::dlgParametersForEvaluation(wxWindow* parent, wxWindowID /*id*/,
                                                       const wxString& title, const wxPoint& pos,
                                                       const wxSize& size)
    : wxDialog(parent, kParametersDialogId, title, pos, size, wxDEFAULT_DIALOG_STYLE) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* inner = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, 0, 0);
    m_textRounds = new wxTextCtrl(this, wxID_ANY);
    m_textSeconds = new wxTextCtrl(this, wxID_ANY);
    grid->Add(new wxStaticText(this, wxID_ANY, "Number of rounds"), 0, wxALL, 5);
    grid->Add(m_textRounds, 0, wxALL, 5);
    grid->Add(new wxStaticText(this, wxID_ANY, "Seconds for calculation"), 0, wxALL, 5);
    grid->Add(m_textSeconds, 0, wxALL, 5);
    inner->Add(grid);
    top->Add(inner);

    finishOkCancelDialog(*this, top);
}

void dlgParametersForEvaluation::setValues(std::int32_t rounds, std::int32_t seconds) {
    m_rounds = rounds;
    m_seconds = seconds;
    m_textRounds->SetValue(wxString::Format("%d", rounds));
    m_textSeconds->SetValue(wxString::Format("%d", seconds));
}

void dlgParametersForEvaluation::OnOk(wxCommandEvent& event) {
    AppSettings& settings = appSettings();
    const std::int32_t rounds = leadingNumber(m_textRounds->GetValue().ToStdWstring());
    const bool roundsChanged = rounds != m_rounds;
    if (roundsChanged) m_rounds = settings.m_rounds = rounds;
    const std::int32_t seconds = leadingNumber(m_textSeconds->GetValue().ToStdWstring());
    const bool secondsChanged = seconds != m_seconds;
    if (secondsChanged) m_seconds = settings.m_seconds = seconds;

    if (wxConfigBase* config = wxConfigBase::Get(false)) {
        config->SetPath("/GAME");
        if (roundsChanged) config->Write("Rounds", m_textRounds->GetValue());
        if (secondsChanged) config->Write("Seconds", m_textSeconds->GetValue());
        if (roundsChanged || secondsChanged) config->Flush();
    }
    event.Skip();
}

}  // namespace varnel
