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
    pick(w, {"As", "Kd", "Qh", "Jc"});
    EXPECT_EQ(w.currentField(), "P 2");  // the full field passed the picker on
    w.selectField("P 1");
    pick(w, {"Ts"});
    EXPECT_EQ(text(w, "P 1"), "AsKdQhJc");
    EXPECT_EQ(w.fieldCards("P 1").size(), 4u);
    // The refused fifth card is neither used nor marked on the picker.
    EXPECT_FALSE(w.usedCards().count("Ts"));
    EXPECT_TRUE(samePixels(shown(w, "Ts"), CardPicker::loadCardBitmap("Ts", 25, 35)));
    EXPECT_TRUE(samePixels(shown(w, "As"), CardPicker::loadCardBitmap("x", 25, 35)));
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
    EXPECT_TRUE(samePixels(shown(w, "As"), CardPicker::loadCardBitmap("As", 25, 35)));
    // Now free, the card goes to the other field.
    click(w.fieldRow("P 2").select);
    pick(w, {"As"});
    EXPECT_EQ(text(w, "P 2"), "As");
}

TEST_F(PickerTest, RandomAndClearGiveTheFieldsCardsBack) {
    dlgVarnel& w = start();
    pick(w, {"Ah", "7d"});
    click(w.fieldRow("P 3").random);
    EXPECT_EQ(w.currentField(), "P 3");
    EXPECT_EQ(text(w, "P 3"), "random");
    EXPECT_TRUE(w.usedCards().count("Ah"));
    click(w.fieldRow("P 1").random);
    EXPECT_EQ(text(w, "P 1"), "random");
    EXPECT_TRUE(w.usedCards().empty());
    EXPECT_TRUE(samePixels(shown(w, "7d"), CardPicker::loadCardBitmap("7d", 25, 35)));
    w.selectField("P 2");
    pick(w, {"Ah"});
    click(w.fieldRow("P 2").clear);
    EXPECT_EQ(text(w, "P 2"), "");
    EXPECT_TRUE(w.usedCards().empty());
    EXPECT_TRUE(samePixels(shown(w, "Ah"), CardPicker::loadCardBitmap("Ah", 25, 35)));
    // Clearing does not move the picker's target.
    EXPECT_EQ(w.currentField(), "P 2");
}

TEST_F(PickerTest, FocusMakesAFieldTheHighlightedTarget) {
    dlgVarnel& w = start();
    auto background = [&](const char* f) { return w.fieldRow(f).text->GetBackgroundColour(); };
    EXPECT_NE(background("P 1"), background("P 2"));
    wxTextCtrl* p3 = w.fieldRow("P 3").text;
    wxFocusEvent focus(wxEVT_SET_FOCUS, p3->GetId());
    focus.SetEventObject(p3);
    p3->HandleWindowEvent(focus);
    EXPECT_EQ(w.currentField(), "P 3");
    EXPECT_EQ(background("P 1"), background("P 2"));
    EXPECT_NE(background("P 3"), background("P 2"));
    // A picked card replaces typed text.
    p3->ChangeValue("AA:xxyy");
    pick(w, {"As"});
    EXPECT_EQ(text(w, "P 3"), "As");
}

TEST_F(PickerTest, PickerRowsRunFromSpadesAceToClubsTwo) {
    dlgVarnel& w = start();
    // One row per suit, ranks left to right: each button right of its left neighbour, below
    // its upper neighbour, and aligned with the first of its row and of its column.
    const wxString ranks = "AKQJT98765432", suits = "shdc";
    const auto code = [&](int r, int s) { return wxString(ranks[r]) + suits[s]; };
    const auto at = [&](int r, int s) { return w.pickerButton(code(r, s))->GetPosition(); };
    std::vector<wxString> order;
    for (int s = 0; s < 4; ++s)
        for (int r = 0; r < 13; ++r) {
            order.push_back(code(r, s));
            EXPECT_EQ(at(r, s).y, at(0, s).y) << code(r, s);
            EXPECT_EQ(at(r, s).x, at(r, 0).x) << code(r, s);
            EXPECT_TRUE(r == 0 || at(r, s).x > at(r - 1, s).x) << code(r, s);
            EXPECT_TRUE(s == 0 || at(r, s).y > at(r, s - 1).y) << code(r, s);
        }
    EXPECT_EQ(w.pickerOrder(), order);
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
    for (size_t i = 5; i < expected.size(); ++i) {
        EXPECT_GT(at(expected[i]).y, at(expected[i - 1]).y);
        EXPECT_EQ(at(expected[i]).x, at("P 1").x) << expected[i];
    }
    // A board field shows five cards; the players' panel five rows and its scroll bar.
    EXPECT_GE(w.fieldRow("B1").text->GetSize().x, w.GetTextExtent("QhQhQhQhQh").x);
    EXPECT_TRUE(w.playerPanel()->HasScrollbar(wxVERTICAL));
    EXPECT_GE(w.playerPanel()->GetClientSize().y, 5 * (at("P 2").y - at("P 1").y));
    // The request keys sort like the rows: boards, dead cards, then players 1 to 10.
    std::vector<wxString> keys;
    for (const auto& entry : w.fieldCtrls()) keys.push_back(entry.first);
    EXPECT_EQ(keys, expected);
}

TEST_F(PickerTest, MissingTableIsReportedOnce) {
    omahaEvaluator().attach(nullptr);
    start();
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"Wrong or absent file omaha-7.bin!"});
}

}  // namespace
}  // namespace varnel::test
