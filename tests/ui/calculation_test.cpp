// "Start": fields typed, the button pressed through the toolkit's events, results read from the
// grid. The engine is replaced by a fake that runs inside the click on the UI thread and answers
// at once; one test runs the real engine on its worker thread.

#include <wx/app.h>
#include <wx/weakref.h>

#include <atomic>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "eval/omaha_eval.h"
#include "tests/ui/gui_fixture.h"
#include "ui/message_box.h"

namespace varnel::test {
namespace {

// What the fake engine was given and what it answers.
struct FakeEngine {
    int calls = 0;
    std::int32_t rounds = 0, seconds = 0, holeCount = 0;
    CalculationRequest request;
    ProgressCallback progress;
    std::vector<int> steps;  // progress steps to report, in order
    std::vector<int> gauge;  // the gauge after each reported step has reached the window
    std::vector<double> equities = {0.45274, 0.54726};
    std::int32_t result = 1;
    std::function<void()> during;  // runs in the middle of the calculation
};

class CalculationTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        runHooks().startWorker = [](std::function<void()> work) { work(); };
        runHooks().calculate = [this](std::int32_t rounds, std::int32_t seconds,
                                      const CalculationRequest& request, std::int32_t holeCount,
                                      std::uint32_t& players, double* results,
                                      const ProgressCallback& progress, std::promise<void>* done) {
            FakeEngine& f = m_engine;
            ++f.calls;
            f.rounds = rounds, f.seconds = seconds, f.holeCount = holeCount;
            f.request = request;
            f.progress = progress;
            for (int step : f.steps) {
                progress(step);
                wxTheApp->ProcessPendingEvents();
                f.gauge.push_back(m_window->gauge()->GetValue());
            }
            if (f.during) f.during();
            players = static_cast<std::uint32_t>(f.equities.size());
            std::copy(f.equities.begin(), f.equities.end(), results);
            done->set_value();
            return f.result;
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
    // The window is idle again after a run.
    void expectIdle() const {
        EXPECT_TRUE(m_window->startButton()->IsEnabled());
        EXPECT_EQ(m_window->gauge()->GetValue(), 100);
        EXPECT_FALSE(m_window->running());
    }

    FakeEngine m_engine;
};

TEST_F(CalculationTest, TheEngineGetsTheFilledFieldsAndTheSettings) {
    app().m_rounds = 1234;
    app().m_seconds = 7;
    type("B1", "AsKd7h");
    type("D", "2c");
    type("P 1", "AA:xxyy");
    type("P 2", "   ");  // blanks count as filled
    type("P10", "random");
    run();
    const CalculationRequest expected = {{L"B1", L"AsKd7h"},
                                         {L"D", L"2c"},
                                         {L"P 1", L"AA:xxyy"},
                                         {L"P 2", L"   "},
                                         {L"P10", L"random"}};
    EXPECT_EQ(m_engine.request, expected);
    EXPECT_EQ(m_engine.rounds, 1234);
    EXPECT_EQ(m_engine.seconds, 7);
    EXPECT_EQ(m_engine.holeCount, 4);
}

TEST_F(CalculationTest, RowsNameThePlayerFieldsInOrderWithTwoDecimals) {
    const std::vector<wxString> fields = {"P 1", "P 2", "P 3", "P 5", "P 6", "P 9", "P10"};
    for (const wxString& f : fields) type(f, "random");
    type("B1", "AsKd7h");
    m_engine.equities = {0.1, 0.2, 0.15, 0.05, 0.004999, 0.39501, 0.1};
    run();
    const char* percent[] = {"10.00%", "20.00%", "15.00%", "5.00%", "0.50%", "39.50%", "10.00%"};
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(cell(row, 0), fields[row]);
        EXPECT_EQ(cell(row, 1), percent[row]);
    }
    expectIdle();
}

TEST_F(CalculationTest, SecondRunWithFewerPlayersKeepsLowerRows) {
    for (const char* f : {"P 1", "P 2", "P 3"}) type(f, "random");
    m_engine.equities = {0.2, 0.3, 0.5};
    run();
    type("P 3", "");
    m_engine.equities = {0.25, 0.75};
    run();
    EXPECT_EQ(cell(0, 1), "25.00%");
    EXPECT_EQ(cell(1, 1), "75.00%");
    EXPECT_EQ(cell(2, 0), "P 3");
    EXPECT_EQ(cell(2, 1), "50.00%");
}

TEST_F(CalculationTest, ProgressMovesTheGaugeWithinItsRangeDuringTheRunOnly) {
    twoRandomPlayers();
    m_engine.steps = {0, 40, 99, 150, -5};
    run();
    EXPECT_EQ(m_engine.gauge, (std::vector<int>{0, 40, 99, 100, 0}));
    expectIdle();
    // A late report of an ended run changes nothing.
    m_engine.progress(30);
    settle();
    EXPECT_EQ(m_window->gauge()->GetValue(), 100);
}

TEST_F(CalculationTest, FailedRunsShowNamesWithoutEquities) {
    twoRandomPlayers();
    const std::vector<std::function<void()>> failures = {
        [&] { m_engine.result = 0; },  // the engine's answer: no result
        [&] {
            runHooks().calculate = [](auto&&...) -> std::int32_t {
                throw std::runtime_error("engine failure");
            };
        }};
    for (const auto& fail : failures) {
        fail();
        run();
        EXPECT_EQ(cell(0, 0), "P 1");
        EXPECT_EQ(cell(1, 0), "P 2");
        EXPECT_EQ(cell(0, 1), "");
        EXPECT_EQ(cell(1, 1), "");
        EXPECT_EQ(cell(2, 0), "");
        expectIdle();
    }
}

TEST_F(CalculationTest, WorkerThatCannotStartIsReportedAndStartComesBack) {
    runHooks().startWorker = [](std::function<void()>) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    twoRandomPlayers();
    run();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind(L"The calculation could not be started: ", 0), 0u);
    EXPECT_EQ(cell(1, 1), "");
    expectIdle();
}

TEST_F(CalculationTest, StartWithoutTableExplainsAndComputesNothing) {
    omahaEvaluator().attach(nullptr);
    twoRandomPlayers();
    run();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find(L"omaha-7.bin"), std::wstring::npos);
    EXPECT_EQ(m_engine.calls, 0);
    EXPECT_EQ(cell(0, 0), "");
    EXPECT_TRUE(m_window->startButton()->IsEnabled());
}

TEST_F(CalculationTest, ClosingDuringARunDestroysTheWindowOnceTheRunHasEnded) {
    twoRandomPlayers();
    wxWeakRef<dlgVarnel> window(m_window);
    bool runningWhenClosed = false, keptDuringTheRun = false;
    m_engine.during = [&] {
        window->Close();
        runningWhenClosed = window->running();
        settle();
        keptDuringTheRun = window;
    };
    click(m_window->startButton());
    EXPECT_TRUE(runningWhenClosed);
    EXPECT_TRUE(keptDuringTheRun);
    settle();
    EXPECT_FALSE(window) << "the window is destroyed once the run has ended";
    m_window = nullptr;
}

// The real engine on its worker thread: two fixed hands on a full board, so every deal ends
// the same way.
TEST_F(CalculationTest, RealEngineRunsOnItsWorkerAndFillsTheGrid) {
    runHooks() = RunHooks{};
    app().m_rounds = 50;
    type("B1", "AhKh7c4d2s");
    type("P 1", "AsAdQcJc");
    type("P 2", "KsKdQdJd");
    run();
    EXPECT_EQ(cell(0, 1), "100.00%");
    EXPECT_EQ(cell(1, 1), "0.00%");
    expectIdle();
}

// A report from a worker is shown on the UI thread, and the worker waits until it is closed.
TEST(MessageBoxHook, WorkerMessagesAreShownOnTheUiThreadWhileTheWorkerWaits) {
    std::atomic<bool> shown{false}, returned{false};
    bool onUiThread = false, workerWaited = false;
    const ReportHook previous =
        setReportHook(uiThreadHook([&](const std::wstring&, const std::wstring&) {
            onUiThread = wxIsMainThread();
            workerWaited = !returned;
            shown = true;
        }));
    std::thread worker([&] {
        reportToUser(L"Ordering file missing");
        returned = true;
    });
    while (!shown) {
        wxTheApp->ProcessPendingEvents();
        std::this_thread::yield();
    }
    worker.join();
    setReportHook(previous);
    EXPECT_TRUE(onUiThread);
    EXPECT_TRUE(workerWaited);
    EXPECT_TRUE(returned);
}

}  // namespace
}  // namespace varnel::test
