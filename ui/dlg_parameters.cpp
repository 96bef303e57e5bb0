#include "ui/dlg_parameters.h"

#include <wx/config.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <string>

#include "core/report.h"
#include "engine/parameters.h"
#include "ui/dialog_layout.h"

namespace varnel {
namespace {

// The rows of the dialog: the name that messages use, and the unit the label adds.
constexpr const wchar_t* kRoundsName = L"Number of rounds";
constexpr const wchar_t* kSecondsName = L"Seconds for calculation";
constexpr const wchar_t* kPrecisionName = L"Target precision";
constexpr const wchar_t* kPauseName = L"Pause between progress steps";

wxString precisionShown(double precision) {
    return precision > 0 ? wxString::Format("%g", precision) : wxString();
}

// The text of a field without the blanks around it.
std::wstring typed(const wxTextCtrl* control) {
    return control->GetValue().Strip(wxString::both).ToStdWstring();
}

// Tells the user why a field was refused ("Number of rounds: 'abc' is not a number.") and
// returns false, or returns true when the field was read.
template <class T>
bool accepted(const ParameterReading<T>& reading, const wchar_t* name, const std::wstring& text) {
    if (reading) return true;
    reportToUser(std::wstring(name) + L": '" + text + L"' " + reading.problem + L".");
    return false;
}

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(dlgParametersForEvaluation, wxDialog)
    EVT_BUTTON(wxID_OK, dlgParametersForEvaluation::OnOk)
wxEND_EVENT_TABLE();
// clang-format on

dlgParametersForEvaluation::dlgParametersForEvaluation(AppSettings& settings, wxWindow* parent,
                                                       wxWindowID /*id*/, const wxString& title,
                                                       const wxPoint& pos, const wxSize& size)
    : wxDialog(parent, kParametersDialogId, title, pos, size, wxDEFAULT_DIALOG_STYLE),
      m_settings(settings) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, 0, 0);
    grid->AddGrowableCol(1);
    auto addRow = [&](const wxString& label, wxWindow* control) {
        grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
        grid->Add(control, 1, wxEXPAND | wxALL, 5);
    };
    m_textRounds = new wxTextCtrl(this, wxID_ANY);
    m_textSeconds = new wxTextCtrl(this, wxID_ANY);
    m_textPrecision = new wxTextCtrl(this, wxID_ANY);
    m_textPause = new wxTextCtrl(this, wxID_ANY);
    addRow(kRoundsName, m_textRounds);
    addRow(kSecondsName, m_textSeconds);
    addRow(wxString(kPrecisionName) + " (points)", m_textPrecision);
    addRow(wxString(kPauseName) + " (ms)", m_textPause);
    top->Add(grid, 0, wxEXPAND | wxALL, 5);
    m_checkExact = new wxCheckBox(this, wxID_ANY, "Exact when possible");
    top->Add(m_checkExact, 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);

    finishOkCancelDialog(*this, top, size);
    setValues(m_settings);
}

void dlgParametersForEvaluation::setValues(const AppSettings& settings) {
    m_shown.m_rounds = settings.m_rounds;
    m_shown.m_seconds = settings.m_seconds;
    m_shown.m_mode = settings.m_mode;
    m_shown.m_precision = settings.m_precision;
    m_shown.m_pauseMs = settings.m_pauseMs;
    m_textRounds->SetValue(wxString::Format("%lld", static_cast<long long>(settings.m_rounds)));
    m_textSeconds->SetValue(wxString::Format("%d", settings.m_seconds));
    m_checkExact->SetValue(settings.m_mode != EquityMode::MonteCarlo);
    m_textPrecision->SetValue(precisionShown(settings.m_precision));
    m_textPause->SetValue(wxString::Format("%d", settings.m_pauseMs));
}

void dlgParametersForEvaluation::OnOk(wxCommandEvent& event) {
    // Every value is read by the same rules as the stored ones and checked before any is kept;
    // the first refused one is named and the dialog stays open.
    const std::wstring roundsText = typed(m_textRounds), secondsText = typed(m_textSeconds),
                       precisionText = typed(m_textPrecision), pauseText = typed(m_textPause);
    const auto rounds = readRounds(roundsText);
    const auto seconds = readSeconds(secondsText);
    const auto precision = readPrecision(precisionText);
    const auto pause = readPause(pauseText);
    if (!accepted(rounds, kRoundsName, roundsText) ||
        !accepted(seconds, kSecondsName, secondsText) ||
        !accepted(precision, kPrecisionName, precisionText) ||
        !accepted(pause, kPauseName, pauseText))
        return;
    const EquityMode mode =
        m_checkExact->GetValue()
            ? (m_shown.m_mode == EquityMode::MonteCarlo ? EquityMode::Auto : m_shown.m_mode)
            : EquityMode::MonteCarlo;

    // Only the changed keys are written; the configuration merges them into its file.
    wxConfigBase* config = wxConfigBase::Get(false);
    if (config) config->SetPath("/GAME");
    bool written = false;
    auto store = [&](bool changed, const char* key, const wxString& text) {
        if (!changed || !config) return;
        config->Write(key, text);
        written = true;
    };
    store(*rounds.value != m_shown.m_rounds, "Rounds", roundsText);
    store(*seconds.value != m_shown.m_seconds, "Seconds", secondsText);
    store(mode != m_shown.m_mode, "Mode", wxString(std::string(modeText(mode))));
    store(*precision.value != m_shown.m_precision, "Precision", precisionText);
    store(*pause.value != m_shown.m_pauseMs, "Pause", pauseText);
    if (written) config->Flush();

    AppSettings& settings = m_settings;
    m_shown.m_rounds = settings.m_rounds = *rounds.value;
    m_shown.m_seconds = settings.m_seconds = *seconds.value;
    m_shown.m_mode = settings.m_mode = mode;
    m_shown.m_precision = settings.m_precision = *precision.value;
    m_shown.m_pauseMs = settings.m_pauseMs = *pause.value;
    event.Skip();
}

}  // namespace varnel
