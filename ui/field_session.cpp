// The session kept between starts of the program: the texts of the fields that a calculation
// reads ("B1", "B2", "D", "P 1" ... "P10") go to the configuration's [FIELDS] section on every
// Start and on closing, and come back when the window opens. The configuration object merges
// them into the file under its lock (app/settings_file.h), so two windows in one folder do not
// lose each other's other keys; the last one to save its fields wins. A restored text is put back
// exactly as it was typed: when it no longer reads (the game changed, say), the field's own
// check shows why, as for a text typed now.

#include <wx/config.h>

#include "ui/dlg_varnel.h"

namespace varnel {
namespace {

constexpr const char* kFieldsGroup = "/FIELDS/";

// The fields kept: every field but the unused third board.
bool kept(const wxString& field) {
    return field != "B3";
}

}  // namespace

void dlgVarnel::installSession() {
    // Both handlers let the event go on to the window's own Start and close handling.
    Bind(
        wxEVT_BUTTON,
        [this](wxCommandEvent& event) {
            saveFieldTexts();
            event.Skip();
        },
        kStartId);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        saveFieldTexts();
        event.Skip();
    });
    // After construction, so that whatever watches the fields is in place when the texts arrive.
    CallAfter([this] { restoreFieldTexts(); });
}

void dlgVarnel::saveFieldTexts() const {
    wxConfigBase* config = wxConfigBase::Get(false);
    if (!config) return;
    for (const auto& [field, ctrl] : m_fieldCtrls)
        if (kept(field)) config->Write(kFieldsGroup + field, ctrl->GetValue());
    config->Flush();
}

void dlgVarnel::restoreFieldTexts() {
    wxConfigBase* config = wxConfigBase::Get(false);
    if (!config) return;
    for (const auto& [field, ctrl] : m_fieldCtrls) {
        wxString text;
        // SetValue, not ChangeValue: the field reacts as it does to typing.
        if (kept(field) && config->Read(kFieldsGroup + field, &text)) ctrl->SetValue(text);
    }
}

}  // namespace varnel
