#pragma once
// Help > Range language: a window that explains what a player field may hold. Every example's
// hand count is counted by the range module when the window opens, for 4 and for 5 hole cards,
// so the page cannot drift from what a run reads.

#include <wx/dialog.h>

#include <cstdint>
#include <string>
#include <vector>

class wxHtmlWindow;

namespace varnel {

// One row of the help: a pattern family (or an operator) with an example and what it names.
struct RangeExample {
    const wchar_t* family;
    const wchar_t* text;     // the example, as a player types it
    const wchar_t* meaning;  // one sentence
    bool fourCards = false;  // builds four-card hands whatever the game's hand size
};

// The operators, then every pattern family, in the order the help shows them.
const std::vector<RangeExample>& rangeOperatorExamples();
const std::vector<RangeExample>& rangePatternExamples();

// What `text` names for hands of `holeCards` cards: its different hands, and its entries (a few
// forms list some hands more than once, which weights them in a run). Both are -1 when the text
// does not read, -2 when it needs an ordering: percentages are not counted here, the orderings'
// caches belonging to one thread at a time, the calculation's.
struct ExampleCount {
    std::int64_t hands = -1;
    std::int64_t entries = -1;
};
ExampleCount exampleHandCount(const std::wstring& text, int holeCards);

// The page: operators, pattern families with both counts, percentages, the games' hand sizes.
wxString rangeHelpPage();

// The help window: resizable, closed with Esc or its Close button; not modal, so the main window
// stays usable beside it. It opens at once and shows the page when the counts are done.
class dlgRangeHelp : public wxDialog {
  public:
    explicit dlgRangeHelp(wxWindow* parent);
    wxHtmlWindow* page() const { return m_page; }
    // Whether the page with its counts is shown.
    bool ready() const { return m_ready; }

  private:
    void showPage(const wxString& html);

    wxHtmlWindow* m_page = nullptr;
    bool m_ready = false;
};

}  // namespace varnel
