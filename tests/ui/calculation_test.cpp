// "Start": fields typed, the button pressed through the toolkit's events, results read from the
// grid. The runs are short (one second) so the suite stays fast under the sanitizers.

#include <wx/timer.h>
#include <wx/weakref.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "core/cards.h"
#include "eval/omaha_eval.h"
#include "eval/reference_eval.h"
#include "tests/ui/gui_fixture.h"
#include "ui/message_box.h"

namespace varnel::test {
namespace {

class CalculationTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        app().m_rounds = 200000;
        app().m_seconds = 1;
    }
    void type(const wxString& field, const wxString& text) {
        m_window->fieldRow(field).text->ChangeValue(text);
    }
    void run() {
        click(m_window->startButton());
        settle();
    }
    wxString cell(int row, int col) const { return m_window->results()->GetCellValue(row, col); }
    double percent(int row) const {
        double value = 0;
        cell(row, 1).BeforeLast('%').ToCDouble(&value);
        return value;
    }
};

const wxString kAces = "AsAhKsKh";

// One to three digits, a point, exactly two decimals and a percent sign ("45.27%").
bool isEquityText(const wxString& text) {
    const std::string s = text.ToStdString();
    const size_t point = s.find('.');
    if (point == std::string::npos || point < 1 || point > 3 || s.size() != point + 4) return false;
    for (size_t i = 0; i < s.size() - 1; ++i)
        if (i != point && !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    return s.back() == '%';
}

TEST_F(CalculationTest, TwoPlayersGiveTwoRowsThatAddUpToAHundred) {
    type("P 1", kAces);
    type("P 2", "random");
    run();
    EXPECT_EQ(cell(0, 0), "P 1");
    EXPECT_EQ(cell(1, 0), "P 2");
    for (int row : {0, 1}) EXPECT_TRUE(isEquityText(cell(row, 1))) << cell(row, 1);
    EXPECT_NEAR(percent(0) + percent(1), 100.0, 0.011);
    EXPECT_GT(percent(0), 60.0) << "aces double-suited against a random hand";
    EXPECT_EQ(cell(2, 0), "");
    EXPECT_TRUE(m_window->startButton()->IsEnabled());
    EXPECT_EQ(m_window->gauge()->GetValue(), 100);
    EXPECT_FALSE(m_window->running());
}

TEST_F(CalculationTest, RowsNameTheFilledPlayerFields) {
    type("P 1", kAces);
    type("P 3", "random");
    run();
    EXPECT_EQ(cell(0, 0), "P 1");
    EXPECT_EQ(cell(1, 0), "P 3");
    EXPECT_EQ(cell(2, 0), "");
    EXPECT_NEAR(percent(0) + percent(1), 100.0, 0.011);
}

TEST_F(CalculationTest, SecondRunWithFewerPlayersKeepsLowerRows) {
    type("P 1", kAces);
    for (const char* f : {"P 2", "P 3"}) type(f, "random");
    run();
    const wxString third = cell(2, 1);
    ASSERT_TRUE(isEquityText(third)) << third;
    type("P 3", "");
    run();
    EXPECT_EQ(cell(2, 0), "P 3");
    EXPECT_EQ(cell(2, 1), third);
    EXPECT_NEAR(percent(0) + percent(1), 100.0, 0.011);
}

TEST_F(CalculationTest, SevenPlayersAllAppear) {
    const std::vector<wxString> fields = {"P 1", "P 2", "P 3", "P 4", "P 5", "P 6", "P 7"};
    for (const wxString& f : fields) type(f, f == "P 1" ? kAces : "random");
    run();
    ASSERT_GE(m_window->results()->GetNumberRows(), 7);
    double sum = 0;
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(cell(row, 0), fields[row]);
        EXPECT_TRUE(isEquityText(cell(row, 1))) << cell(row, 1);
        sum += percent(row);
    }
    EXPECT_NEAR(sum, 100.0, 0.04);
}

std::vector<CardId> cardsOf(const std::wstring& text) {
    std::vector<CardId> cards;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        cards.push_back(cardIdFromCode(text.substr(i, 2)));
    return cards;
}

TEST_F(CalculationTest, KnownSpotMatchesExhaustiveEnumeration) {
    const std::wstring hero = L"AhAdKsQs", villain = L"JcTc9h8h", flop = L"Qh7c2d";
    const std::vector<CardId> h = cardsOf(hero), v = cardsOf(villain), f = cardsOf(flop);
    const testref::Evaluator& ref = testref::reference();
    CardMask used = 0;
    for (const auto* list : {&h, &v, &f})
        for (CardId c : *list) used |= cardBit(c);
    double heroShare = 0;
    int runouts = 0;
    for (CardId turn = 0; turn < kDeckSize; ++turn) {
        if (used & cardBit(turn)) continue;
        for (CardId river = turn + 1; river < kDeckSize; ++river) {
            if (used & cardBit(river)) continue;
            const CardId board[5] = {f[0], f[1], f[2], turn, river};
            const int a = ref.bestOmaha(h.data(), 4, board), b = ref.bestOmaha(v.data(), 4, board);
            heroShare += a > b ? 1.0 : a == b ? 0.5 : 0.0;
            ++runouts;
        }
    }
    ASSERT_EQ(runouts, 41 * 40 / 2);
    const double expected = heroShare / runouts;

    app().m_seconds = 3;
    type("P 1", hero);
    type("P 2", villain);
    type("B1", flop);
    run();
    ASSERT_EQ(cell(0, 0), "P 1");
    // At least ten thousand deals are counted in three seconds even under the sanitizers; four
    // standard errors of that many deals.
    const double tolerance = 4 * std::sqrt(expected * (1 - expected) / 10000);
    EXPECT_NEAR(percent(0) / 100, expected, tolerance + 0.00005) << "reference " << expected;
    EXPECT_NEAR(percent(0) + percent(1), 100.0, 0.011);
}

TEST_F(CalculationTest, StartWithoutTableExplainsAndComputesNothing) {
    omahaEvaluator().attach(nullptr);
    type("P 1", kAces);
    type("P 2", "random");
    run();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(L"omaha-7.bin"), std::wstring::npos);
    EXPECT_EQ(cell(0, 0), "");
    EXPECT_TRUE(m_window->startButton()->IsEnabled());
}

TEST_F(CalculationTest, ClosingDuringARunWaitsForItAndThenDestroysTheWindow) {
    type("P 1", kAces);
    type("P 2", "random");
    wxWeakRef<dlgVarnel> window(m_window);
    bool closedWhileRunning = false;
    wxTheApp->CallAfter([&] {
        closedWhileRunning = window && window->running();
        window->Close();
    });
    click(m_window->startButton());
    EXPECT_TRUE(closedWhileRunning);
    for (int i = 0; i < 20 && window; ++i) settle();
    EXPECT_FALSE(window) << "the window is destroyed once the run has ended";
    m_window = nullptr;
}

TEST_F(CalculationTest, ProgressFollowsTheRunAndEndsAtTheTop) {
    type("P 1", kAces);
    type("P 2", "random");
    int highest = -1;
    bool sawPartial = false;
    wxTimer probe;
    probe.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const int v = m_window->gauge()->GetValue();
        highest = std::max(highest, v);
        sawPartial = sawPartial || (m_window->running() && v > 0 && v < 100);
    });
    probe.Start(20);
    run();
    probe.Stop();
    EXPECT_TRUE(sawPartial) << "the gauge moved during the run";
    EXPECT_LE(highest, 100);
    EXPECT_EQ(m_window->gauge()->GetValue(), 100);
}

TEST_F(CalculationTest, WorkerMessagesAreShownOnTheUiThreadWhileTheWorkerWaits) {
    std::atomic<bool> returned{false};
    bool shownOnUiThread = false, workerWaited = false;
    setReportHook(uiThreadHook([&](const std::wstring&, const std::wstring&) {
        shownOnUiThread = wxIsMainThread();
        wxMilliSleep(100);
        workerWaited = !returned;
    }));
    std::thread worker([&] {
        reportToUser(L"Ordering file missing");
        returned = true;
    });
    for (int i = 0; i < 200 && !returned; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    worker.join();
    EXPECT_TRUE(shownOnUiThread);
    EXPECT_TRUE(workerWaited);
}

// Runs with the engine or the thread start replaced.
class RunHooksTest : public CalculationTest {
  protected:
    void TearDown() override {
        runHooks() = RunHooks{};
        CalculationTest::TearDown();
    }
};

TEST_F(RunHooksTest, WorkerThatCannotStartIsReportedAndStartComesBack) {
    runHooks().startWorker = [](std::function<void()>) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    type("P 1", kAces);
    type("P 2", "random");
    run();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].rfind(L"The calculation could not be started: ", 0), 0u);
    EXPECT_TRUE(m_window->startButton()->IsEnabled());
    EXPECT_FALSE(m_window->running());
    EXPECT_EQ(cell(1, 1), "");
}

// An engine that reports progress past the gauge's range and then a zero result.
std::int32_t overshootingEngine(std::int32_t, std::int32_t, const CalculationRequest&, std::int32_t,
                                std::uint32_t& players, double* equities,
                                const ProgressCallback& progress, std::promise<void>* done) {
    progress(150);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    players = 2;
    equities[0] = equities[1] = 0.5;
    done->set_value();
    return 0;
}

TEST_F(RunHooksTest, ProgressPastTheRangeIsClampedAndZeroResultShowsNoEquities) {
    runHooks().calculate = overshootingEngine;
    type("P 1", kAces);
    type("P 2", "random");
    int duringRun = -1;
    wxTimer probe;
    probe.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (m_window->running()) duringRun = std::max(duringRun, m_window->gauge()->GetValue());
    });
    probe.Start(20);
    run();
    probe.Stop();
    // A value past the range would also have tripped a toolkit assertion.
    EXPECT_EQ(duringRun, 100);
    EXPECT_EQ(cell(0, 0), "P 1");
    EXPECT_EQ(cell(1, 0), "P 2");
    EXPECT_EQ(cell(0, 1), "");
    EXPECT_EQ(cell(1, 1), "");
}

std::int32_t failingEngine(std::int32_t, std::int32_t, const CalculationRequest&, std::int32_t,
                           std::uint32_t&, double*, const ProgressCallback&, std::promise<void>*) {
    throw std::runtime_error("engine failure");
}

TEST_F(RunHooksTest, EngineFailureEndsTheRunWithoutEquities) {
    runHooks().calculate = failingEngine;
    type("P 1", kAces);
    type("P 2", "random");
    run();
    EXPECT_TRUE(m_window->startButton()->IsEnabled());
    EXPECT_EQ(m_window->gauge()->GetValue(), 100);
    EXPECT_EQ(cell(0, 1), "");
}

TEST_F(CalculationTest, BlankFieldCountsAsFilled) {
    type("P 1", kAces);
    type("P 2", "   ");
    run();
    EXPECT_EQ(cell(1, 0), "P 2");
    EXPECT_TRUE(isEquityText(cell(1, 1))) << cell(1, 1);
}

}  // namespace
}  // namespace varnel::test
