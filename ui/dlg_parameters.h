#pragma once
// The parameters dialog: the number of rounds, the seconds of a calculation, whether to enumerate
// exactly when that is cheap, the target precision and the pause between progress steps. OK
// reads the values by the rules of engine/parameters.h (a refused value keeps the dialog open and
// is named in a message), stores them in the application settings and writes only the changed
// keys to the configuration.

#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include <cstdint>

#include "ui/app_settings.h"

namespace varnel {

inline constexpr wxWindowID kParametersDialogId = 1006;

class dlgParametersForEvaluation : public wxDialog {
  public:
    // OK stores the values in `settings` and in the configuration. `id` is ignored: the dialog
    // always carries kParametersDialogId. `size` is the least size; the dialog grows to its
    // contents.
    dlgParametersForEvaluation(AppSettings& settings, wxWindow* parent,
                               wxWindowID id = kParametersDialogId,
                               const wxString& title = "Parameters for Evaluation",
                               const wxPoint& pos = wxDefaultPosition,
                               const wxSize& size = wxSize(258, 144));

    // Remembers the values shown (the application's at construction) and writes them into the
    // controls (whole numbers in decimal; a precision of 0 as an empty field).
    void setValues(const AppSettings& settings);

    wxTextCtrl* roundsText() const { return m_textRounds; }
    wxTextCtrl* secondsText() const { return m_textSeconds; }
    wxCheckBox* exactCheck() const { return m_checkExact; }
    wxTextCtrl* precisionText() const { return m_textPrecision; }
    wxTextCtrl* pauseText() const { return m_textPause; }

  private:
    void OnOk(wxCommandEvent& event);

    AppSettings& m_settings;
    AppSettings m_shown;
    wxTextCtrl* m_textRounds;
    wxTextCtrl* m_textSeconds;
    wxCheckBox* m_checkExact;
    wxTextCtrl* m_textPrecision;
    wxTextCtrl* m_textPause;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace varnel
