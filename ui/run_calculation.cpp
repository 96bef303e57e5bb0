// "Start": runs one calculation on a worker thread while the window stays responsive, then writes
// each player's equity into the results grid.

#include <wx/app.h>
#include <wx/utils.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ui/app_settings.h"
#include "ui/dlg_varnel.h"
#include "ui/message_box.h"

namespace varnel {
namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(10);
constexpr int kGaugeRange = 100;

// What one run shares with its worker thread. The worker holds its own reference, so the state
// outlives the handler if the handler ever stops waiting.
struct RunState {
    std::int32_t rounds = 0;
    std::int32_t seconds = 0;
    std::int32_t holeCards = 0;
    CalculationRequest request;
    std::uint32_t playerCount = 0;
    std::array<double, kMaxPlayers> equities{};
    std::int32_t result = 0;
    // Fulfilled by runCalculation once the equities are written.
    std::promise<void> calculated;
    // Fulfilled by the worker after it has stored the result: the only signal the UI waits on.
    std::promise<void> finished;
};

bool isPlayerKey(const std::wstring& key) {
    return !key.empty() && key[0] == L'P';
}

// "%.2lf%%" of the equity in percent.
wxString formatEquity(double equity) {
    const double percent = equity * 100.0;
    const int length = std::snprintf(nullptr, 0, "%.2lf%%", percent);
    if (length < 0) throw std::runtime_error("Error during formatting.");
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    if (std::snprintf(text.data(), text.size(), "%.2lf%%", percent) != length)
        throw std::runtime_error("Error during formatting.");
    return wxString::FromUTF8(text.data(), static_cast<std::size_t>(length));
}

}  // namespace

RunHooks& runHooks() {
    static RunHooks hooks;
    return hooks;
}

void dlgVarnel::OnButOkClick(wxCommandEvent&) {
    if (m_running) return;
    // The file may have been put in place since the window opened.
    if (!attachEvaluatorTable()) {
        reportToUser(std::wstring(kTableMissing) +
                     L"\nWithout the evaluator table no equity can be calculated.");
        return;
    }
    auto state = std::make_shared<RunState>();
    state->rounds = appSettings().m_rounds;
    state->seconds = appSettings().m_seconds;

    m_inputs.clear();
    for (const auto& [name, ctrl] : m_fieldCtrls) {
        const wxString text = ctrl->GetValue();
        if (!text.empty()) m_inputs[name.ToStdWstring()] = text.ToStdWstring();
    }
    m_holeCards = appSettings().m_holeCards;
    state->holeCards = m_holeCards;
    state->request = m_inputs;

    m_running = true;
    const unsigned run = ++m_runNumber;
    m_gauge->SetValue(0);
    m_butOk->Disable();
    wxBeginBusyCursor();

    // Whatever happens below, the window returns to its idle state.
    struct Idle {
        dlgVarnel* window;
        ~Idle() {
            window->m_gridResults->Update();
            wxEndBusyCursor();
            window->m_gauge->SetValue(kGaugeRange);
            window->m_butOk->Enable();
            window->m_running = false;
            if (window->m_closeRequested) window->Destroy();
        }
    } idle{this};

    // First pass: the names of the filled player fields, equities still empty. The grid grows
    // to hold every player.
    int rows = 0;
    for (const auto& entry : m_inputs)
        if (isPlayerKey(entry.first)) ++rows;
    if (rows > m_gridResults->GetNumberRows())
        m_gridResults->AppendRows(rows - m_gridResults->GetNumberRows());
    int row = 0;
    for (const auto& entry : m_inputs) {
        if (!isPlayerKey(entry.first)) continue;
        m_gridResults->SetCellValue(row, 0, entry.first);
        m_gridResults->SetCellValue(row, 1, wxEmptyString);
        ++row;
    }
    m_gridResults->Update();

    // Progress reaches the gauge as deferred calls on the UI thread. The window outlives the run
    // (closing it during a run only hides it), and calls of an earlier run are ignored.
    ProgressCallback progress = [this, run](int step) {
        CallAfter([this, run, step] { showProgress(run, step); });
    };
    std::future<void> finished = state->finished.get_future();
    try {
        runHooks().startWorker([state, progress, calculate = runHooks().calculate] {
            try {
                state->result = calculate(state->rounds, state->seconds, state->request,
                                          state->holeCards, state->playerCount,
                                          state->equities.data(), progress, &state->calculated);
            } catch (...) {
                state->result = 0;
            }
            state->finished.set_value();
        });
    } catch (const std::exception& error) {
        reportToUser(L"The calculation could not be started: " +
                     wxString::FromUTF8(error.what()).ToStdWstring());
        return;
    }

    while (finished.wait_for(kWaitSlice) == std::future_status::timeout) wxTheApp->Yield(false);

    if (state->result == 0) return;
    const int shown = std::min<int>(
        {static_cast<int>(state->playerCount), kMaxPlayers, m_gridResults->GetNumberRows()});
    auto key = m_inputs.begin();
    for (int i = 0; i < shown; ++i) {
        while (key != m_inputs.end() && !isPlayerKey(key->first)) ++key;
        if (key == m_inputs.end()) break;
        m_gridResults->SetCellValue(i, 0, key->first);
        m_gridResults->SetCellValue(i, 1, formatEquity(state->equities[i]));
        ++key;
    }
}

void dlgVarnel::showProgress(unsigned run, int step) {
    if (!m_running || run != m_runNumber) return;
    m_gauge->SetValue(std::clamp(step, 0, kGaugeRange));
}

void dlgVarnel::OnClose(wxCloseEvent& event) {
    if (m_running) {
        // The handler of the run is still on the stack and the worker still reports to this
        // window: hide it now and destroy it once the run has ended.
        m_closeRequested = true;
        Hide();
        return;
    }
    event.Skip();
}

}  // namespace varnel
