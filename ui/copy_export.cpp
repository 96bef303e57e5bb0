// The main window's results leaving the window: "Copy" and Ctrl+C on the results put the whole
// calculation on the clipboard as tab-separated text, File > Export saves it as CSV. Both come
// from ui/result_export.h; a change of the game or of a field empties the results.
#include <wx/filedlg.h>

#include "ui/dlg_varnel.h"
#include "ui/message_box.h"

namespace varnel {

wxString dlgVarnel::resultsText() const {
    return m_hasRecord ? tabText(calculationRows(m_record)) : wxString();
}

void dlgVarnel::copyResults() {
    const wxString text = resultsText();
    if (!text.empty()) clipboardWriter()(text);
}

bool dlgVarnel::exportResults(const wxString& path) {
    if (!m_hasRecord) return false;
    if (writeCalculationCsv(path, m_record)) return true;
    reportToUser(L"The results could not be written to " + path.ToStdWstring());
    return false;
}

void dlgVarnel::clearResults() {
    if (m_gridResults->GetNumberRows() == 0 && !m_hasRecord) return;
    showResultColumns();
    m_status->SetLabel("Fill at least two players and press Start.");
}

void dlgVarnel::OnExport(wxCommandEvent&) {
    if (!m_hasRecord) {
        reportToUser(L"There are no results to export yet: press Start first.");
        return;
    }
    wxFileDialog dialog(this, "Export the results", wxEmptyString, "varnel-results.csv",
                        "CSV files (*.csv)|*.csv|All files (*)|*",
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() == wxID_OK) exportResults(dialog.GetPath());
}

}  // namespace varnel
