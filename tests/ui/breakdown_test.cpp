// The breakdown window: opened from a result row (button and context menu) on that run's request,
// its figures shown in the graph, the class table and the next-card grid, progress, Stop and
// closing during the work. The computation is a fake unless a test says otherwise.

#include <wx/listctrl.h>
#include <wx/weakref.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "tests/ui/gui_fixture.h"
#include "ui/class_table.h"
#include "ui/equity_graph.h"
#include "ui/next_card_grid.h"

namespace varnel::test {
namespace {

HandEquity hand(const wchar_t* codes, double equity, std::int64_t outcomes = 100) {
    return {.hand = cards(codes), .equity = equity, .outcomes = outcomes};
}

// An exact two-player result: 60% against 40% over 1,000 outcomes.
EquityResult exactResult() {
    EquityResult r;
    r.mode = EquityMode::Exact;
    r.deals = 1000;
    r.playerCount = 2;
    r.players[0].equity = 0.6;
    r.players[1].equity = 0.4;
    return r;
}

class BreakdownTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        runHooks().startWorker = [](std::function<void()> work) { work(); };
        runHooks().calculate = [](const EquityRequest& request) {
            EquityResult r = exactResult();
            if (request.stop->load()) r.end = RunEnd::Stopped;
            return r;
        };
        breakdownHooks().startWorker = [](std::function<void()> work) { work(); };
        breakdownHooks().compute = [this](const EquityRequest& request, int hero) {
            ++m_calls;
            m_request = request;
            m_hero = hero;
            for (int step : {10, 60}) request.progress(step);
            if (m_during) m_during();
            BreakdownFigures f = m_figures;
            if (request.stop->load()) f.breakdown.result.end = RunEnd::Stopped;
            return f;
        };
        Breakdown& b = m_figures.breakdown;
        b.result = exactResult();
        b.hands = {hand(L"AsAdKsKd", 0.5), hand(L"AhAcKhKc", 0.9), hand(L"AsAhKsKh", 0, 0)};
        b.opponentHands = {hand(L"QsQdJsJd", 0.3), hand(L"QhQcJhJc", 0.45)};
        m_figures.classes = {{"two pair", 2, 2.0 / 3, 0.7},
                             {"set", 1, 1.0 / 3, 0.9},
                             {"nut flush draw", 1, 1.0 / 3, 0.5}};
        m_figures.cards.cards = {
            {.card = cardIdFromCode(L"2c"), .outcomes = 40, .weight = 0.4, .equity = {0.8, 0.2}},
            {.card = cardIdFromCode(L"Ts"), .outcomes = 60, .weight = 0.6, .equity = {0.45, 0.55}}};
    }
    void TearDown() override {
        runHooks() = RunHooks{};
        breakdownHooks() = BreakdownHooks{};
        GuiTest::TearDown();
    }
    void runSpot() {
        m_window->fieldRow("B1").text->ChangeValue("Kh7c2d");
        m_window->fieldRow("P 1").text->ChangeValue("AA");
        m_window->fieldRow("P 2").text->ChangeValue("QsQdJsJd,QhQcJhJc");
        click(m_window->startButton());
        settle();
    }
    dlgBreakdown* openRow(int row) {
        dlgBreakdown* window = m_window->breakdown()->open(row);
        settle();
        return window;
    }

    BreakdownFigures m_figures;
    int m_calls = 0, m_hero = -1;
    EquityRequest m_request;
    std::function<void()> m_during;
};

TEST_F(BreakdownTest, OpensFromAResultRowOnThatRunsRequest) {
    wxButton* button = m_window->breakdown()->button();
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_EQ(m_window->breakdown()->open(0), nullptr);
    runSpot();
    EXPECT_TRUE(button->IsEnabled());
    EXPECT_EQ(m_window->breakdown()->open(2), nullptr);  // no third player

    // The context menu of row 2 (P 2): the opponent becomes the hero.
    std::unique_ptr<wxMenu> menu = m_window->breakdown()->rowMenu(1);
    ASSERT_EQ(menu->GetMenuItemCount(), 1u);
    EXPECT_EQ(menu->FindItem(kBreakdownMenuId)->GetItemLabelText(), "Breakdown");
    EXPECT_TRUE(menu->SendEvent(kBreakdownMenuId));
    settle();
    EXPECT_EQ(m_calls, 1);
    EXPECT_EQ(m_hero, 1);
    EXPECT_EQ(m_request.boards[0], cards(L"Kh7c2d"));
    EXPECT_EQ(m_request.lists[1].hands.size(), 2u);
    EXPECT_EQ(m_request.playerCount, 2);

    // The button breaks down the row of the grid's cursor.
    m_window->results()->SetGridCursor(0, 0);
    click(button);
    settle();
    EXPECT_EQ(m_calls, 2);
    EXPECT_EQ(m_hero, 0);

    // A new run disables the action until it has shown its figures.
    runHooks().calculate = [](const EquityRequest&) -> EquityResult {
        throw std::runtime_error("engine failure");
    };
    click(m_window->startButton());
    settle();
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_FALSE(m_window->breakdown()->rowMenu(0)->IsEnabled(kBreakdownMenuId));
}

TEST_F(BreakdownTest, ShowsTheGraphTheClassesAndTheNextCards) {
    runSpot();
    dlgBreakdown* window = openRow(0);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->running());
    EXPECT_EQ(window->gauge()->GetValue(), 100);
    EXPECT_FALSE(window->stopButton()->IsEnabled());
    EXPECT_TRUE(window->saveButton()->IsEnabled());
    EXPECT_EQ(window->status()->GetLabel(),
              "Mode: exact    Live hands: 2 of 3    Deals: 1,000    Seconds: 0.00    Ended: "
              "finished");

    // Live hands only, best first; the opponent's curve second.
    const std::vector<EquityCurve>& curves = window->graph()->curves();
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves[0].label, "P 1 AA (2 hands)");
    EXPECT_EQ(curves[0].equities, (std::vector<double>{0.9, 0.5}));
    EXPECT_EQ(curves[0].aggregate, 0.6);
    EXPECT_EQ(curves[1].label, "P 2 QsQdJsJd,QhQcJhJc (2 hands)");
    EXPECT_EQ(curves[1].equities, (std::vector<double>{0.45, 0.3}));

    // Classes in the engine's order, then sorted by a click on a column header.
    ClassTable& table = *window->classTable();
    auto names = [&] {
        std::vector<wxString> shown;
        for (long row = 0; row < table.GetItemCount(); ++row)
            shown.push_back(table.GetItemText(row));
        return shown;
    };
    auto clickHeader = [&](int column) {
        wxListEvent event(wxEVT_LIST_COL_CLICK, table.GetId());
        event.SetEventObject(&table);
        event.m_col = column;
        table.HandleWindowEvent(event);
    };
    EXPECT_EQ(names(), (std::vector<wxString>{"two pair", "set", "nut flush draw"}));
    EXPECT_EQ(table.GetItemText(0, ClassTable::kShareCol), "66.67%");
    EXPECT_EQ(table.GetItemText(2, ClassTable::kEquityCol), "50.00%");
    clickHeader(ClassTable::kEquityCol);
    EXPECT_EQ(names(), (std::vector<wxString>{"set", "two pair", "nut flush draw"}));
    clickHeader(ClassTable::kEquityCol);
    EXPECT_EQ(names(), (std::vector<wxString>{"nut flush draw", "two pair", "set"}));
    clickHeader(ClassTable::kShareCol);  // ties keep their order
    EXPECT_EQ(names(), (std::vector<wxString>{"two pair", "nut flush draw", "set"}));
    clickHeader(ClassTable::kClassCol);
    EXPECT_EQ(names(), (std::vector<wxString>{"two pair", "set", "nut flush draw"}));

    // The next card: green where the hero gains, red where it loses, blank where none comes.
    NextCardGrid& grid = *window->cardGrid();
    const CardId deuce = cardIdFromCode(L"2c"), ten = cardIdFromCode(L"Ts");
    const wxColour better = grid.cellColour(deuce), worse = grid.cellColour(ten);
    EXPECT_GT(better.Green(), better.Red());
    EXPECT_GT(worse.Red(), worse.Green());
    EXPECT_EQ(grid.cellColour(cardIdFromCode(L"Kh")), *wxWHITE);
    EXPECT_EQ(grid.describe(cardIdFromCode(L"Kh")), "");
    for (CardId c : {deuce, ten, cardIdFromCode(L"As"), cardIdFromCode(L"3d")}) {
        const wxRect r = grid.cellRect(c);
        EXPECT_EQ(grid.cardAt(r.GetTopLeft()), c);
        EXPECT_EQ(grid.cardAt(r.GetBottomRight()), c);
    }
    EXPECT_EQ(grid.cardAt(wxPoint(1, 1)), kNoCard);
    wxMouseEvent motion(wxEVT_MOTION);
    motion.SetPosition(grid.cellRect(ten).GetTopLeft() + wxPoint(3, 3));
    grid.HandleWindowEvent(motion);
    EXPECT_EQ(window->hoverLabel()->GetLabel(),
              "Ts comes (60.00% of outcomes, 60 outcomes): P 1 45.00%, P 2 55.00%");
}

TEST_F(BreakdownTest, ProgressAndStopWhileItComputes) {
    runSpot();
    std::vector<int> gauge;
    bool stopEnabled = false;
    dlgBreakdown* window = nullptr;
    // The window is not known before its constructor returns: read it through the top windows.
    m_during = [&] {
        settle();
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* b = dynamic_cast<dlgBreakdown*>(w)) window = b;
        ASSERT_NE(window, nullptr);
        gauge.push_back(window->gauge()->GetValue());
        stopEnabled = window->stopButton()->IsEnabled();
        click(window->stopButton());
    };
    openRow(0);
    EXPECT_EQ(gauge, std::vector<int>{60});
    EXPECT_TRUE(stopEnabled);
    EXPECT_TRUE(m_request.stop->load());
    EXPECT_TRUE(
        window->status()->GetLabel().EndsWith("Ended: stopped (the hands counted before Stop)"));
    EXPECT_EQ(window->graph()->curves().size(), 2u);
}

// A real worker thread: closing the window raises its flag and returns without waiting.
TEST_F(BreakdownTest, ClosingDuringTheWorkStopsItAndReturnsAtOnce) {
    runSpot();
    breakdownHooks().startWorker = BreakdownHooks{}.startWorker;
    std::atomic<bool> started{false}, finished{false};
    breakdownHooks().compute = [&](const EquityRequest& request, int) {
        started = true;
        while (!request.stop->load()) std::this_thread::yield();
        finished = true;
        return BreakdownFigures{};
    };
    wxWeakRef<dlgBreakdown> window(m_window->breakdown()->open(0));
    ASSERT_TRUE(settleUntil([&] { return started.load(); }, "the worker to start"));
    EXPECT_TRUE(window->running());
    window->Close();
    settle();
    EXPECT_FALSE(window);
    EXPECT_TRUE(settleUntil([&] { return finished.load(); }, "the worker to notice the flag"));
    settle();  // its deferred call finds no window
}

TEST_F(BreakdownTest, FailuresAndBoardsWithoutClassesAreSaid) {
    runSpot();
    m_figures.breakdown.result.end = RunEnd::Rejected;
    m_figures.breakdown.result.reason = "too large";
    dlgBreakdown* window = openRow(0);
    EXPECT_EQ(window->status()->GetLabel(), "The engine refused the breakdown: too large");
    EXPECT_TRUE(window->graph()->curves().empty());
    breakdownHooks().compute = [](const EquityRequest&, int) -> BreakdownFigures {
        throw std::runtime_error("broken");
    };
    EXPECT_EQ(openRow(1)->status()->GetLabel(), "The breakdown failed: broken");

    // On the river no class and no next card.
    breakdownHooks().compute = [this](const EquityRequest&, int) { return m_figures; };
    m_figures.breakdown.result.end = RunEnd::Finished;
    m_window->fieldRow("B1").text->ChangeValue("Kh7c2d5s3h");
    click(m_window->startButton());
    settle();
    window = openRow(0);
    EXPECT_EQ(window->classTable()->GetItemText(0), "Classes need a flop or a turn on B1");
}

// The default computation on its worker: a turn spot small enough for any engine.
TEST_F(BreakdownTest, TheEngineFillsTheWindowOnATurn) {
    breakdownHooks() = BreakdownHooks{};
    m_window->fieldRow("B1").text->ChangeValue("Kh7c2d5s");
    m_window->fieldRow("P 1").text->ChangeValue("AsAdKsKd");
    m_window->fieldRow("P 2").text->ChangeValue("QsQdJsJd,QhQcJhJc");
    click(m_window->startButton());
    settle();
    dlgBreakdown* window = m_window->breakdown()->open(1);
    ASSERT_TRUE(settleUntil([&] { return !window->running(); }, "the breakdown to end"));
    // P 1 holds one hand, not a range: no curve of its own.
    ASSERT_EQ(window->graph()->curves().size(), 1u);
    EXPECT_EQ(window->graph()->curves()[0].equities.size(), 2u);
    EXPECT_TRUE(window->status()->GetLabel().EndsWith("Ended: finished"))
        << window->status()->GetLabel();
    // Every card off the board and out of P 1's hand can come (one hand of P 2 avoids it), and
    // the cards' weighted equities average back to P 2's equity.
    NextCardGrid& grid = *window->cardGrid();
    int cards = 0;
    for (CardId c = 0; c < kDeckSize; ++c) cards += grid.describe(c).empty() ? 0 : 1;
    EXPECT_EQ(cards, 44);
    EXPECT_EQ(grid.describe(cardIdFromCode(L"As")), "");
    double mean = 0;
    for (const NextCard& c : grid.cards().cards) mean += c.weight * c.equity[1];
    EXPECT_NEAR(mean, window->graph()->curves()[0].aggregate, 1e-9);
}

TEST(EquityGraph, SavesTheDrawingAsPngWithTheCurvesWhereTheyBelong) {
    TempDir dir;
    auto* frame = new wxFrame(nullptr, wxID_ANY, "graph");
    auto* graph = new EquityGraph(frame);
    const wxColour blue(0, 0, 255);
    graph->setCurves({{"P 1", {0.6, 0.2}, 0.4, blue}});
    const wxString path = (dir.path() / "graph.png").string();
    ASSERT_TRUE(graph->savePng(path, wxSize(600, 400)));
    wxImage image;
    ASSERT_TRUE(image.LoadFile(path, wxBITMAP_TYPE_PNG));
    EXPECT_EQ(image.GetSize(), wxSize(600, 400));
    const wxRect2DDouble plot = EquityGraph::plotArea(wxSize(600, 400));
    auto blueAt = [&](double share, double equity) {
        const int x = int(plot.m_x + share * plot.m_width),
                  y = int(plot.m_y + (1 - equity) * plot.m_height);
        return image.GetBlue(x, y) > 200 && image.GetRed(x, y) < 120;
    };
    EXPECT_TRUE(blueAt(0.25, 0.6));
    EXPECT_TRUE(blueAt(0.75, 0.2));
    EXPECT_FALSE(blueAt(0.75, 0.6));
    EXPECT_FALSE(blueAt(0.25, 0.2));
    EXPECT_FALSE(graph->savePng((dir.path() / "missing" / "graph.png").string()));
    frame->Destroy();
}

}  // namespace
}  // namespace varnel::test
