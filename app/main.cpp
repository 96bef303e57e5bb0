// The program's entry: toolkit assertions off, the toolkit's log at informational level and
// classic scroll bars (always drawn, not overlaid on demand) before the toolkit starts the
// application.

#include <wx/log.h>

#include <cstdlib>

#include "app/app.h"

wxIMPLEMENT_APP_NO_MAIN(varnel::varnelApp);

int main(int argc, char** argv) {
    wxSetAssertHandler(nullptr);
    wxLog::SetLogLevel(wxLOG_Info);
    setenv("GTK_OVERLAY_SCROLLING", "0", 0);
    return wxEntry(argc, argv);
}
