#pragma once
// The breakdown window of one player of a finished run (the "hero"): the equity distribution graph
// of the hero's hands (and of the opponent's, heads-up against a range), the hero's hands by class
// on the board, and every player's equity for each card that can come next. The figures are
// computed on a worker thread with the window's own stop flag and come back as deferred calls;
// closing the window stops the work and returns at once.

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/breakdown.h"
#include "engine/request.h"

namespace varnel {

class EquityGraph;
class ClassTable;
class NextCardGrid;

// Everything the window shows, as one worker computes it.
struct BreakdownFigures {
    Breakdown breakdown;
    std::vector<ClassShare> classes;  // empty unless the first board is a flop or a turn
    NextCards cards;                  // no cards unless the first board is a flop or a turn
};

// Computes the figures of `request` for player `hero`: the breakdown, then (on a flop or a turn)
// the classes and the next cards, stopping early once the request's stop flag is raised.
// Progress runs 0 .. kProgressSteps - 1 over the whole of it.
BreakdownFigures computeBreakdownFigures(const EquityRequest& request, int hero);

// How a breakdown window computes: the work and the start of its worker thread. Tests replace
// them, like RunHooks of the main window (a worker that runs the work at once is allowed).
struct BreakdownHooks {
    using Compute = std::function<BreakdownFigures(const EquityRequest& request, int hero)>;
    using StartWorker = std::function<void(std::function<void()> work)>;
    Compute compute = computeBreakdownFigures;
    // Throws std::system_error when no thread can be started.
    StartWorker startWorker = [](std::function<void()> work) {
        std::thread(std::move(work)).detach();
    };
};

// The hooks every breakdown window uses. UI thread only.
BreakdownHooks& breakdownHooks();

// What the window breaks down: a run's request and players, and the player to break down.
struct BreakdownSubject {
    EquityRequest request;  // without progress callback or stop flag: the window sets its own
    std::vector<PlayerField> players;
    int hero = 0;
    std::wstring game;
    std::wstring board;  // the text of B1, or "" for none
};

class dlgBreakdown : public wxFrame {
  public:
    // Opens on `subject` and starts computing at once.
    dlgBreakdown(wxWindow* parent, BreakdownSubject subject);
    ~dlgBreakdown() override;

    bool running() const { return m_running; }
    wxButton* stopButton() const { return m_stop; }
    wxButton* saveButton() const { return m_save; }
    wxGauge* gauge() const { return m_gauge; }
    wxStaticText* status() const { return m_status; }
    EquityGraph* graph() const { return m_graph; }
    ClassTable* classTable() const { return m_classes; }
    NextCardGrid* cardGrid() const { return m_cards; }
    // The figures of the next card under the mouse.
    wxStaticText* hoverLabel() const { return m_hover; }
    const BreakdownSubject& subject() const { return m_subject; }

    // One computation, shared with its worker (ui/dlg_breakdown.cpp).
    struct Work;

  private:
    void start();
    void showProgress(int step);
    void showFigures(const Work& work);
    void OnStop(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    BreakdownSubject m_subject;
    wxString m_title;  // "(computing)" follows it while the work runs
    std::shared_ptr<Work> m_work;
    bool m_running = false;
    wxButton* m_stop = nullptr;
    wxButton* m_save = nullptr;
    wxGauge* m_gauge = nullptr;
    wxStaticText* m_status = nullptr;
    EquityGraph* m_graph = nullptr;
    ClassTable* m_classes = nullptr;
    NextCardGrid* m_cards = nullptr;
    wxStaticText* m_hover = nullptr;
};

}  // namespace varnel
