// The breakdown window: its layout, the worker that computes the figures and the way they come
// back. The worker holds the computation's state (request, stop flag, figures) through a shared
// pointer, so a window closed during the work only raises the flag and lets go: the worker
// finishes on its own and its deferred call finds no window.

#include "ui/dlg_breakdown.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <future>

#include "engine/request.h"
#include "ui/class_table.h"
#include "ui/equity_graph.h"
#include "ui/message_box.h"
#include "ui/next_card_grid.h"

namespace varnel {
namespace {

constexpr int kGaugeRange = kProgressSteps;
// How long a program that is closing waits for a stopped worker.
constexpr auto kExitWait = std::chrono::seconds(3);
const wxColour kHeroColour(31, 100, 180), kOpponentColour(225, 110, 20);

bool flopOrTurn(CardMask board) {
    return cardCount(board) == 3 || cardCount(board) == 4;
}

// "P 1 AA:xxyy": a player's field and text.
wxString playerText(const PlayerField& player) {
    return wxString(player.key) + " " + wxString(player.text);
}

std::int64_t liveHands(const std::vector<HandEquity>& hands) {
    return std::count_if(hands.begin(), hands.end(),
                         [](const HandEquity& h) { return h.outcomes > 0; });
}

}  // namespace

BreakdownFigures computeBreakdownFigures(const EquityRequest& request, int hero) {
    BreakdownFigures figures;
    const bool nextCards = flopOrTurn(request.boards[0]);
    // The breakdown takes the first half of the progress when the next cards follow it.
    EquityRequest part = request;
    if (request.progress && nextCards)
        part.progress = [&request](int step) { request.progress(step / 2); };
    figures.breakdown = computeBreakdown(part, hero);
    const RunEnd end = figures.breakdown.result.end;
    if (!nextCards || end == RunEnd::Stopped || end == RunEnd::Rejected ||
        end == RunEnd::NoValidDeal || end == RunEnd::NoTable)
        return figures;
    figures.classes = classShares(figures.breakdown, request.boards[0], request.holeCount);
    if (request.progress)
        part.progress = [&request](int step) { request.progress(kProgressSteps / 2 + step / 2); };
    figures.cards = computeNextCards(part);
    return figures;
}

BreakdownHooks& breakdownHooks() {
    static BreakdownHooks hooks;
    return hooks;
}

struct dlgBreakdown::Work {
    dlgBreakdown* window = nullptr;  // nullptr once the window is gone; UI thread only
    EquityRequest request;
    int hero = 0;
    std::atomic<bool> stop{false};
    BreakdownFigures figures;
    std::string failure;  // what the computation threw, if it did
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
};

dlgBreakdown::dlgBreakdown(wxWindow* parent, BreakdownSubject subject)
    : wxFrame(parent, wxID_ANY, "Breakdown", wxDefaultPosition, wxSize(1000, 780)),
      m_subject(std::move(subject)) {
    const std::vector<PlayerField>& players = m_subject.players;
    const int hero = m_subject.hero;
    wxString heading = playerText(players.at(hero));
    wxString against;
    for (std::size_t p = 0; p < players.size(); ++p)
        if (int(p) != hero) against += (against.empty() ? "" : ", ") + playerText(players[p]);
    heading += " against " + against;
    m_title = "Breakdown - " + wxString(players.at(hero).key) + " - " + wxString(m_subject.game);
    heading += "    " + wxString(m_subject.game) + ", board " +
               (m_subject.board.empty() ? wxString("none") : wxString(m_subject.board));

    auto* panel = new wxPanel(this);
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* title = new wxStaticText(panel, wxID_ANY, heading);
    title->SetFont(title->GetFont().Bold());
    top->Add(title, 0, wxEXPAND | wxALL, 8);

    auto* controls = new wxBoxSizer(wxHORIZONTAL);
    m_stop = new wxButton(panel, wxID_ANY, "Stop");
    m_gauge = new wxGauge(panel, wxID_ANY, kGaugeRange);
    m_save = new wxButton(panel, wxID_ANY, "Save graph as PNG...");
    controls->Add(m_stop, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    controls->Add(m_gauge, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    controls->Add(m_save, 0, wxALIGN_CENTER_VERTICAL);
    top->Add(controls, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    m_status = new wxStaticText(panel, wxID_ANY, "Computing...");
    top->Add(m_status, 0, wxEXPAND | wxALL, 8);

    auto* graphBox = new wxStaticBoxSizer(wxVERTICAL, panel, "Equity distribution");
    m_graph = new EquityGraph(graphBox->GetStaticBox());
    graphBox->Add(m_graph, 1, wxEXPAND | wxALL, 4);
    top->Add(graphBox, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);

    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    auto* classBox = new wxStaticBoxSizer(wxVERTICAL, panel, "Hand classes on the board");
    m_classes = new ClassTable(classBox->GetStaticBox());
    classBox->Add(m_classes, 1, wxEXPAND | wxALL, 4);
    bottom->Add(classBox, 1, wxEXPAND | wxRIGHT, 8);
    auto* cardBox = new wxStaticBoxSizer(wxVERTICAL, panel, "Next card");
    m_cards = new NextCardGrid(cardBox->GetStaticBox());
    cardBox->Add(m_cards, 1, wxEXPAND | wxALL, 4);
    auto* legend = new wxStaticText(cardBox->GetStaticBox(), wxID_ANY,
                                    wxString(players.at(hero).key) +
                                        "'s equity when the card comes: green above the equity "
                                        "now,\nred below, deeper the farther; blank: cannot come.");
    cardBox->Add(legend, 0, wxLEFT | wxRIGHT, 4);
    // Many players make a long text: the tooltip shows it whole.
    m_hover =
        new wxStaticText(cardBox->GetStaticBox(), wxID_ANY, "Point at a card for its figures.",
                         wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    cardBox->Add(m_hover, 0, wxEXPAND | wxALL, 4);
    m_cards->onHover([this](const wxString& text) {
        m_hover->SetLabel(text.empty() ? wxString("Point at a card for its figures.") : text);
    });
    bottom->Add(cardBox, 0, wxEXPAND);
    top->Add(bottom, 0, wxEXPAND | wxALL, 8);

    panel->SetSizer(top);
    const wxSize fitted = top->ComputeFittingWindowSize(this);
    SetMinSize(fitted);
    SetSize(wxSize(std::max(fitted.x, 1000), std::max(fitted.y, 780)));

    m_stop->Bind(wxEVT_BUTTON, &dlgBreakdown::OnStop, this);
    m_save->Bind(wxEVT_BUTTON, &dlgBreakdown::OnSave, this);
    Bind(wxEVT_CLOSE_WINDOW, &dlgBreakdown::OnClose, this);
    m_graph->setCurves({}, "Computing...");
    start();
}

dlgBreakdown::~dlgBreakdown() {
    // The worker keeps its state alive; it only has to notice the flag. When the main window goes
    // too, the program is ending: the worker gets a moment to leave the evaluator before the
    // process's static objects go.
    if (!m_work) return;
    m_work->window = nullptr;
    m_work->stop = true;
    if (GetParent() && GetParent()->IsBeingDeleted()) m_work->done.wait_for(kExitWait);
}

void dlgBreakdown::start() {
    auto work = std::make_shared<Work>();
    work->window = this;
    work->hero = m_subject.hero;
    work->request = m_subject.request;
    work->request.stop = &work->stop;
    work->request.progress = [weak = std::weak_ptr<Work>(work)](int step) {
        wxTheApp->CallAfter([weak, step] {
            if (auto alive = weak.lock(); alive && alive->window) alive->window->showProgress(step);
        });
    };
    m_work = work;
    m_running = true;
    SetTitle(m_title + " (computing)");
    m_stop->Enable();
    m_save->Disable();
    m_gauge->SetValue(0);
    try {
        breakdownHooks().startWorker([work, compute = breakdownHooks().compute] {
            try {
                work->figures = compute(work->request, work->hero);
            } catch (...) {
                work->failure =
                    failureText(std::current_exception(), "not enough memory for this breakdown");
            }
            wxTheApp->CallAfter([work] {
                if (work->window) work->window->showFigures(*work);
            });
            work->finished.set_value();
        });
    } catch (const std::exception& error) {
        work->failure = std::string("it could not be started: ") + error.what();
        showFigures(*work);
    }
}

void dlgBreakdown::showProgress(int step) {
    if (m_running) m_gauge->SetValue(std::clamp(step, 0, kGaugeRange));
}

void dlgBreakdown::showFigures(const Work& work) {
    m_running = false;
    m_work.reset();
    SetTitle(m_title);
    m_stop->Disable();
    m_gauge->SetValue(kGaugeRange);
    const Breakdown& b = work.figures.breakdown;
    const EquityResult& result = b.result;
    auto fail = [this](const wxString& why) {
        m_status->SetLabel(why);
        m_graph->setCurves({}, why);
        m_classes->setClasses({});
    };
    if (!work.failure.empty())
        return fail("The breakdown failed: " + wxString::FromUTF8(work.failure));
    if (result.end == RunEnd::Rejected || result.end == RunEnd::NoTable)
        return fail("The engine refused the breakdown: " +
                    wxString::FromUTF8(result.reason.empty() ? std::string(runEndText(result.end))
                                                             : result.reason));
    if (result.end == RunEnd::NoValidDeal || b.hands.empty())
        return fail("No hand of this player can be dealt with these cards.");

    const std::vector<PlayerField>& players = m_subject.players;
    const int hero = m_subject.hero;
    std::vector<EquityCurve> curves;
    auto curve = [&](int p, const std::vector<HandEquity>& hands, const wxColour& colour) {
        const std::vector<double> equities = sortedEquities(hands);
        curves.push_back({wxString::Format("%s (%s hands)", playerText(players.at(p)),
                                           wxString(groupedNumber(equities.size()))),
                          equities, result.players[p].equity, colour});
    };
    curve(hero, b.hands, kHeroColour);
    if (!b.opponentHands.empty() && players.size() == 2)
        curve(1 - hero, b.opponentHands, kOpponentColour);
    m_graph->setCurves(curves, "No live hand");

    wxString status = wxString::Format(
        "Mode: %s    Live hands: %s of %s    Deals: %s    Seconds: %.2f    Ended: %s",
        std::string(modeText(result.mode)), wxString(groupedNumber(liveHands(b.hands))),
        wxString(groupedNumber(b.hands.size())), wxString(groupedNumber(result.deals)),
        result.seconds, std::string(runEndText(result.end)));
    if (result.end == RunEnd::Stopped) status += " (the hands counted before Stop)";
    m_status->SetLabel(status);

    if (!flopOrTurn(m_subject.request.boards[0])) {
        m_classes->setClasses({}, "Classes need a flop or a turn on B1");
    } else {
        m_classes->setClasses(work.figures.classes, result.end == RunEnd::Stopped
                                                        ? "Stopped before the classes"
                                                        : "No class found");
    }
    std::vector<wxString> names;
    for (const PlayerField& p : players) names.push_back(p.key);
    m_cards->setCards(work.figures.cards, names, hero, result.players[hero].equity);
    m_save->Enable();
    Layout();
}

void dlgBreakdown::OnStop(wxCommandEvent&) {
    if (m_work) m_work->stop = true;
}

void dlgBreakdown::OnSave(wxCommandEvent&) {
    wxFileDialog dialog(this, "Save the graph", wxEmptyString, "equity-graph.png",
                        "PNG images (*.png)|*.png", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return;
    if (!m_graph->savePng(dialog.GetPath()))
        reportToUser(L"The graph could not be saved to " + dialog.GetPath().ToStdWstring());
}

void dlgBreakdown::OnClose(wxCloseEvent& event) {
    if (m_work) m_work->stop = true;
    event.Skip();
}

}  // namespace varnel
