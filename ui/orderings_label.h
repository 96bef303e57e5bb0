#pragma once
// A small line under "Start" that says for which games percentage ranges ("10%") can be used,
// and how far the preparation of the others has come (engine/ordering_status.h). While any is
// not ready it looks again every few seconds: the set-up may be generating them.

#include <wx/stattext.h>
#include <wx/timer.h>

#include "engine/ordering_status.h"
#include "engine/request.h"

namespace varnel {

class OrderingsLabel : public wxStaticText {
  public:
    explicit OrderingsLabel(wxWindow* parent);

    // Looks at the orderings now and says what it finds.
    void refresh();

  private:
    wxTimer m_timer;
};

// The line for `status`: "Percentage ranges ready for every game", or which games are ready,
// being prepared (with progress) or not available.
wxString orderingsText(const OrderingsStatus& status);

// The status line while the fields of `input` are read: it says so when a percentage range's
// ordering is read from disk, which can take seconds for the largest games.
wxString readingText(const RequestInput& input);

}  // namespace varnel
