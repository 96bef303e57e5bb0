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

enum Column { kPlayerCol, kTextCol, kEquityCol, kWinCol, kTieCol, kErrorCol, kHighCol };
const char* const kColumnLabels[] = {"Player", "Hand / range", "Equity", "Win",  "Tie",
                                     "+/-",    "High",         "Low",    "Scoop"};
constexpr int kHighColumns = kHighCol;
constexpr int kHiLoColumns = static_cast<int>(std::size(kColumnLabels));

wxString wide(const std::wstring& text) {
    return wxString(text);
}

wxString narrowText(const std::string& text) {
    return wxString::FromUTF8(text);
}

// Adds or removes rows and columns at the end until the grid has the given counts.
void resizeGrid(wxGrid& grid, int rows, int cols) {
    if (grid.GetNumberRows() < rows) grid.AppendRows(rows - grid.GetNumberRows());
    if (grid.GetNumberRows() > rows) grid.DeleteRows(rows, grid.GetNumberRows() - rows);
    if (grid.GetNumberCols() < cols) grid.AppendCols(cols - grid.GetNumberCols());
    if (grid.GetNumberCols() > cols) grid.DeleteCols(cols, grid.GetNumberCols() - cols);
    for (int c = 0; c < cols; ++c) grid.SetColLabelValue(c, kColumnLabels[c]);
}

}  // namespace

// One calculation, shared by the window and its worker. The worker writes the result and the
// failure, then fulfils `finished`; the window reads them in the deferred call that follows.
struct dlgVarnel::Run {
    unsigned number = 0;
    dlgVarnel* window = nullptr;  // nullptr once the window is gone; UI thread only
    EquityRequest request;
    std::vector<PlayerReading> players;
    wxString game;
    CalculationRequest inputs;
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

bool dlgVarnel::prepareRun(const PreparedCalculation& prepared) {
    std::vector<std::wstring> refused;
    for (const char* key : {"B1", "B2"}) {
        const wxString text = m_fieldCtrls.at(key)->GetValue();
        CardMask board = 0;
        if (text.empty()) continue;
        const int cards = parseCardRun(text.ToStdWstring(), board) ? cardCount(board) : 0;
        if (cards < kMinFixedBoardCards || cards > kBoardCards)
            refused.push_back(
                wxString::Format("%s: '%s' is not a board of 3 to 5 different cards", key, text)
                    .ToStdWstring());
    }
    const wxString dead = m_fieldCtrls.at("D")->GetValue();
    CardMask deadCards = 0;
    if (!dead.empty() && !parseCardRun(dead.ToStdWstring(), deadCards))
        refused.push_back(L"D: '" + dead.ToStdWstring() + L"' is not a list of different cards");
    for (std::size_t p = 0; p < prepared.diagnostics.players.size(); ++p) {
        const PlayerReading& player = prepared.diagnostics.players[p];
        if (player.random) continue;
        const auto& hands = prepared.lists[p].hands;
        const bool fits = std::any_of(hands.begin(), hands.end(), [&](CardMask hand) {
            return cardCount(hand) <= prepared.holeCount;
        });
        if (player.hands > 0 && fits) continue;
        refused.push_back(
            player.key + L": '" + player.text + L"' " +
            (player.hands < 0 ? L"is not a valid range" : L"names no hand of this game"));
    }
    if (prepared.playerCount < 2) refused.push_back(L"Fill at least two player fields.");
    if (refused.empty()) return true;
    std::wstring message;
    for (const std::wstring& line : refused) message += (message.empty() ? L"" : L"\n") + line;
    reportToUser(message);
    return false;
}

void dlgVarnel::OnButOkClick(wxCommandEvent&) {
    if (m_running) return;
    // The file may have been put in place since the window opened.
    if (!attachEvaluatorTable()) {
        reportToUser(std::wstring(kTableMissing) +
                     L"\nWithout the evaluator table no equity can be calculated.");
        return;
    }
    m_inputs.clear();
    for (const auto& [name, ctrl] : m_fieldCtrls) {
        const wxString text = ctrl->GetValue();
        if (!text.empty()) m_inputs[name.ToStdWstring()] = text.ToStdWstring();
    }
    const AppSettings& settings = appSettings();
    m_holeCards = settings.m_holeCards;
    PreparedCalculation prepared = readCalculationRequest(m_inputs, m_holeCards);
    if (!prepareRun(prepared)) return;

    auto run = std::make_shared<Run>();
    run->number = ++m_runNumber;
    run->window = this;
    run->players = prepared.diagnostics.players;
    run->game = m_gameName;
    run->inputs = m_inputs;
    EquityRequest& request = run->request;
    request.holeCount = prepared.holeCount;
    request.playerCount = static_cast<int>(prepared.playerCount);
    request.lists = std::move(prepared.lists);
    request.boards = prepared.boards;
    request.deadCards = prepared.deadCards;
    request.mode = settings.m_mode;
    request.hiLo = isHiLoGame(m_gameName.ToStdWstring());
    request.rounds = settings.m_rounds;
    request.seconds = settings.m_seconds;
    request.precision = settings.m_precision;
    request.pause = std::chrono::milliseconds(settings.m_pauseMs);
    request.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    request.stop = &run->stop;
    // Progress crosses to the UI thread as deferred calls; the window may be gone by then.
    request.progress = [run = std::weak_ptr<Run>(run)](int step) {
        wxTheApp->CallAfter([run, step] {
            if (auto alive = run.lock(); alive && alive->window)
                alive->window->showProgress(alive->number, step);
        });
    };

    showRunStart(prepared, request.hiLo);
    m_run = run;
    m_running = true;
    m_gauge->SetValue(0);
    m_butOk->Disable();
    m_butStop->Enable();
    try {
        runHooks().startWorker([run, calculate = runHooks().calculate] {
            try {
                run->result = calculate(run->request);
            } catch (const std::exception& error) {
                run->failure = error.what();
            } catch (...) {
                run->failure = "unknown error";
            }
            wxTheApp->CallAfter([run] {
                if (run->window) run->window->finishRun(*run);
            });
            run->finished.set_value();
        });
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

void dlgVarnel::showRunStart(const PreparedCalculation& prepared, bool hiLo) {
    const auto& players = prepared.diagnostics.players;
    resizeGrid(*m_gridResults, static_cast<int>(players.size()),
               hiLo ? kHiLoColumns : kHighColumns);
    for (int row = 0; row < static_cast<int>(players.size()); ++row) {
        for (int col = 0; col < m_gridResults->GetNumberCols(); ++col)
            m_gridResults->SetCellValue(row, col, wxEmptyString);
        m_gridResults->SetCellValue(row, kPlayerCol, wide(players[row].key));
        m_gridResults->SetCellValue(row, kTextCol, wide(players[row].text));
    }
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
    const bool counted = result.deals > 0;
    for (int row = 0; counted && row < static_cast<int>(run.players.size()); ++row) {
        const PlayerEquity& player = result.players[row];
        std::vector<std::string> cells = {percentText(player.equity), percentText(player.win),
                                          percentText(player.tie), precisionText(result, player)};
        if (run.request.hiLo) {
            for (double share : {player.high, player.low, player.scoop})
                cells.push_back(percentText(share));
        }
        for (std::size_t c = 0; c < cells.size(); ++c)
            m_gridResults->SetCellValue(row, kEquityCol + static_cast<int>(c), cells[c]);
    }
    m_status->SetLabel(wxString::Format(
        "Mode: %s    Deals: %lld    Seconds: %.2f    Ended: %s", std::string(modeText(result.mode)),
        static_cast<long long>(result.deals), result.seconds, std::string(runEndText(result.end))));
    layoutResults();
    logRun(run);
}

void dlgVarnel::logRun(const Run& run) const {
    auto field = [&](const wchar_t* key) {
        auto it = run.inputs.find(key);
        return it == run.inputs.end() ? wxString("-") : wide(it->second);
    };
    wxString line = "Calculation: game " + run.game + "; board 1 " + field(L"B1") + "; board 2 " +
                    field(L"B2") + "; dead " + field(L"D");
    for (std::size_t p = 0; p < run.players.size(); ++p) {
        line += "; " + wide(run.players[p].key) + " '" + wide(run.players[p].text) + "' " +
                percentText(run.result.players[p].equity);
    }
    line += wxString::Format("; mode %s; deals %lld; seconds %.3f; ended %s",
                             std::string(modeText(run.result.mode)),
                             static_cast<long long>(run.result.deals), run.result.seconds,
                             std::string(runEndText(run.result.end)));
    appSettings().logLine(line.utf8_string());
}

void dlgVarnel::showResultColumns() {
    resizeGrid(*m_gridResults, m_gridResults->GetNumberRows(),
               isHiLoGame(m_gameName.ToStdWstring()) ? kHiLoColumns : kHighColumns);
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
