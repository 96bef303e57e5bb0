#pragma once
// Live feedback on the fields: a short while after the user stops typing, the request reader
// (engine/request.h) reads every field on a worker thread, and each field's line under it shows
// what the reader found: its hand count ("1,225 hands", "15%: 40,608 hands"), its board
// ("flop") or, in red, the reader's reason. A newer reading stops the one before it, and answers
// of stale readings are dropped. "Start" is meant to be enabled only while no field has a
// problem; the owner hears of each answer through `onAnswer`.

#include <wx/stattext.h>
#include <wx/timer.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>

#include "engine/request.h"

namespace varnel {

class FieldFeedback {
  public:
    // What a reading reads: the game and the fields' texts, taken when it starts.
    using Source = std::function<RequestInput()>;
    // Called on the UI thread with each answer that is not stale: whether every field is clean.
    using Answer = std::function<void(bool clean)>;

    FieldFeedback(wxWindow* owner, Source source, Answer onAnswer);
    ~FieldFeedback();
    FieldFeedback(const FieldFeedback&) = delete;
    FieldFeedback& operator=(const FieldFeedback&) = delete;

    // The line under the field `name`, a child of `parent`, `width` wide.
    wxStaticText* addLabel(wxWindow* parent, const wxString& name, int width);
    // The line under the boards that gives their problems in full (board fields are narrow).
    wxStaticText* addBoardsLine(wxWindow* parent);

    // A field or the game changed: reads again once the user pauses.
    void schedule();
    // Reads now (tests, and the debounce timer).
    void checkNow();

    // Whether the last answer found no problem in any field (true before the first answer).
    bool clean() const { return m_clean; }
    // The answers applied so far.
    unsigned answers() const { return m_answers; }
    const wxStaticText* label(const wxString& name) const { return m_labels.at(name); }
    const wxStaticText* boardsLine() const { return m_boardsLine; }

    struct Check;

  private:
    void apply(const Check& check);

    wxWindow* m_owner;
    Source m_source;
    Answer m_onAnswer;
    wxTimer m_timer;
    std::map<wxString, wxStaticText*> m_labels;
    wxStaticText* m_boardsLine = nullptr;
    std::shared_ptr<Check> m_check;  // the latest reading
    unsigned m_answers = 0;
    bool m_clean = true;
};

}  // namespace varnel
