// "Start" and "Stop": fields typed, the buttons pressed through the toolkit's events, results read
// from the grid and the status line. The engine is replaced by a fake that runs inside the click
// on the UI thread; its answer reaches the window as a deferred call. One test runs the real
// engine on its worker thread.

#include <wx/app.h>
#include <wx/weakref.h>

#include <atomic>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "eval/omaha_eval.h"
#include "tests/ui/gui_fixture.h"
#include "ui/message_box.h"
#include "ui/result_export.h"

namespace varnel::test {
namespace {

// What the fake engine was given and what it answers.
struct FakeEngine {
    int calls = 0;
    EquityRequest request;
    std::vector<int> steps;  // progress steps to report, in order
    std::vector<int> gauge;  // the gauge after each reported step has reached the window
    EquityResult result;
    std::function<void()> during;  // runs in the middle of the calculation
};

class CalculationTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        FakeEngine& f = m_engine;
        f.result.mode = EquityMode::Exact;
        f.result.deals = 1712304;
        f.result.seconds = 0.25;
        for (int p = 0; p < kMaxPlayers; ++p) f.result.players[p] = {0.1 * p, 0.05, 0.1, 0.002};
        runHooks().startWorker = [](std::function<void()> work) { work(); };
        runHooks().calculate = [this](const EquityRequest& request) {
            FakeEngine& f = m_engine;
            ++f.calls;
            f.request = request;
            for (int step : f.steps) {
                request.progress(step);
                wxTheApp->ProcessPendingEvents();
                f.gauge.push_back(m_window->gauge()->GetValue());
            }
            if (f.during) f.during();
            EquityResult result = f.result;
            result.playerCount = request.playerCount;
            if (request.stop->load()) result.end = RunEnd::Stopped;
            return result;
        };
    }
    void TearDown() override {
        runHooks() = RunHooks{};
        GuiTest::TearDown();
    }
    void type(const wxString& field, const wxString& text) {
        m_window->fieldRow(field).text->ChangeValue(text);
    }
    void twoRandomPlayers() {
        type("P 1", "random");
        type("P 2", "random");
    }
    void run() {
        click(m_window->startButton());
        settle();
    }
    wxString cell(int row, int col) const { return m_window->results()->GetCellValue(row, col); }
    std::vector<wxString> row(int r) const {
        std::vector<wxString> cells;
        for (int c = 0; c < m_window->results()->GetNumberCols(); ++c) cells.push_back(cell(r, c));
        return cells;
    }
    std::vector<wxString> columnLabels() const {
        std::vector<wxString> labels;
        for (int c = 0; c < m_window->results()->GetNumberCols(); ++c)
            labels.push_back(m_window->results()->GetColLabelValue(c));
        return labels;
    }
    wxString status() const { return m_window->status()->GetLabel(); }
    // The window is idle again after a run.
    void expectIdle() const {
        EXPECT_TRUE(m_window->startButton()->IsEnabled());
        EXPECT_FALSE(m_window->stopButton()->IsEnabled());
        EXPECT_EQ(m_window->gauge()->GetValue(), 100);
        EXPECT_FALSE(m_window->running());
    }

    FakeEngine m_engine;
};

TEST_F(CalculationTest, TheEngineGetsTheFieldsAndTheSettings) {
    app().m_rounds = 1234;
    app().m_seconds = 7;
    app().m_mode = EquityMode::MonteCarlo;
    app().m_precision = 0.5;
    app().m_pauseMs = 0;
    type("B1", "AsKd7h");
    type("D", "2c");
    type("P 1", "QsQdJsJd");
    type("P10", "random");
    run();
    const EquityRequest& r = m_engine.request;
    CardMask board = 0, dead = 0;
    ASSERT_TRUE(parseCardRun(L"AsKd7h", board) && parseCardRun(L"2c", dead));
    EXPECT_EQ(r.boards[0], board);
    EXPECT_EQ(r.boards[1], 0u);
    EXPECT_EQ(r.deadCards, dead);
    EXPECT_EQ(r.holeCount, 4);
    EXPECT_EQ(r.playerCount, 2);
    EXPECT_EQ(r.lists[0].hands.size(), 1u);
    EXPECT_TRUE(r.random[1]);
    EXPECT_EQ(r.rounds, 1234);
    EXPECT_EQ(r.seconds, 7);
    EXPECT_EQ(r.mode, EquityMode::MonteCarlo);
    EXPECT_EQ(r.precision, 0.5);
    EXPECT_EQ(r.pause.count(), 0);
    EXPECT_FALSE(r.hiLo);
    EXPECT_EQ(row(1)[0], "P10");
    EXPECT_EQ(row(1)[1], "random");
}

TEST_F(CalculationTest, GridHasOneRowPerPlayerAndTheColumnsOfTheGame) {
    EXPECT_EQ(m_window->results()->GetRowLabelSize(), 0);
    for (const char* f : {"P 1", "P 2", "P 4", "P 5", "P 6", "P 9", "P10"}) type(f, "random");
    run();
    const std::vector<wxString> high = {"Player", "Hand / range", "Equity", "Win", "Tie", "+/-"};
    EXPECT_EQ(columnLabels(), high);
    EXPECT_EQ(m_window->results()->GetNumberRows(), 7);
    EXPECT_EQ(row(6),
              (std::vector<wxString>{"P10", "random", "60.00%", "5.00%", "10.00%", "exact"}));
    EXPECT_EQ(status(), "Mode: exact    Deals: 1712304    Seconds: 0.25    Ended: finished");
    expectIdle();

    // A Hi/Lo game with fewer players: three more columns, fewer rows, a sampled result.
    m_window->setGame("Omaha Hi/Lo");
    type("P 4", "");
    type("P 5", "AA");
    m_engine.result.mode = EquityMode::MonteCarlo;
    m_engine.result.end = RunEnd::TimeLimit;
    m_engine.result.players[3] = {0.5, 0.25, 0.5, 0.0123, 0.4, 0.6, 0.2};
    run();
    EXPECT_TRUE(m_engine.request.hiLo);
    EXPECT_EQ(columnLabels(), (std::vector<wxString>{"Player", "Hand / range", "Equity", "Scoop",
                                                     "High", "Low", "+/-"}));
    EXPECT_EQ(m_window->results()->GetNumberRows(), 6);
    EXPECT_EQ(row(3), (std::vector<wxString>{"P 6", "random", "50.00%", "25.00%", "40.00%",
                                             "60.00%", "+-1.23"}));
    EXPECT_EQ(status(),
              "Mode: monte-carlo    Deals: 1712304    Seconds: 0.25    Ended: time limit");

    // Two boards: each board's equity and the scoop of both.
    m_engine.result.players[3].board = {0.7, 0.3};
    type("B1", "AsKd7h");
    type("B2", "2c3c4c");
    run();
    EXPECT_EQ(columnLabels(), (std::vector<wxString>{"Player", "Hand / range", "Equity", "B1", "B2",
                                                     "Scoop", "High", "Low", "+/-"}));
    EXPECT_EQ(row(3)[3], "70.00%");
    EXPECT_EQ(row(3)[4], "30.00%");
    m_window->setGame("Omaha");
    run();
    EXPECT_EQ(columnLabels(), (std::vector<wxString>{"Player", "Hand / range", "Equity", "B1", "B2",
                                                     "Scoop", "+/-"}));
}

TEST_F(CalculationTest, ProgressMovesTheGaugeWithinItsRangeDuringTheRunOnly) {
    twoRandomPlayers();
    m_engine.steps = {0, 40, 99, 150, -5};
    run();
    EXPECT_EQ(m_engine.gauge, (std::vector<int>{0, 40, 99, 100, 0}));
    expectIdle();
    // A late report of an ended run changes nothing.
    m_engine.request.progress(30);
    settle();
    EXPECT_EQ(m_window->gauge()->GetValue(), 100);
}

// The request reader's problems, all of them in one message, and nothing runs.
TEST_F(CalculationTest, FieldsThatCannotBeUsedAreNamedAndNothingRuns) {
    const struct {
        const char *field, *text, *message;
    } cases[] = {{"P 2", "AsKs((QQ", "P 2: 'AsKs((QQ' is not a valid range"},
                 {"P 2", "KsQdJdTc", "P 2: 'KsQdJdTc': Ks is in P 1 too"},
                 {"B3", "2c3c4c", "B3: '2c3c4c' is not used: only B1 and B2 are boards; clear B3"},
                 {"P 2", "", "Fill at least two player fields."}};
    for (const auto& c : cases) {
        type("P 1", "KsKdQhJh");
        type("P 2", "random");
        type(c.field, c.text);
        m_messages->reports.clear();
        run();
        EXPECT_EQ(messages(), std::vector<std::wstring>{wxString(c.message).ToStdWstring()});
        EXPECT_EQ(status(), wxString("Not started: ") + c.message);
        EXPECT_EQ(m_engine.calls, 0);
        type(c.field, "");
        expectIdle();
    }
    type("P 2", "AsAhKhQs2c3c");
    type("B1", "AsKd7h2");
    m_messages->reports.clear();
    run();
    EXPECT_EQ(messages(), std::vector<std::wstring>{
                              L"B1: 'AsKd7h2' is not a board of 3 to 5 different cards: '2' at the "
                              L"end is not a card code\nP 2: 'AsAhKhQs2c3c' holds 6 cards; a hand "
                              L"of Omaha holds 4"});
}

TEST_F(CalculationTest, StopEndsTheRunAndShowsWhatWasCounted) {
    twoRandomPlayers();
    bool stopEnabled = false;
    m_engine.during = [&] {
        stopEnabled = m_window->stopButton()->IsEnabled();
        click(m_window->stopButton());
    };
    run();
    EXPECT_TRUE(stopEnabled);
    EXPECT_TRUE(m_engine.request.stop->load());
    EXPECT_EQ(cell(1, 2), "10.00%");
    EXPECT_TRUE(status().EndsWith("Ended: stopped")) << status();
    expectIdle();
}

TEST_F(CalculationTest, FailedRunsShowNamesAndSayWhy) {
    twoRandomPlayers();
    runHooks().calculate = [](const EquityRequest&) -> EquityResult {
        throw std::runtime_error("engine failure");
    };
    run();
    EXPECT_EQ(row(1), (std::vector<wxString>{"P 2", "random", "", "", "", ""}));
    EXPECT_EQ(status(), "The calculation failed: engine failure");
    expectIdle();

    runHooks().startWorker = [](std::function<void()>) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    run();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind(L"The calculation could not be started: ", 0), 0u);
    expectIdle();

    omahaEvaluator().attach(nullptr);
    run();
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_NE(messages()[1].find(L"omaha-7.bin"), std::wstring::npos);
}

TEST_F(CalculationTest, ClosingDuringARunStopsItAndDestroysTheWindow) {
    twoRandomPlayers();
    wxWeakRef<dlgVarnel> window(m_window);
    m_engine.steps = {0, 1};
    m_engine.during = [&] { window->Close(); };
    run();
    EXPECT_TRUE(m_engine.request.stop->load());
    EXPECT_FALSE(window);
    m_window = nullptr;
    // The stopped run is logged with what it had counted.
    EXPECT_TRUE(settleUntil(
        [&] {
            return readFile(varnelApp::logPath().ToStdString()).find("; ended stopped\n") !=
                   std::string::npos;
        },
        "the stopped run's log line"));
}

TEST_F(CalculationTest, EachRunIsLoggedOnOneLine) {
    type("B1", "AsKd7h");
    type("P 1", "AA");
    type("P 2", "random");
    run();
    const std::string line =
        "Calculation: game Omaha; board 1 AsKd7h; board 2 -; dead -; P 1 'AA' 0.00%; P 2 "
        "'random' 10.00%; mode exact; deals 1712304; seconds 0.250; ended finished\n";
    // The logger's own thread writes the file.
    EXPECT_TRUE(settleUntil(
        [&] {
            return readFile(varnelApp::logPath().ToStdString()).find(line) != std::string::npos;
        },
        "the run's log line"));

    // Hi/Lo figures and the boards' shares; a refused Start leaves one line too.
    m_window->setGame("Omaha Hi/Lo");
    type("B2", "2c3c4c");
    m_engine.result.players[1] = {0.5, 0.25, 0.5, 0, 0.4, 0.6, 0.25, {0.7, 0.3}};
    run();
    type("P 2", "AsKs((QQ");
    run();
    for (const std::string& more :
         {std::string("P 2 'random' 50.00% B1 70.00% B2 30.00% high 40.00% low 60.00% scoop "
                      "25.00%; mode exact"),
          std::string("Calculation refused: game Omaha Hi/Lo; board 1 AsKd7h; board 2 2c3c4c; "
                      "dead -; P 1 'AA'; P 2 'AsKs((QQ': P 2: 'AsKs((QQ' is not a valid range")})
        EXPECT_TRUE(settleUntil(
            [&] {
                return readFile(varnelApp::logPath().ToStdString()).find(more) != std::string::npos;
            },
            more.c_str()));
}

// A Monte Carlo run shows its running figures at every progress step.
TEST_F(CalculationTest, RunningFiguresShowAtEveryProgressStep) {
    twoRandomPlayers();
    std::vector<wxString> shown;
    m_engine.during = [&] {
        for (int step = 1; step <= 3; ++step) {
            EquityResult sofar;
            sofar.deals = 1000 * step;
            sofar.players[0] = {0.1 * step, 0, 0, 0.01};
            m_engine.request.partial(sofar);
            wxTheApp->ProcessPendingEvents();
            shown.push_back(cell(0, 2) + " " + cell(0, 5) + " " + status());
        }
    };
    run();
    EXPECT_EQ(shown, (std::vector<wxString>{
                         "10.00% +-1.00 Calculating...    Deals: 1000    Seconds: 0.00",
                         "20.00% +-1.00 Calculating...    Deals: 2000    Seconds: 0.00",
                         "30.00% +-1.00 Calculating...    Deals: 3000    Seconds: 0.00"}));
    EXPECT_EQ(cell(0, 2), "0.00%");  // the final result replaces the running figures
}

TEST_F(CalculationTest, ResultsEmptyWhenTheGameOrAFieldChanges) {
    twoRandomPlayers();
    run();
    EXPECT_EQ(m_window->results()->GetNumberRows(), 2);
    m_window->fieldRow("P 3").text->SetValue("AA");  // as typing does
    EXPECT_EQ(m_window->results()->GetNumberRows(), 0);
    EXPECT_EQ(m_window->resultsText(), "");
    EXPECT_EQ(status(), "Fill at least two players and press Start.");
    run();
    EXPECT_EQ(m_window->results()->GetNumberRows(), 3);
    m_window->setGame("Omaha Hi/Lo");
    EXPECT_EQ(m_window->results()->GetNumberRows(), 0);
    EXPECT_EQ(columnLabels(), (std::vector<wxString>{"Player", "Hand / range", "Equity", "Scoop",
                                                     "High", "Low", "+/-"}));
}

// "Copy", Ctrl+C on the results and File > Export give the whole calculation.
TEST_F(CalculationTest, CopyAndExportGiveTheWholeCalculation) {
    std::vector<wxString> copied;
    const auto previous = clipboardWriter();
    clipboardWriter() = [&](const wxString& text) { copied.push_back(text); };
    click(m_window->copyButton());
    EXPECT_TRUE(copied.empty());  // nothing to copy yet
    type("B1", "AsKd7h");
    type("D", "2c");
    type("P 1", "AA,KK");
    type("P 2", "random");
    run();
    click(m_window->copyButton());
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = 'C';
    key.SetControlDown(true);
    m_window->results()->ProcessWindowEvent(key);
    clipboardWriter() = previous;
    const wxString expected =
        "Game\tOmaha\nBoard 1\tAsKd7h\nBoard 2\t\nDead\t2c\n"
        "Player\tHand / range\tEquity\tWin\tTie\t+/-\n"
        "P 1\tAA,KK\t0.00%\t5.00%\t10.00%\texact\n"
        "P 2\trandom\t10.00%\t5.00%\t10.00%\texact\n"
        "Mode\texact\nDeals\t1712304\nSeconds\t0.25\nEnded\tfinished\n";
    EXPECT_EQ(copied, (std::vector<wxString>{expected, expected}));

    const std::string path = (m_dir->path() / "out.csv").string();
    ASSERT_TRUE(m_window->exportResults(path));
    EXPECT_EQ(readFile(path),
              "Game,Omaha\nBoard 1,AsKd7h\nBoard 2,\nDead,2c\nPlayer,Hand / range,Equity,Win,"
              "Tie,+/-\nP 1,\"AA,KK\",0.00%,5.00%,10.00%,exact\nP 2,random,10.00%,5.00%,10.00%,"
              "exact\nMode,exact\nDeals,1712304\nSeconds,0.25\nEnded,finished\n");
    EXPECT_FALSE(m_window->exportResults((m_dir->path() / "no/such/dir/out.csv").string()));
    EXPECT_EQ(messages().size(), 1u);
}

// The real engine on its worker thread: two fixed hands on a full board, enumerated.
TEST_F(CalculationTest, RealEngineRunsOnItsWorkerAndFillsTheGrid) {
    runHooks() = RunHooks{};
    type("B1", "AhKh7c4d2s");
    type("P 1", "AsAdQcJc");
    type("P 2", "KsKdQdJd");
    click(m_window->startButton());
    ASSERT_TRUE(settleUntil([&] { return !m_window->running(); }, "the run to end"));
    EXPECT_EQ(row(0),
              (std::vector<wxString>{"P 1", "AsAdQcJc", "100.00%", "100.00%", "0.00%", "exact"}));
    EXPECT_EQ(cell(1, 2), "0.00%");
    EXPECT_TRUE(status().StartsWith("Mode: exact    Deals: ")) << status();
    expectIdle();
}

// A report from a worker is shown on the UI thread, and the worker waits until it is closed.
TEST(MessageBoxHook, WorkerMessagesAreShownOnTheUiThreadWhileTheWorkerWaits) {
    std::atomic<bool> shown{false}, returned{false};
    bool onUiThread = false, workerWaited = false;
    std::wstring text;
    const ReportHook previous =
        setReportHook(uiThreadHook([&](const std::wstring& message, const std::wstring&) {
            onUiThread = wxIsMainThread();
            workerWaited = !returned;
            text = message;
            shown = true;
        }));
    std::thread worker([&] {
        reportToUser(L"Ordering file missing");
        returned = true;
    });
    const bool arrived = settleUntil([&] { return shown.load(); }, "the message on the UI thread");
    EXPECT_TRUE(arrived);
    arrived ? worker.join() : worker.detach();  // a worker never answered stays blocked
    setReportHook(previous);
    EXPECT_TRUE(onUiThread);
    EXPECT_TRUE(workerWaited);
    EXPECT_EQ(text, L"Ordering file missing");
}

}  // namespace
}  // namespace varnel::test
