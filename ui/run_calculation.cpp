// "Start" and "Stop": the fields are checked and read on the UI thread, the calculation runs on a
// worker thread while the window stays responsive, and its progress and result come back as
// deferred calls. The results grid shows one row per player and the status line how the run went.

#include <wx/app.h>
#include <wx/utils.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <future>
#include <new>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/report.h"
#include "ui/app_settings.h"
#include "ui/dlg_varnel.h"

namespace varnel {
namespace {

constexpr int kGaugeRange = 100;
// How long a closing window waits for its stopped worker: one piece of work and one pause.
constexpr auto kCloseWait = std::chrono::seconds(3);

wxString wide(const std::wstring& text) {
    return wxString(text);
}

wxString narrowText(const std::string& text) {
    return wxString::FromUTF8(text);
}

}  // namespace

// One calculation, shared by the window and its worker. The worker reads the fields, then (when
// they can be used) runs the engine; it writes what it found, then fulfils `finished`. The window
// reads it in the deferred calls that follow each step.
struct dlgVarnel::Run {
    unsigned number = 0;
    dlgVarnel* window = nullptr;  // nullptr once the window is gone; UI thread only
    RequestInput input;
    CheckedRequest checked;
    std::atomic<bool> stop{false};
    EquityResult result;
    std::string failure;  // what the engine threw, if it did
    std::promise<void> finished;
};

RunHooks& runHooks() {
    static RunHooks hooks;
    return hooks;
}

dlgVarnel::~dlgVarnel() {
    if (!m_run) return;
    // A window closed during a run stops it and waits only for the worker to notice.
    m_run->window = nullptr;
    m_run->stop = true;
    m_run->finished.get_future().wait_for(kCloseWait);
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
    } catch (const std::bad_alloc&) {
        run->failure = "not enough memory for this calculation";
    } catch (const std::exception& error) {
        run->failure = error.what();
    } catch (...) {
        run->failure = "unknown error";
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
    m_status->SetLabel("Reading the fields...");
    m_breakdown->clear();
    // Progress crosses to the UI thread as deferred calls; the window may be gone by then.
    auto toWindow = [](const std::shared_ptr<Run>& run, bool done) {
        if (!done) {
            run->checked.request.progress = [run = std::weak_ptr<Run>(run)](int step) {
                wxTheApp->CallAfter([run, step] {
                    if (auto alive = run.lock(); alive && alive->window)
                        alive->window->showProgress(alive->number, step);
                });
            };
        }
        wxTheApp->CallAfter([run, done] {
            if (!run->window) return;
            if (done)
                run->window->finishRun(*run);
            else
                run->window->showRunStart(*run);
        });
        if (done) run->finished.set_value();
    };
    try {
        runHooks().startWorker(
            [run, calculate = runHooks().calculate, toWindow] { work(run, calculate, toWindow); });
    } catch (const std::exception& error) {
        run->failure = error.what();
        finishRun(*run);
        reportToUser(L"The calculation could not be started: " +
                     wxString::FromUTF8(error.what()).ToStdWstring());
    }
}

void dlgVarnel::OnStop(wxCommandEvent&) {
    if (m_run) m_run->stop = true;
}

void dlgVarnel::showRunStart(const Run& run) {
    if (run.number != m_runNumber || !m_running) return;
    m_gridResults->showPlayers(run.checked.players, run.checked.request.hiLo);
    m_status->SetLabel("Calculating...");
    layoutResults();
}

void dlgVarnel::finishRun(const Run& run) {
    if (run.number != m_runNumber || !m_running) return;
    m_running = false;
    m_run.reset();
    m_butOk->Enable();
    m_butStop->Disable();
    m_gauge->SetValue(kGaugeRange);
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
    m_gridResults->showResult(result, run.checked.request.hiLo);
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
    const CalculationRequest& fields = run.input.fields;
    auto field = [&](const wchar_t* key) {
        auto it = fields.find(key);
        return it == fields.end() ? wxString("-") : wide(it->second);
    };
    wxString line = "Calculation: game " + wide(run.input.game) + "; board 1 " + field(L"B1") +
                    "; board 2 " + field(L"B2") + "; dead " + field(L"D");
    const auto& players = run.checked.players;
    for (std::size_t p = 0; p < players.size(); ++p) {
        line += "; " + wide(players[p].key) + " '" + wide(players[p].text) + "' " +
                percentText(run.result.players[p].equity);
    }
    line += wxString::Format("; mode %s; deals %lld; seconds %.3f; ended %s",
                             std::string(modeText(run.result.mode)),
                             static_cast<long long>(run.result.deals), run.result.seconds,
                             std::string(runEndText(run.result.end)));
    m_settings.logLine(line.utf8_string());
}

void dlgVarnel::showResultColumns() {
    m_gridResults->showColumns(isHiLoGame(m_settings.m_gameName));
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
