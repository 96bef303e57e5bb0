// The range-language help. The examples and their sentences are written here; every hand count
// on the page is counted by the range module when the page is built, for 4 and 5 hole cards
// (6 and 7 cards name up to 133,784,560 hands per term: too many to expand for a help page).

#include "ui/range_help.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>
#include <wx/weakref.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "core/cards.h"
#include "core/game.h"
#include "engine/request.h"
#include "range/range_expression.h"

namespace varnel {
namespace {

constexpr int kSmallHand = 4;
constexpr int kLargerHand = 5;

const wchar_t* const kFourCardNote = L" Builds four-card hands in every game.";

wxString grouped(std::uint64_t n) {
    return wxString(groupedNumber(n));
}

wxString countCell(const std::wstring& text, int holeCards) {
    const ExampleCount count = exampleHandCount(text, holeCards);
    if (count.hands < 0) return "-";
    wxString cell = grouped(static_cast<std::uint64_t>(count.hands));
    if (count.entries != count.hands)
        cell += "<br><font size=-1>" + grouped(static_cast<std::uint64_t>(count.entries)) +
                " entries</font>";
    return cell;
}

wxString escaped(const wxString& text) {
    wxString out = text;
    out.Replace("&", "&amp;");
    out.Replace("<", "&lt;");
    out.Replace(">", "&gt;");
    return out;
}

// A table of examples: family, example, both counts, meaning.
wxString exampleTable(const std::vector<RangeExample>& rows, const wxString& firstHeader) {
    wxString html = "<table border=1 cellpadding=3 cellspacing=0><tr bgcolor=#e8e8e8><th>" +
                    firstHeader +
                    "</th><th>Example</th><th>Hands,<br>4 cards</th><th>Hands,<br>5 cards</th>"
                    "<th>Meaning</th></tr>";
    for (const RangeExample& row : rows) {
        html += "<tr><td>" + escaped(row.family) + "</td><td><tt><b>" + escaped(row.text) +
                "</b></tt></td><td align=right>" + countCell(row.text, kSmallHand) +
                "</td><td align=right>" + countCell(row.text, kLargerHand) + "</td><td>" +
                escaped(row.meaning) + (row.fourCards ? kFourCardNote : L"") + "</td></tr>";
    }
    return html + "</table>";
}

wxString gamesTable() {
    wxString html =
        "<table border=1 cellpadding=3 cellspacing=0><tr bgcolor=#e8e8e8><th>Game</th>"
        "<th>Hole cards</th><th>Possible hands</th><th>Pot</th></tr>";
    for (const GameType& game : kGameTypes) {
        html += "<tr><td>" + wxString(std::wstring(game.name)) + "</td><td align=right>" +
                wxString::Format("%d", game.holeCards) + "</td><td align=right>" +
                grouped(binomial(kDeckSize, game.holeCards)) + "</td><td>" +
                (isHiLoGame(game.name) ? "high and eight-or-better low" : "high") + "</td></tr>";
    }
    return html + "</table>";
}

}  // namespace

const std::vector<RangeExample>& rangeOperatorExamples() {
    static const std::vector<RangeExample> rows = {
        {L", (or)", L"AA,KK", L"Hands of either side."},
        {L": (and)", L"AA:ss", L"Hands of both sides: aces with two spades."},
        {L"! (but not)", L"AA!AAA", L"Hands of the left side that the right side does not name."},
        {L"( )", L"(AA,KK):ss", L"Groups: aces or kings, with two spades."},
        {L"$nt", L"AA$nt", L"No trips: the same as !RRR."},
        {L"four letters", L"AAKK",
         L"Four rank letters in a 4-card game: rainbow hands only. With 5 cards or more this form "
         L"names no hand."},
        {L": of two pairs", L"AA:KK", L"Every hand holding two aces and two kings."},
    };
    return rows;
}

const std::vector<RangeExample>& rangePatternExamples() {
    // In the order the language tries them: where two could read a text, the earlier one wins.
    static const std::vector<RangeExample> rows = {
        {L"Rainbow rule", L"JT98",
         L"In a 4-card game four letters with three ranks in a row name the hands of those ranks "
         L"in four different suits only; with 5 cards or more they are four ranks (below)."},
        {L"Rundowns", L"$0G",
         L"Four connected ranks, 2345 to JQKA. $1G: one single gap at the top, $2G: one double "
         L"gap.",
         true},
        {L"Card", L"As", L"Every hand holding the card."},
        {L"Rank", L"A", L"At least one card of the rank."},
        {L"Pair", L"QQ", L"At least two cards of the rank."},
        {L"Trips", L"777", L"At least three cards of the rank."},
        {L"Quads", L"2222", L"All four cards of the rank."},
        {L"Pair and up", L"QQ+", L"A pair of queens or of any higher rank.", true},
        {L"Two ranks", L"AK", L"At least one card of each rank."},
        {L"Two ranks and up", L"T9+", L"T9, then J T, Q J, K Q and A K."},
        {L"Three ranks", L"AKQ", L"At least one card of each rank."},
        {L"Three ranks down", L"KQJ-",
         L"KQJ, QJT and so on down to 432, with any fourth card (4 cards: the rainbow rule takes "
         L"it, no hand).",
         true},
        {L"Pair and a kicker", L"AAK", L"Two aces and a king, the letters in any order."},
        {L"Four ranks", L"AKQJ", L"With 5 cards or more: at least one card of each rank."},
        {L"Four ranks down", L"AKQT-",
         L"AKQT in all suits, then each rank one lower, down to 6542.", true},
        {L"Pair and two", L"AAKQ", L"A pair of aces, a king and a queen.", true},
        {L"Pair and two, up", L"5532+", L"5532, 6643 and so on, until the highest rank is the ace.",
         true},
        {L"Trips down", L"999-", L"Three cards of one rank, nines or lower (4 cards: no hand).",
         true},
        {L"Span", L"KQ-54", L"54, 65, 76 and so on up to KQ.", true},
        {L"Cards with wildcards", L"AsKsXxXh",
         L"One code per hole card, position by position: Xx any card, Xh any heart, Ax any ace."},
        {L"Cards and any others", L"AsKs", L"Every hand holding these cards; the rest are free."},
        {L"Repeated rank", L"RR", L"A pair of any rank; RRR trips, RRRR quads."},
        {L"Two pair", L"OORR", L"Two cards of one rank and two of another.", true},
        {L"Rank at most", L"8-", L"At least one card of rank eight or lower.", true},
        {L"Suited rank", L"Axxy", L"An ace that shares its suit with one or two other cards.",
         true},
        {L"Card and its suit", L"Ash",
         L"6 and 7 cards: the card and another heart; with 4 and 5 cards the same as As."},
        {L"Two of a suit", L"ss", L"At least two spades."},
        {L"Suit shapes", L"xxy", L"Two or three suits: neither monotone nor rainbow.", true},
        {L"Suit shapes", L"xxxy", L"Three cards of one suit and one of another.", true},
        {L"Double-suited rank", L"Axxyy", L"Double-suited with an ace.", true},
        {L"Suit shapes", L"xxyy", L"Two cards of one suit and two of another.", true},
        {L"Suit shapes", L"xxyz", L"Two cards of one suit and one each of two others.", true},
        {L"Every hand", L"*", L"All hands of the game."},
    };
    return rows;
}

ExampleCount exampleHandCount(const std::wstring& text, int holeCards) {
    if (text.find(L'%') != std::wstring::npos)
        return {kRangeOrderingUnavailable, kRangeOrderingUnavailable};
    HandList list;
    const std::int32_t entries = parseRangeExpression(text, holeCards, list);
    if (entries < 0) return {entries, entries};
    std::sort(list.hands.begin(), list.hands.end());
    const auto different = std::unique(list.hands.begin(), list.hands.end()) - list.hands.begin();
    return {different, entries};
}

wxString rangeHelpPage() {
    wxString html = "<html><body>";
    html +=
        "<h3>The range language</h3><p>A player field holds the player's hole cards "
        "(<tt>AsKsQhJh</tt>), the word <tt>random</tt>, or a range: terms joined by operators. "
        "Ranks are <tt>2 3 4 5 6 7 8 9 T J Q K A</tt>, suits <tt>c d h s</tt> (lower case); "
        "a card is a rank and a suit (<tt>Td</tt>). Blanks are ignored, and <tt>a k q j t</tt> "
        "may be typed in lower case. Every count below is the number of hands the example names, "
        "counted now; the count beside a field also leaves out hands that hold known cards. Where "
        "a form lists some hands more than once, the entries are counted too: a run deals such "
        "a hand as often as it is listed.</p>";
    html +=
        "<h4>Operators</h4><p><tt>!</tt> binds tightest, then <tt>:</tt>, then "
        "<tt>,</tt>; parentheses group.</p>";
    html += exampleTable(rangeOperatorExamples(), "Operator");
    html +=
        "<h4>Patterns</h4><p>Tried in this order: the first that reads a term names its "
        "hands. A term that no pattern reads names no hands.</p>";
    html += exampleTable(rangePatternExamples(), "Pattern");
    html +=
        "<h4>Percentage ranges</h4><p>A number above 0 and at most 100 followed by "
        "<tt>%</tt> (<tt>10%</tt>, <tt>12.5%</tt>) names the best hands of the game up to "
        "that share of all its hands, by an ordering of hand classes for each number of hole "
        "cards. It joins other terms like any pattern (<tt>10%:xxyy</tt>). 10% of Omaha is "
        "about " +
        grouped(binomial(kDeckSize, kSmallHand) / 10) + " hands, of 5-card Omaha about " +
        grouped(binomial(kDeckSize, kLargerHand) / 10) +
        "; a class is never split, so the count is a little lower. The orderings are made "
        "once on each machine; until a game's ordering is ready its percentage ranges cannot "
        "be used, and the status line says which games are ready.</p>";
    html +=
        "<h4>Games and hand sizes</h4><p>A range names hands of the game's number of hole "
        "cards; in a game of more, a pattern that builds four-card hands gives its player "
        "four hole cards only.</p>";
    html += gamesTable();
    return html + "</body></html>";
}

dlgRangeHelp::dlgRangeHelp(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Range language", wxDefaultPosition, wxSize(820, 640),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_page =
        new wxHtmlWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxHW_SCROLLBAR_AUTO);
    // The counts expand some millions of hands: they are made on a thread of their own and the
    // page arrives when they are done. The weak reference is made, read and destroyed on this
    // thread only: the worker just moves the pointer that owns it into the deferred call.
    m_page->SetPage("<html><body><p>Counting the examples' hands...</p></body></html>");
    auto self = std::make_shared<wxWeakRef<dlgRangeHelp>>(this);
    std::thread([self = std::move(self)]() mutable {
        wxString page = rangeHelpPage();
        wxTheApp->CallAfter([self = std::move(self), page = std::move(page)] {
            if (*self) (*self)->showPage(page);
        });
    }).detach();
    sizer->Add(m_page, 1, wxEXPAND | wxALL, 5);
    // The dialog's Esc closes through its cancel button.
    auto* close = new wxButton(this, wxID_CANCEL, "Close");
    sizer->Add(close, 0, wxALIGN_RIGHT | wxALL, 5);
    SetSizer(sizer);
    SetEscapeId(wxID_CANCEL);
    SetMinSize(wxSize(480, 320));
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Destroy(); }, wxID_CANCEL);
}

void dlgRangeHelp::showPage(const wxString& html) {
    m_page->SetPage(html);
    m_ready = true;
}

}  // namespace varnel
