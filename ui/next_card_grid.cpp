#include "ui/next_card_grid.h"

#include <wx/dcbuffer.h>
#include <wx/graphics.h>

#include <algorithm>
#include <memory>

#include "engine/request.h"

namespace varnel {
namespace {

constexpr int kHeaderWidth = 22, kHeaderHeight = 20;
constexpr int kMinCellWidth = 38, kMinCellHeight = 34;
constexpr double kFullColourAt = 0.25;           // equity difference that gets the deepest colour
constexpr int kSuitRows[kSuits] = {3, 2, 1, 0};  // suit index of each row: s, h, d, c
const wchar_t* const kSuitSymbols = L"\u2663\u2666\u2665\u2660";  // c, d, h, s
const wxColour kBetter(60, 170, 75), kWorse(215, 60, 50);

int rowOfSuit(int suit) {
    return static_cast<int>(std::find(kSuitRows, kSuitRows + kSuits, suit) - kSuitRows);
}

wxColour blend(const wxColour& to, double t) {
    auto mix = [t](int c) { return static_cast<unsigned char>(255 + (c - 255) * t); };
    return wxColour(mix(to.Red()), mix(to.Green()), mix(to.Blue()));
}

wxString cardText(CardId card) {
    return wxString(std::wstring(cardCodes[card]));
}

}  // namespace

NextCardGrid::NextCardGrid(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(wxSize(kHeaderWidth + kRanks * kMinCellWidth + 1,
                      kHeaderHeight + kSuits * kMinCellHeight + 1));
    Bind(wxEVT_PAINT, &NextCardGrid::OnPaint, this);
    Bind(wxEVT_MOTION, &NextCardGrid::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent&) {
        m_hovered = kNoCard;
        Refresh();
        if (m_onHover) m_onHover(wxString());
    });
}

void NextCardGrid::setCards(const NextCards& cards, std::vector<wxString> players, int hero,
                            double heroNow) {
    m_cards = cards;
    m_players = std::move(players);
    m_hero = hero;
    m_heroNow = heroNow;
    m_byCard.fill(nullptr);
    for (const NextCard& c : m_cards.cards)
        if (c.card >= 0 && c.card < kDeckSize) m_byCard[c.card] = &c;
    Refresh();
}

wxSize NextCardGrid::cellSize() const {
    const wxSize client = GetClientSize();
    return wxSize(std::max(1, (client.x - kHeaderWidth - 1) / kRanks),
                  std::max(1, (client.y - kHeaderHeight - 1) / kSuits));
}

wxRect NextCardGrid::cellRect(CardId card) const {
    const wxSize cell = cellSize();
    const int column = kRanks - 1 - rankOf(card);
    return wxRect(kHeaderWidth + column * cell.x, kHeaderHeight + rowOfSuit(suitOf(card)) * cell.y,
                  cell.x, cell.y);
}

CardId NextCardGrid::cardAt(wxPoint point) const {
    const wxSize cell = cellSize();
    const int column = (point.x - kHeaderWidth) / cell.x, row = (point.y - kHeaderHeight) / cell.y;
    if (point.x < kHeaderWidth || point.y < kHeaderHeight || column >= kRanks || row >= kSuits)
        return kNoCard;
    return makeCard(kRanks - 1 - column, kSuitRows[row]);
}

wxColour NextCardGrid::cellColour(CardId card) const {
    const NextCard* c = m_byCard[card];
    if (!c) return *wxWHITE;
    const double diff = std::clamp((c->equity[m_hero] - m_heroNow) / kFullColourAt, -1.0, 1.0);
    // A cell never turns fully white: a card that can come stays visibly filled.
    const double depth = 0.12 + 0.88 * std::abs(diff);
    return blend(diff >= 0 ? kBetter : kWorse, depth);
}

wxString NextCardGrid::describe(CardId card) const {
    const NextCard* c = card == kNoCard ? nullptr : m_byCard[card];
    if (!c) return wxString();
    wxString text = wxString::Format("%s comes (%.2f%% of outcomes, %s outcomes):", cardText(card),
                                     100 * c->weight, wxString(groupedNumber(c->outcomes)));
    for (std::size_t p = 0; p < m_players.size() && p < c->equity.size(); ++p)
        text += wxString::Format("%s %s %.2f%%", p ? "," : "", m_players[p], 100 * c->equity[p]);
    return text;
}

void NextCardGrid::OnMotion(wxMouseEvent& event) {
    const CardId card = cardAt(event.GetPosition());
    if (card == m_hovered) return;
    m_hovered = card;
    const wxString text = describe(card);
    SetToolTip(text);
    Refresh();
    if (m_onHover) m_onHover(text);
}

void NextCardGrid::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(GetParent()->GetBackgroundColour());
    dc.Clear();
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (!gc) return;
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    const wxSize cell = cellSize();
    const wxFont small = wxNORMAL_FONT->Smaller();
    double w, h;
    auto centred = [&](const wxString& text, double x, double y, double width) {
        gc->GetTextExtent(text, &w, &h);
        gc->DrawText(text, x + (width - w) / 2, y);
    };
    // Rank letters above, suit symbols (in their colours) on the left.
    gc->SetFont(*wxNORMAL_FONT, *wxBLACK);
    for (int column = 0; column < kRanks; ++column)
        centred(wxString(kRankChars[kRanks - 1 - column]), kHeaderWidth + column * cell.x, 2,
                cell.x);
    for (int row = 0; row < kSuits; ++row) {
        const int suit = kSuitRows[row];
        const bool red = suit == 1 || suit == 2;
        gc->SetFont(*wxNORMAL_FONT, red ? wxColour(200, 30, 30) : *wxBLACK);
        gc->GetTextExtent(wxString(kSuitSymbols[suit]), &w, &h);
        gc->DrawText(wxString(kSuitSymbols[suit]), (kHeaderWidth - w) / 2,
                     kHeaderHeight + row * cell.y + (cell.y - h) / 2);
    }
    for (CardId card = 0; card < kDeckSize; ++card) {
        const wxRect r = cellRect(card);
        gc->SetBrush(wxBrush(cellColour(card)));
        gc->SetPen(wxPen(wxColour(170, 170, 170), 1));
        gc->DrawRectangle(r.x + 0.5, r.y + 0.5, r.width, r.height);
        const NextCard* c = m_byCard[card];
        if (!c) continue;
        gc->SetFont(small, *wxBLACK);
        centred(cardText(card), r.x, r.y + 2, r.width);
        centred(wxString::Format("%.1f", 100 * c->equity[m_hero]), r.x, r.y + r.height / 2 + 1,
                r.width);
    }
    if (m_hovered != kNoCard) {
        const wxRect r = cellRect(m_hovered);
        gc->SetBrush(*wxTRANSPARENT_BRUSH);
        gc->SetPen(wxPen(*wxBLACK, 2));
        gc->DrawRectangle(r.x + 1, r.y + 1, r.width - 1, r.height - 1);
    }
}

}  // namespace varnel
