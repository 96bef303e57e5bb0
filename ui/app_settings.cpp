#include "ui/app_settings.h"

#include <wx/app.h>

namespace varnel {

AppSettings& appSettings() {
    if (auto* settings = dynamic_cast<AppSettings*>(wxApp::GetInstance())) return *settings;
    static AppSettings defaults;
    return defaults;
}

}  // namespace varnel
