#pragma once
// The next card: a 13 x 4 grid (ranks A to 2 left to right, suits spades, hearts, diamonds,
// clubs top to bottom), each cell coloured by the hero's equity when that card comes: green above
// the hero's equity now, red below, deeper the farther (full colour at 25 points). A card that
// cannot come (on a board, dead, or held by a fixed hand) stays blank. Hovering a cell shows its
// figures in a tooltip and hands them to the window.

#include <wx/window.h>

#include <array>
#include <functional>
#include <vector>

#include "engine/breakdown.h"

namespace varnel {

class NextCardGrid : public wxWindow {
  public:
    explicit NextCardGrid(wxWindow* parent);

    // Shows `cards`; `players` names the players of the equities (e.g. "P 1"), `hero` is the
    // index of the one the colours follow and `heroNow` its equity before the card comes.
    void setCards(const NextCards& cards, std::vector<wxString> players, int hero, double heroNow);
    const NextCards& cards() const { return m_cards; }
    // Called with the text of the cell under the mouse ("" when it leaves the cells).
    void onHover(std::function<void(const wxString&)> show) { m_onHover = std::move(show); }

    // The card of the cell at `point` (client coordinates), kNoCard outside every cell.
    CardId cardAt(wxPoint point) const;
    // The cell of `card` in client coordinates.
    wxRect cellRect(CardId card) const;
    // The fill of the cell of `card`: white when the card cannot come.
    wxColour cellColour(CardId card) const;
    // "Ks comes (2.27% of outcomes, 1,234 outcomes): P 1 61.23%, P 2 38.77%", "" when it cannot.
    wxString describe(CardId card) const;

  private:
    void OnPaint(wxPaintEvent& event);
    void OnMotion(wxMouseEvent& event);
    wxSize cellSize() const;

    std::array<const NextCard*, kDeckSize> m_byCard{};
    NextCards m_cards;
    std::vector<wxString> m_players;
    int m_hero = 0;
    double m_heroNow = 0;
    CardId m_hovered = kNoCard;
    std::function<void(const wxString&)> m_onHover;
};

}  // namespace varnel
