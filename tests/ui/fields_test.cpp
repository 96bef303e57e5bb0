// The fields as the user fills them: live counts and reasons under each field, cards typed or
// picked greyed alike, the dice on boards, the game beside Start and the orderings' line.

#include <wx/choice.h>

#include <fstream>

#include "core/game.h"
#include "tests/ui/gui_fixture.h"

namespace varnel::test {
namespace {

class FieldsTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        // Readings run inside checkNow; their answers still arrive as deferred calls.
        runHooks().startWorker = [](std::function<void()> work) { work(); };
        m_w = &start();
    }
    void TearDown() override {
        runHooks() = RunHooks{};
        GuiTest::TearDown();
    }
    // Types into a field as the keyboard does (the change is seen), then reads the fields.
    void type(const wxString& field, const wxString& text, bool read = true) {
        m_w->fieldRow(field).text->SetValue(text);
        if (read) {
            m_w->feedback().checkNow();
            settle();
        }
    }
    wxString line(const wxString& field) const { return m_w->fieldRow(field).feedback->GetLabel(); }
    bool red(const wxString& field) const {
        return m_w->fieldRow(field).feedback->GetForegroundColour().Red() > 150;
    }
    wxString text(const wxString& field) const { return m_w->fieldRow(field).text->GetValue(); }
    bool greyed(const wxString& code) const {
        return samePixels(shown(*m_w, code), CardPicker::loadCardBitmap("x", 25, 35));
    }
    dlgVarnel* m_w = nullptr;
};

TEST_F(FieldsTest, EachFieldShowsItsCountOrInRedItsReasonAndStartFollows) {
    type("P 1", "AsKsXxXx");
    EXPECT_EQ(line("P 1"), "1,225 hands");  // 50 choose 2 with one player alone
    type("P 2", "random");
    type("P 3", "2c2d3c3d");
    type("B1", "Kh9h2h");
    // 43 cards besides As, Ks, the flop and P 3's hand: 43 choose 2.
    EXPECT_EQ(line("P 1"), "903 hands");
    EXPECT_EQ(line("P 2"), "any hand");
    EXPECT_EQ(line("P 3"), "1 hand");
    EXPECT_EQ(line("B1"), "flop");
    EXPECT_FALSE(red("P 1"));
    EXPECT_TRUE(m_w->startButton()->IsEnabled());

    type("P 4", "AsKs((QQ");
    EXPECT_EQ(line("P 4"), "'AsKs((QQ' is not a valid range");
    EXPECT_TRUE(red("P 4"));
    EXPECT_FALSE(m_w->startButton()->IsEnabled());
    type("P 4", "10%");  // no orderings here: told by game, never by file
    EXPECT_EQ(line("P 4"),
              "'10%': the percentage ranges of Omaha are not on this computer (scripts/run.sh "
              "prepares them)");
    type("B1", "AsKd");
    EXPECT_EQ(line("B1"), "see below");
    EXPECT_EQ(m_w->feedback().boardsLine()->GetLabel(),
              "B1: 'AsKd' holds 2 cards; a board holds 3 to 5");
    type("P 4", "");
    type("B1", "");
    EXPECT_EQ(line("P 4"), "");
    EXPECT_FALSE(m_w->feedback().boardsLine()->IsShown());
    EXPECT_TRUE(m_w->startButton()->IsEnabled());
}

TEST_F(FieldsTest, OnlyTheLatestReadingIsShown) {
    std::vector<std::function<void()>> works;
    runHooks().startWorker = [&](std::function<void()> work) { works.push_back(work); };
    type("P 1", "AA", false);
    m_w->feedback().checkNow();
    type("P 1", "AA:KK", false);
    m_w->feedback().checkNow();
    ASSERT_EQ(works.size(), 2u);
    works[1]();
    works[0]();  // the older reading ends last: stopped, and its answer dropped
    settle();
    EXPECT_EQ(m_w->feedback().answers(), 1u);
    EXPECT_EQ(line("P 1"), "36 hands");  // 6 pairs of aces times 6 pairs of kings
}

TEST_F(FieldsTest, TypedCardsAreGreyedAndCannotBePickedElsewhere) {
    type("P 1", "AsKsXxXx", false);
    EXPECT_TRUE(greyed("As") && greyed("Ks"));
    EXPECT_FALSE(greyed("Qs"));
    m_w->selectField("P 2");
    click(m_w->pickerButton("As"));
    EXPECT_EQ(text("P 2"), "");
    // Picked into its own field the typed card goes back, what was typed around it stays.
    m_w->selectField("P 1");
    click(m_w->pickerButton("As"));
    EXPECT_EQ(text("P 1"), "KsXxXx");
    EXPECT_FALSE(greyed("As"));
    type("P 1", "", false);
    EXPECT_FALSE(greyed("Ks"));
}

TEST_F(FieldsTest, AFullFieldPassesThePickerToTheNextEmptyOne) {
    type("P 2", "random", false);
    for (const char* code : {"As", "Ks", "Qs", "Js"}) click(m_w->pickerButton(code));
    EXPECT_EQ(m_w->currentField(), "P 3");  // P 2 is not empty
    m_w->selectField("B1");
    for (const char* code : {"2c", "3c", "4c", "5c", "6c"}) click(m_w->pickerButton(code));
    EXPECT_EQ(m_w->currentField(), "B2");
}

TEST_F(FieldsTest, DiceDealBoardsOfFreeCardsAndNoDeadCards) {
    type("P 1", "AsKsQsJs", false);
    auto cardsOf = [&](const wxString& field) {
        CardMask mask = 0;
        EXPECT_TRUE(parseCardRun(text(field).ToStdWstring(), mask)) << text(field);
        return mask;
    };
    click(m_w->fieldRow("B1").random);
    const CardMask flop = cardsOf("B1");
    EXPECT_EQ(cardCount(flop), 3);
    EXPECT_EQ(flop & cards(L"AsKsQsJs"), 0u);
    EXPECT_TRUE(greyed(text("B1").Left(2)));
    click(m_w->fieldRow("B1").random);  // the turn: the flop stays
    EXPECT_EQ(cardCount(cardsOf("B1")), 4);
    EXPECT_EQ(cardsOf("B1") & flop, flop);
    click(m_w->fieldRow("B2").random);
    EXPECT_EQ(cardCount(cardsOf("B2")), 4);
    EXPECT_EQ(cardsOf("B2") & (cardsOf("B1") | cards(L"AsKsQsJs")), 0u);
    EXPECT_FALSE(m_w->fieldRow("D").random->IsEnabled());
    click(m_w->fieldRow("P 2").random);
    EXPECT_EQ(text("P 2"), "random");
}

TEST_F(FieldsTest, GameChoiceListsEveryPlayedGameAndFollowsTheDialog) {
    wxChoice* choice = m_w->gameChoice();
    std::vector<wxString> games;
    for (unsigned i = 0; i < choice->GetCount(); ++i) games.push_back(choice->GetString(i));
    EXPECT_EQ(games,
              (std::vector<wxString>{"Omaha", "5 Card Omaha", "6 Card Omaha", "7 Card Omaha",
                                     "Omaha Hi/Lo", "5 Card Omaha Hi/Lo", "6 Card Omaha Hi/Lo",
                                     "Courchevel", "Courchevel Hi/Lo"}));
    EXPECT_EQ(choice->GetStringSelection(), "Omaha");
    type("P 1", "AsKsXxXx");
    choice->SetStringSelection("6 Card Omaha");
    wxCommandEvent chosen(wxEVT_CHOICE, choice->GetId());
    chosen.SetEventObject(choice);
    choice->HandleWindowEvent(chosen);
    EXPECT_EQ(m_w->GetTitle(), "Varnel - 6 Card Omaha");
    EXPECT_EQ(m_w->settings().m_holeCards, 6);
    EXPECT_NE(readConfig().find("GameType=6 Card Omaha"), std::string::npos);
    m_w->feedback().checkNow();
    settle();
    EXPECT_NE(line("P 1"), "1,225 hands");  // read again for six-card hands
    m_w->setGame("Omaha Hi/Lo");            // as the game-type dialog does
    EXPECT_EQ(choice->GetStringSelection(), "Omaha Hi/Lo");
}

TEST_F(FieldsTest, OrderingsLineSaysWhichGamesAreReady) {
    EXPECT_EQ(m_w->orderingsLabel()->GetLabel(),
              "Percentage ranges: not available for Omaha, 5 Card Omaha, 6 Card Omaha and 7 Card "
              "Omaha (Hi/Lo games alike).");
    for (const char* name : {"oh6maxordering.bin", "oh6maxordering.64", "orderings.generating"})
        std::ofstream{name};
    std::ofstream("generate.log") << "  5 cards: 134459 classes,  25.0% (60 s)";
    m_w->orderingsLabel()->refresh();
    EXPECT_EQ(m_w->orderingsLabel()->GetLabel(),
              "Percentage ranges: ready for Omaha; being prepared for 5 Card Omaha (25% done, "
              "about 3 min left), 6 Card Omaha (next) and 7 Card Omaha (next) (Hi/Lo games "
              "alike).");
    // A run that reads a percentage range says so while the ordering is read.
    EXPECT_EQ(readingText({L"7 Card Omaha", {{L"P 1", L"10%"}}, {}}),
              "Reading the fields; the percentage ranges of 7 Card Omaha are read from disk...");
}

}  // namespace
}  // namespace varnel::test
