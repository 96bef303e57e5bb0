// The program's entry: toolkit assertions off and the toolkit's log at informational level
// before the toolkit starts the application.

#include <wx/log.h>

#include "app/app.h"

wxIMPLEMENT_APP_NO_MAIN(varnel::varnelApp);

int main(int argc, char** argv) {
    wxSetAssertHandler(nullptr);
    wxLog::SetLogLevel(wxLOG_Info);
    return wxEntry(argc, argv);
}
