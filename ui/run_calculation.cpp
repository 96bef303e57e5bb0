// "Start" and "Stop": the fields are checked and read on the UI thread, the calculation runs on a
// worker thread while the window stays responsive, and its progress and result come back as
// deferred calls. The results grid shows one row per player and the status line how the run went;
// a Monte Carlo run shows its running figures at every progress step.
//
// A window closed during a run goes at once: it raises the stop flag, logs the run as stopped with
// the figures it had, and leaves the worker to end on its own. Workers are counted so that the
// program, when it ends, waits for them briefly and then lets none of them post to the toolkit.

#include <wx/app.h>
#include <wx/utils.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/report.h"
#include "ui/app_settings.h"
#include "ui/dlg_varnel.h"
#include "ui/message_box.h"
#include "ui/result_export.h"

namespace varnel {
namespace {

constexpr int kGaugeRange = 100;

wxString wide(const std::wstring& text) {
    return wxString(text);
}

wxString narrowText(const std::string& text) {
    return wxString::FromUTF8(text);
}

// The workers still running, and whether they may still post to the toolkit.
struct Workers {
    std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
    bool toolkitGone = false;
};

Workers& workers() {
    static Workers w;
    return w;
}

// Queues `call` for the UI thread, unless the program is ending.
void postToUi(std::function<void()> call) {
    Workers& w = workers();
    std::lock_guard lock(w.mutex);
    if (!w.toolkitGone && wxTheApp) wxTheApp->CallAfter(std::move(call));
}

void workerEnded() {
    Workers& w = workers();
    std::lock_guard lock(w.mutex);
    --w.running;
    w.ended.notify_all();
}

}  // namespace

bool endWorkers(std::chrono::milliseconds wait) {
    Workers& w = workers();
    std::unique_lock lock(w.mutex);
    const bool ended = w.ended.wait_for(lock, wait, [&] { return w.running == 0; });
    w.toolkitGone = true;
    return ended;
}

// One calculation, shared by the window and its worker. The worker reads the fields, then (when
// they can be used) runs the engine; it writes what it found before the deferred call that
// follows each step, and the window reads it there.
struct dlgVarnel::Run {
    unsigned number = 0;
    dlgVarnel* window = nullptr;  // nullptr once the window is gone; UI thread only
    RequestInput input;
    CheckedRequest checked;
    std::atomic<bool> stop{false};
    EquityResult result;
    std::string failure;   // what the engine threw, if it did
    bool shown = false;    // the window has shown the players (the reading is over); UI thread only
    EquityResult partial;  // the running figures shown last; UI thread only
};

namespace {

int boardsOf(const EquityRequest& request) {
    return request.boards[1] ? 2 : 1;
}

// What the window shows of `run` with the figures `result`.
CalculationRecord recordOf(const dlgVarnel::Run& run, const EquityResult& result) {
    const CalculationRequest& fields = run.input.fields;
    auto field = [&](const wchar_t* key) {
        const auto it = fields.find(key);
        return it == fields.end() ? std::wstring() : it->second;
    };
    CalculationRecord record;
    record.game = run.input.game;
    record.board1 = field(L"B1");
    record.board2 = field(L"B2");
    record.dead = field(L"D");
    record.players = run.checked.players;
    record.hiLo = run.checked.request.hiLo;
    record.boards = boardsOf(run.checked.request);
    record.result = result;
    return record;
}

}  // namespace

RunHooks& runHooks() {
    static RunHooks hooks;
    return hooks;
}

dlgVarnel::~dlgVarnel() {
    if (!m_run) return;
    // The worker ends on its own; what the run had counted is logged now.
    m_run->window = nullptr;
    m_run->stop = true;
    if (m_running && m_run->shown) {
        CalculationRecord record = recordOf(*m_run, m_run->partial);
        record.result.end = RunEnd::Stopped;
        m_settings.logLine(logLineOf(record));
    }
}

namespace {

// Reads the fields and, when they can be used, runs the engine. Runs on the worker thread;
// each outcome reaches the window as a deferred call.
void work(const std::shared_ptr<dlgVarnel::Run>& run, const RunHooks::Calculate& calculate,
          std::function<void(const std::shared_ptr<dlgVarnel::Run>&, bool)> toWindow) {
    try {
        run->checked = readRequest(run->input, &run->stop);
        if (run->checked.ok()) {
            EquityRequest& request = run->checked.request;
            request.stop = &run->stop;
            toWindow(run, false);
            run->result = calculate(request);
        } else if (run->checked.stopped) {
            run->result.end = RunEnd::Stopped;
        }
    } catch (...) {
        run->failure =
            failureText(std::current_exception(), "not enough memory for this calculation");
    }
    toWindow(run, true);
}

}  // namespace

void dlgVarnel::OnButOkClick(wxCommandEvent&) {
    if (m_running) return;
    // The file may have been put in place since the window opened.
    if (!attachEvaluatorTable()) {
        reportToUser(std::wstring(kTableMissing) +
                     L"\nWithout the evaluator table no equity can be calculated.");
        return;
    }
    auto run = std::make_shared<Run>();
    run->number = ++m_runNumber;
    run->window = this;
    RequestInput& input = run->input;
    input.game = m_settings.m_gameName;
    for (const auto& [name, ctrl] : m_fieldCtrls) {
        const wxString text = ctrl->GetValue();
        if (!text.empty()) input.fields[name.ToStdWstring()] = text.ToStdWstring();
    }
    const AppSettings& settings = m_settings;
    RunParameters& parameters = input.parameters;
    parameters.mode = settings.m_mode;
    parameters.rounds = settings.m_rounds;
    parameters.seconds = settings.m_seconds;
    parameters.precision = settings.m_precision;
    parameters.pauseMs = settings.m_pauseMs;
    parameters.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

    m_run = run;
    m_running = true;
    m_gauge->SetValue(0);
    m_butOk->Disable();
    m_butStop->Enable();
    m_status->SetLabel(readingText(input));
    m_breakdown->clear();
    // Progress crosses to the UI thread as deferred calls; the window may be gone by then.
    auto toWindow = [](const std::shared_ptr<Run>& run, bool done) {
        if (!done) {
            run->checked.request.progress = [run = std::weak_ptr<Run>(run)](int step) {
                postToUi([run, step] {
                    if (auto alive = run.lock(); alive && alive->window)
                        alive->window->showProgress(alive->number, step);
                });
            };
            run->checked.request.partial =
                [run = std::weak_ptr<Run>(run)](const EquityResult& sofar) {
                    postToUi([run, sofar] {
                        if (auto alive = run.lock(); alive && alive->window)
                            alive->window->showPartial(*alive, sofar);
                    });
                };
        }
        postToUi([run, done] {
            if (!run->window) return;
            if (done)
                run->window->finishRun(*run);
            else
                run->window->showRunStart(*run);
        });
    };
    {
        std::lock_guard lock(workers().mutex);
        ++workers().running;
    }
    try {
        runHooks().startWorker([run, calculate = runHooks().calculate, toWindow] {
            work(run, calculate, toWindow);
            workerEnded();
        });
    } catch (const std::exception& error) {
        workerEnded();
        run->failure = error.what();
        finishRun(*run);
        reportToUser(L"The calculation could not be started: " +
                     wxString::FromUTF8(error.what()).ToStdWstring());
    }
}

void dlgVarnel::OnStop(wxCommandEvent&) {
    if (m_run) m_run->stop = true;
}

void dlgVarnel::showRunStart(Run& run) {
    if (run.number != m_runNumber || !m_running) return;
    run.shown = true;
    m_hasRecord = false;
    m_gridResults->showPlayers(run.checked.players, run.checked.request.hiLo,
                               boardsOf(run.checked.request));
    m_status->SetLabel("Calculating...");
    layoutResults();
}

void dlgVarnel::showPartial(Run& run, const EquityResult& sofar) {
    if (run.number != m_runNumber || !m_running) return;
    run.partial = sofar;
    m_record = recordOf(run, sofar);
    m_hasRecord = true;
    m_gridResults->showResult(sofar, m_record.hiLo, m_record.boards);
    m_status->SetLabel(wxString::Format("Calculating...    Deals: %lld    Seconds: %.2f",
                                        static_cast<long long>(sofar.deals), sofar.seconds));
    layoutResults();
}

void dlgVarnel::finishRun(const Run& run) {
    if (run.number != m_runNumber || !m_running) return;
    m_running = false;
    m_run.reset();
    m_butOk->Enable(m_feedback->clean());
    m_butStop->Disable();
    m_gauge->SetValue(kGaugeRange);
    m_hasRecord = false;
    const EquityResult& result = run.result;
    if (!run.failure.empty()) {
        m_status->SetLabel("The calculation failed: " + narrowText(run.failure));
        layoutResults();
        return;
    }
    if (run.checked.stopped) {
        m_status->SetLabel("Stopped while reading the fields.");
        return;
    }
    if (!run.checked.problems.empty()) {
        const std::size_t more = run.checked.problems.size() - 1;
        m_status->SetLabel("Not started: " + wide(run.checked.problems.front().message) +
                           (more ? wxString::Format(" (and %zu more)", more) : wxString()));
        m_settings.logLine(refusedLogLine(run.input, run.checked.problems));
        reportToUser(run.checked.problemText());
        return;
    }
    if (result.end == RunEnd::Rejected || result.end == RunEnd::NoValidDeal) {
        const std::string why = result.end == RunEnd::Rejected
                                    ? "The engine refused the request: " + result.reason
                                    : "No deal of these hands, boards and dead cards is possible: "
                                      "every combination of the players' hands shares a card.";
        m_status->SetLabel(narrowText(why));
        reportToUser(narrowText(why).ToStdWstring());
        layoutResults();
        return;
    }
    m_record = recordOf(run, result);
    m_hasRecord = true;
    m_gridResults->showResult(result, m_record.hiLo, m_record.boards);
    const auto board = run.input.fields.find(L"B1");
    m_breakdown->setRun(run.checked, run.input.game,
                        board == run.input.fields.end() ? std::wstring() : board->second);
    m_status->SetLabel(wxString::Format(
        "Mode: %s    Deals: %lld    Seconds: %.2f    Ended: %s", std::string(modeText(result.mode)),
        static_cast<long long>(result.deals), result.seconds, std::string(runEndText(result.end))));
    layoutResults();
    logRun(run);
}

void dlgVarnel::logRun(const Run& run) const {
    m_settings.logLine(logLineOf(recordOf(run, run.result)));
}

void dlgVarnel::showResultColumns() {
    m_gridResults->clearRows(isHiLoGame(m_settings.m_gameName));
    m_hasRecord = false;
    layoutResults();
}

void dlgVarnel::layoutResults() {
    m_gridResults->AutoSizeColumns(false);
    m_gridResults->ForceRefresh();
    Layout();
}

void dlgVarnel::showProgress(unsigned run, int step) {
    if (!m_running || run != m_runNumber) return;
    m_gauge->SetValue(std::clamp(step, 0, kGaugeRange));
}

void dlgVarnel::OnClose(wxCloseEvent& event) {
    if (m_run) m_run->stop = true;
    event.Skip();
}

}  // namespace varnel
