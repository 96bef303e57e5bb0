#pragma once
// Layout shared by the program's modal dialogs.

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>

#include <algorithm>

namespace varnel {

// Adds the OK and Cancel buttons below the contents of `top`, makes `top` the dialog's sizer,
// sizes the dialog to fit its contents but never below `least`, and centres it.
inline void finishOkCancelDialog(wxDialog& dialog, wxBoxSizer* top, const wxSize& least) {
    auto* buttons = new wxStdDialogButtonSizer;
    buttons->AddButton(new wxButton(&dialog, wxID_OK));
    buttons->AddButton(new wxButton(&dialog, wxID_CANCEL));
    buttons->Realize();
    top->Add(buttons, 0, wxEXPAND | wxALL, 5);
    dialog.SetSizer(top);
    const wxSize fitted = dialog.GetSizer()->ComputeFittingWindowSize(&dialog);
    const wxSize size(std::max(fitted.x, least.x), std::max(fitted.y, least.y));
    dialog.SetMinSize(size);
    dialog.SetSize(size);
    dialog.Layout();
    dialog.Centre(wxBOTH);
}

}  // namespace varnel
