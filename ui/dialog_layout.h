#pragma once
// Layout shared by the program's modal dialogs.

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>

namespace varnel {

// Adds the OK and Cancel buttons below the contents of `top`, makes `top` the dialog's sizer
// and centres the dialog.
inline void finishOkCancelDialog(wxDialog& dialog, wxBoxSizer* top) {
    auto* buttons = new wxStdDialogButtonSizer;
    buttons->AddButton(new wxButton(&dialog, wxID_OK));
    buttons->AddButton(new wxButton(&dialog, wxID_CANCEL));
    buttons->Realize();
    top->Add(buttons, 1, wxEXPAND);
    dialog.SetSizer(top);
    dialog.Layout();
    dialog.Centre(wxBOTH);
}

}  // namespace varnel
