// The keyboard (Enter, Esc, File > Quit), player rows that follow the window's height, the field
// texts kept between sessions, the field tooltips and the range-language help with its counts.
// The engine is a fake that runs inside the click, on the UI thread.

#include <wx/html/htmlwin.h>
#include <wx/menu.h>
#include <wx/weakref.h>

#include <set>

#include "core/cards.h"
#include "tests/ui/gui_fixture.h"
#include "ui/range_help.h"

namespace varnel::test {
namespace {

class WorkbenchTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        runHooks().startWorker = [](std::function<void()> work) { work(); };
        runHooks().calculate = [this](const EquityRequest& request) {
            ++m_calls;
            if (m_during) m_during();
            EquityResult result;
            result.playerCount = request.playerCount;
            m_stopped = request.stop->load();
            if (m_stopped) result.end = RunEnd::Stopped;
            return result;
        };
    }
    void TearDown() override {
        runHooks() = RunHooks{};
        GuiTest::TearDown();
    }
    wxTextCtrl* field(const wxString& name) const { return m_window->fieldRow(name).text; }
    // A key pressed while `from` has the keyboard: the char hook the toolkit sends first.
    static bool press(wxWindow* from, int key) {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = key;
        event.SetEventObject(from);
        return from->HandleWindowEvent(event);
    }
    int shownRows() const {
        int x = 0, row = 0;
        m_window->playerPanel()->GetScrollPixelsPerUnit(&x, &row);
        return m_window->playerPanel()->GetClientSize().y / row;
    }

    int m_calls = 0;
    bool m_stopped = false;
    std::function<void()> m_during;
};

TEST_F(WorkbenchTest, EnterInAFieldStartsEscStopsCtrlQQuitsAndSavesTheFields) {
    dlgVarnel& w = start();
    field("P 1")->ChangeValue("random");
    field("P 2")->ChangeValue("AsKsQhJh");
    EXPECT_TRUE(press(field("P 2"), WXK_RETURN));
    settle();
    EXPECT_TRUE(press(field("B1"), WXK_NUMPAD_ENTER));
    settle();
    EXPECT_EQ(m_calls, 2);
    EXPECT_FALSE(m_stopped);
    // Enter elsewhere, and Esc while nothing runs, keep their usual meaning.
    EXPECT_FALSE(press(w.startButton(), WXK_RETURN));
    EXPECT_FALSE(press(field("P 1"), WXK_ESCAPE));
    m_during = [&] { EXPECT_TRUE(press(field("P 3"), WXK_ESCAPE)); };
    press(field("P 1"), WXK_RETURN);
    settle();
    EXPECT_EQ(m_calls, 3);
    EXPECT_TRUE(m_stopped);

    wxMenuBar* bar = w.GetMenuBar();
    ASSERT_NE(bar->FindItem(wxID_EXIT), nullptr);
    EXPECT_EQ(bar->FindMenu("File"), 0);
    EXPECT_EQ(bar->FindItem(wxID_EXIT)->GetItemLabel(), "Quit\tCtrl+Q");
    field("B1")->ChangeValue("Qh");
    wxWeakRef<wxWindow> alive(&w);
    menu(&w, wxID_EXIT);
    EXPECT_TRUE(settleUntil([&] { return !alive; }, "the window closes"));
    m_window = nullptr;
    EXPECT_NE(readConfig().find("B1=Qh\n"), std::string::npos) << readConfig();
}

TEST_F(WorkbenchTest, FieldTextsComeBackAsTypedAndMergeWithOtherKeys) {
    writeConfig("[GAME]\nRounds=500\n[FIELDS]\nB1=2c3c4c\nP 1=zz not a range\n");
    start();
    settle();
    EXPECT_EQ(field("B1")->GetValue(), "2c3c4c");
    EXPECT_EQ(field("P 1")->GetValue(), "zz not a range");  // kept, even though it does not read
    EXPECT_EQ(field("P 2")->GetValue(), "");
    const std::map<wxString, wxString> typed = {{"B1", "AsKd7h"},   {"B2", ""},
                                                {"B3", "9c"},       {"D", "2c"},
                                                {"P 1", " aa:ss "}, {"P10", "random"}};
    for (const auto& [name, text] : typed) field(name)->ChangeValue(text);
    click(m_window->startButton());
    settle();
    EXPECT_EQ(m_calls, 0);  // B3 holds a card: refused, yet saved
    EXPECT_NE(readConfig().find("Rounds=500"), std::string::npos);
    m_window->Destroy();
    settle();
    delete wxConfigBase::Set(nullptr);
    start();
    settle();
    for (const auto& [name, text] : typed)
        EXPECT_EQ(field(name)->GetValue(), name == "B3" ? wxString() : text) << name;
}

TEST_F(WorkbenchTest, ATallerWindowShowsMorePlayerRows) {
    dlgVarnel& w = start();
    w.SetSize(w.GetMinSize());
    EXPECT_TRUE(settleUntil([&] { return shownRows() == 5; }, "five rows at the smallest"));
    w.SetSize(wxSize(w.GetMinSize().x, w.GetMinSize().y + 600));
    EXPECT_TRUE(settleUntil([&] { return shownRows() == 10; }, "all ten rows"));
    EXPECT_GT(w.results()->GetSize().y, 100);  // the rest goes to the results
    w.SetSize(w.GetMinSize());
    EXPECT_TRUE(settleUntil([&] { return shownRows() == 5; }, "five rows again"));
}

TEST_F(WorkbenchTest, BoardAndDeadFieldsSayWhatTheyAre) {
    start();
    for (const char* name : {"B1", "B2", "B3", "D"})
        ASSERT_NE(field(name)->GetToolTip(), nullptr) << name;
    EXPECT_TRUE(field("B3")->GetToolTipText().StartsWith("Not used"));
    EXPECT_TRUE(field("D")->GetToolTipText().StartsWith("Dead cards"));
}

// Counts from combinatorics: two named cards plus any others; at least two of a rank; the union
// of two such sets less their 36 common hands; the rainbow rule's C(4,2) suit choices; five cards
// holding A, K, Q and J by inclusion-exclusion; every hand.
TEST(RangeHelp, CountsAreTheRangeModulesAndMatchCombinatorics) {
    auto choose = [](int n, int k) { return static_cast<std::int64_t>(binomial(n, k)); };
    auto hands = [](const wchar_t* text, int n) { return exampleHandCount(text, n).hands; };
    EXPECT_EQ(hands(L"AsKs", 4), choose(50, 2));
    EXPECT_EQ(hands(L"AsKs", 5), choose(50, 3));
    const std::int64_t atLeastTwoQueens = 6 * choose(48, 2) + 4 * 48 + 1;
    EXPECT_EQ(hands(L"QQ", 4), atLeastTwoQueens);
    EXPECT_EQ(hands(L"AA:KK", 4), 36);
    EXPECT_EQ(hands(L"AA,KK", 4), 2 * atLeastTwoQueens - 36);
    EXPECT_EQ(exampleHandCount(L"AAKK", 4).hands, 6);
    EXPECT_EQ(exampleHandCount(L"AAKK", 4).entries, 24);
    const ExampleCount fourRanks = exampleHandCount(L"AKQJ", 5);
    EXPECT_EQ(fourRanks.hands, choose(52, 5) - 4 * choose(48, 5) + 6 * choose(44, 5) -
                                   4 * choose(40, 5) + choose(36, 5));
    EXPECT_GT(fourRanks.entries, fourRanks.hands);
    EXPECT_EQ(hands(L"*", 5), choose(52, 5));
    EXPECT_EQ(hands(L"AA(", 4), -1);
    // Every example reads, and names hands but where the help says it names none.
    const std::set<std::pair<std::wstring, int>> none = {
        {L"KQJ-", 4}, {L"999-", 4}, {L"AAKK", 5}, {L"AsKsXxXh", 5}};
    for (const auto* rows : {&rangeOperatorExamples(), &rangePatternExamples()}) {
        for (const RangeExample& row : *rows) {
            for (int n : {4, 5})
                EXPECT_EQ(hands(row.text, n) > 0, !none.contains({row.text, n})) << row.text << n;
        }
    }
    const wxString page = rangeHelpPage();
    EXPECT_NE(page.find(">36<"), wxString::npos);
    EXPECT_NE(page.find("24 entries"), wxString::npos);
    for (const GameType& game : kGameTypes)
        EXPECT_NE(page.find(wxString(std::wstring(game.name))), wxString::npos);
}

TEST_F(WorkbenchTest, RangeHelpOpensOnceAndClosesWithEsc) {
    dlgVarnel& w = start();
    auto helpWindows = [&] {
        std::vector<dlgRangeHelp*> found;
        for (wxWindow* child : w.GetChildren())
            if (auto* help = dynamic_cast<dlgRangeHelp*>(child)) found.push_back(help);
        return found;
    };
    menu(&w, kRangeHelpMenuId);
    menu(&w, kRangeHelpMenuId);
    ASSERT_EQ(helpWindows().size(), 1u);
    dlgRangeHelp* help = helpWindows().front();
    EXPECT_TRUE(help->IsShown());
    EXPECT_TRUE(help->HasFlag(wxRESIZE_BORDER));
    EXPECT_TRUE(settleUntil([&] { return help->ready(); }, "the counts arrive"));
    EXPECT_NE(help->page()->ToText().find("Double-suited"), wxString::npos);
    press(help->page(), WXK_ESCAPE);
    EXPECT_TRUE(settleUntil([&] { return helpWindows().empty(); }, "Esc closes the help"));
}

}  // namespace
}  // namespace varnel::test
