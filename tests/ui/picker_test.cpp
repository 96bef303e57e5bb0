// The main window before "Start": field rows, the card picker and its capacities.

#include "eval/omaha_eval.h"
#include "tests/ui/gui_fixture.h"

namespace varnel::test {
namespace {

using PickerTest = GuiTest;

wxString text(const dlgVarnel& w, const wxString& field) {
    return w.fieldRow(field).text->GetValue();
}

void pick(dlgVarnel& w, std::initializer_list<const char*> codes) {
    for (const char* code : codes) click(w.pickerButton(code));
}

TEST_F(PickerTest, PlayerFieldTakesFourCardsInTheDefaultGame) {
    dlgVarnel& w = start();
    EXPECT_EQ(w.GetTitle(), "Varnel - Omaha");
    EXPECT_EQ(w.currentField(), "P 1");
    pick(w, {"As", "Kd", "Qh", "Jc", "Ts"});
    EXPECT_EQ(text(w, "P 1"), "AsKdQhJc");
    EXPECT_EQ(w.fieldCards("P 1").size(), 4u);
    // The refused fifth card is neither used nor marked on the picker.
    EXPECT_FALSE(w.usedCards().count("Ts"));
    EXPECT_TRUE(samePixels(shown(w, "Ts"), dlgVarnel::loadCardBitmap("Ts", 25, 35)));
    EXPECT_TRUE(samePixels(shown(w, "As"), dlgVarnel::loadCardBitmap("x", 25, 35)));
}

TEST_F(PickerTest, BoardFieldsTakeFiveAndDeadFieldTakesTheWholeDeck) {
    dlgVarnel& w = start();
    click(w.fieldRow("B3").select);
    EXPECT_EQ(w.currentField(), "B3");
    pick(w, {"2c", "3c", "4c", "5c", "6c", "7c"});
    EXPECT_EQ(text(w, "B3"), "2c3c4c5c6c");
    click(w.fieldRow("B3").clear);
    click(w.fieldRow("D").select);
    for (const wxString& code : w.pickerOrder()) click(w.pickerButton(code));
    EXPECT_EQ(w.fieldCards("D").size(), 52u);
    EXPECT_EQ(text(w, "D").length(), 104u);
}

TEST_F(PickerTest, CardOfOneFieldIsRefusedByAnotherAndReleasedByItsOwn) {
    dlgVarnel& w = start();
    pick(w, {"As", "Kd"});
    click(w.fieldRow("P 2").select);
    pick(w, {"As"});
    EXPECT_EQ(text(w, "P 2"), "");
    EXPECT_TRUE(w.fieldCards("P 2").empty());
    click(w.fieldRow("P 1").select);
    pick(w, {"As"});
    EXPECT_EQ(text(w, "P 1"), "Kd");
    EXPECT_FALSE(w.usedCards().count("As"));
    EXPECT_TRUE(samePixels(shown(w, "As"), dlgVarnel::loadCardBitmap("As", 25, 35)));
    // Now free, the card goes to the other field.
    click(w.fieldRow("P 2").select);
    pick(w, {"As"});
    EXPECT_EQ(text(w, "P 2"), "As");
}

TEST_F(PickerTest, RandomKeepsPickedCardsUsedUntilCleared) {
    dlgVarnel& w = start();
    pick(w, {"Ah", "7d"});
    click(w.fieldRow("P 3").random);
    EXPECT_EQ(w.currentField(), "P 3");
    EXPECT_EQ(text(w, "P 3"), "random");
    click(w.fieldRow("P 1").random);
    EXPECT_EQ(text(w, "P 1"), "random");
    EXPECT_TRUE(w.usedCards().count("Ah"));
    EXPECT_TRUE(samePixels(shown(w, "7d"), dlgVarnel::loadCardBitmap("x", 25, 35)));
    click(w.fieldRow("P 1").clear);
    EXPECT_EQ(text(w, "P 1"), "");
    EXPECT_TRUE(w.usedCards().empty());
    EXPECT_TRUE(samePixels(shown(w, "Ah"), dlgVarnel::loadCardBitmap("Ah", 25, 35)));
    EXPECT_TRUE(samePixels(shown(w, "7d"), dlgVarnel::loadCardBitmap("7d", 25, 35)));
    // Clearing does not move the picker's target.
    EXPECT_EQ(w.currentField(), "P 1");
}

TEST_F(PickerTest, PickingReplacesTypedText) {
    dlgVarnel& w = start();
    w.fieldRow("P 1").text->ChangeValue("AA:xxyy");
    pick(w, {"9s"});
    EXPECT_EQ(text(w, "P 1"), "9s");
}

TEST_F(PickerTest, PickerRowsRunFromSpadesAceToClubsTwo) {
    dlgVarnel& w = start();
    const wxString suits = "shdc", ranks = "AKQJT98765432";
    // Positions on screen: one row per suit, ranks left to right.
    for (size_t s = 0; s < suits.length(); ++s) {
        for (size_t r = 0; r < ranks.length(); ++r) {
            const wxString code = wxString(ranks[r]) + suits[s];
            const wxPoint at = w.pickerButton(code)->GetPosition();
            const wxPoint rowStart = w.pickerButton(wxString(ranks[0]) + suits[s])->GetPosition();
            const wxPoint colTop = w.pickerButton(wxString(ranks[r]) + suits[0])->GetPosition();
            EXPECT_EQ(at.y, rowStart.y) << code;
            EXPECT_EQ(at.x, colTop.x) << code;
            if (r > 0) {
                EXPECT_GT(at.x, w.pickerButton(wxString(ranks[r - 1]) + suits[s])->GetPosition().x);
            }
            if (s > 0) {
                EXPECT_GT(at.y, w.pickerButton(wxString(ranks[r]) + suits[s - 1])->GetPosition().y);
            }
        }
    }
    EXPECT_EQ(w.pickerOrder().front(), "As");
    EXPECT_EQ(w.pickerOrder()[12], "2s");
    EXPECT_EQ(w.pickerOrder()[39], "Ac");
    EXPECT_EQ(w.pickerOrder().back(), "2c");
    // Every card of the deck appears exactly once.
    std::set<wxString> codes(w.pickerOrder().begin(), w.pickerOrder().end());
    EXPECT_EQ(codes.size(), 52u);
}

TEST_F(PickerTest, FieldRowsAppearInOrder) {
    dlgVarnel& w = start();
    const std::vector<wxString> expected = {"B1",  "B2",  "B3",  "D",   "P 1", "P 2", "P 3",
                                            "P 4", "P 5", "P 6", "P 7", "P 8", "P 9", "P10"};
    EXPECT_EQ(w.rowOrder(), expected);
    auto at = [&](const wxString& f) { return w.fieldRow(f).text->GetScreenPosition(); };
    EXPECT_EQ(at("B1").y, at("B3").y);
    EXPECT_LT(at("B1").x, at("B2").x);
    EXPECT_LT(at("B2").x, at("B3").x);
    EXPECT_GT(at("D").y, at("B1").y);
    for (size_t i = 5; i < expected.size(); ++i)
        EXPECT_GT(at(expected[i]).y, at(expected[i - 1]).y);
    // The request keys sort like the rows: boards, dead cards, then players 1 to 10.
    std::vector<wxString> keys;
    for (const auto& entry : w.fieldCtrls()) keys.push_back(entry.first);
    EXPECT_EQ(keys, expected);
}

TEST_F(PickerTest, MissingTableIsReportedOnce) {
    omahaEvaluator().attach(nullptr);
    start();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], L"Wrong or absent file omaha-7.bin!");
}

}  // namespace
}  // namespace varnel::test
