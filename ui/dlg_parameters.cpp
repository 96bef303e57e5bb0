#include "ui/dlg_parameters.h"

#include <wx/config.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <string>

#include "core/report.h"
#include "ui/dialog_layout.h"

namespace varnel {
namespace {

wxString precisionShown(double precision) {
    return precision > 0 ? wxString::Format("%g", precision) : wxString();
}

}  // namespace

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
    auto* grid = new wxFlexGridSizer(2, 0, 0);
    grid->AddGrowableCol(1);
    auto addRow = [&](const char* label, wxWindow* control) {
        grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
        grid->Add(control, 1, wxEXPAND | wxALL, 5);
    };
    m_textRounds = new wxTextCtrl(this, wxID_ANY);
    m_textSeconds = new wxTextCtrl(this, wxID_ANY);
    m_textPrecision = new wxTextCtrl(this, wxID_ANY);
    m_textPause = new wxTextCtrl(this, wxID_ANY);
    addRow("Number of rounds", m_textRounds);
    addRow("Seconds for calculation", m_textSeconds);
    addRow("Target precision (points)", m_textPrecision);
    addRow("Pause between progress steps (ms)", m_textPause);
    top->Add(grid, 0, wxEXPAND | wxALL, 5);
    m_checkExact = new wxCheckBox(this, wxID_ANY, "Exact when possible");
    top->Add(m_checkExact, 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);

    finishOkCancelDialog(*this, top, size);
    setValues(appSettings());
}

void dlgParametersForEvaluation::setValues(const AppSettings& settings) {
    m_shown.m_rounds = settings.m_rounds;
    m_shown.m_seconds = settings.m_seconds;
    m_shown.m_mode = settings.m_mode;
    m_shown.m_precision = settings.m_precision;
    m_shown.m_pauseMs = settings.m_pauseMs;
    m_textRounds->SetValue(wxString::Format("%d", settings.m_rounds));
    m_textSeconds->SetValue(wxString::Format("%d", settings.m_seconds));
    m_checkExact->SetValue(settings.m_mode != EquityMode::MonteCarlo);
    m_textPrecision->SetValue(precisionShown(settings.m_precision));
    m_textPause->SetValue(wxString::Format("%d", settings.m_pauseMs));
}

void dlgParametersForEvaluation::OnOk(wxCommandEvent& event) {
    // Every value is checked before any is stored.
    const std::int32_t rounds = leadingNumber(m_textRounds->GetValue().ToStdWstring());
    const std::int32_t seconds = leadingNumber(m_textSeconds->GetValue().ToStdWstring());
    const wxString precisionText = m_textPrecision->GetValue().Strip(wxString::both);
    const std::optional<double> precision = precisionFrom(precisionText.ToStdWstring());
    const std::optional<std::int32_t> pause = pauseFrom(m_textPause->GetValue().ToStdWstring());
    std::wstring refused;
    if (rounds < 1)
        refused = L"The number of rounds must be at least 1.";
    else if (seconds < 0)
        refused = L"The seconds for a calculation cannot be negative.";
    else if (!precision)
        refused = L"The target precision must be empty or a number of points from 0 to 100.";
    else if (!pause)
        refused = L"The pause must be a whole number of milliseconds from 0 to 10000.";
    if (!refused.empty()) {
        reportToUser(refused);
        return;  // the dialog stays open
    }
    const EquityMode mode =
        m_checkExact->GetValue()
            ? (m_shown.m_mode == EquityMode::MonteCarlo ? EquityMode::Auto : m_shown.m_mode)
            : EquityMode::MonteCarlo;
    const std::int32_t pauseMs = *pause;

    AppSettings& settings = appSettings();
    wxConfigBase* config = wxConfigBase::Get(false);
    if (config) config->SetPath("/GAME");
    bool written = false;
    auto store = [&](bool changed, const char* key, const wxString& text) {
        if (!changed || !config) return;
        config->Write(key, text);
        written = true;
    };
    store(rounds != m_shown.m_rounds, "Rounds", m_textRounds->GetValue());
    store(seconds != m_shown.m_seconds, "Seconds", m_textSeconds->GetValue());
    store(mode != m_shown.m_mode, "Mode", wxString(std::string(modeText(mode))));
    store(*precision != m_shown.m_precision, "Precision", precisionText);
    store(pauseMs != m_shown.m_pauseMs, "Pause", wxString::Format("%d", pauseMs));
    if (written) config->Flush();
    m_shown.m_rounds = settings.m_rounds = rounds;
    m_shown.m_seconds = settings.m_seconds = seconds;
    m_shown.m_mode = settings.m_mode = mode;
    m_shown.m_precision = settings.m_precision = *precision;
    m_shown.m_pauseMs = settings.m_pauseMs = pauseMs;
    event.Skip();
}

}  // namespace varnel
