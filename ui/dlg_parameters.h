#pragma once
// The parameters dialog: the number of rounds and the seconds of a calculation. OK stores changed
// values in the application settings and writes only the changed keys to the configuration.

#include <wx/dialog.h>
#include <wx/textctrl.h>

#include <cstdint>

namespace varnel {

inline constexpr wxWindowID kParametersDialogId = 1006;

class dlgParametersForEvaluation : public wxDialog {
  public:
    // `id` is ignored: the dialog always carries kParametersDialogId.
    dlgParametersForEvaluation(wxWindow* parent, wxWindowID id = kParametersDialogId,
                               const wxString& title = "Parameters for Evaluation",
                               const wxPoint& pos = wxDefaultPosition,
                               const wxSize& size = wxSize(258, 144));

    // Remembers the values shown at opening and writes them into the text fields ("%d").
    void setValues(std::int32_t rounds, std::int32_t seconds);

    wxTextCtrl* roundsText() const { return m_textRounds; }
    wxTextCtrl* secondsText() const { return m_textSeconds; }

  private:
    void OnOk(wxCommandEvent& event);

    std::int32_t m_rounds = 0;
    std::int32_t m_seconds = 0;
    wxTextCtrl* m_textRounds;
    wxTextCtrl* m_textSeconds;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace varnel
