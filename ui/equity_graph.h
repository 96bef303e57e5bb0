#pragma once
// The equity distribution graph: each curve is one player's live hands sorted by equity, best
// first (x: share of the hands 0-100%, y: equity 0-100%), with the player's aggregate equity as a
// dashed line of the same colour. Drawn with wxGraphicsContext, antialiased, at whatever size the
// window has; the same drawing is saved as PNG.

#include <wx/graphics.h>
#include <wx/window.h>

#include <vector>

#include "engine/breakdown.h"

namespace varnel {

struct EquityCurve {
    wxString label;                // legend text, e.g. "P 1 AA (1,225 hands)"
    std::vector<double> equities;  // best first
    double aggregate = 0;          // the player's equity over all outcomes
    wxColour colour;
};

// The equities of the live hands (outcomes > 0) of `hands`, best first.
std::vector<double> sortedEquities(const std::vector<HandEquity>& hands);

class EquityGraph : public wxWindow {
  public:
    explicit EquityGraph(wxWindow* parent);

    // Shows `curves` (the first is drawn last, on top); without curves `message` stands in the
    // middle of the empty axes.
    void setCurves(std::vector<EquityCurve> curves, const wxString& message = wxString());
    const std::vector<EquityCurve>& curves() const { return m_curves; }

    // Draws the whole graph into `gc`, which covers `size` pixels.
    void draw(wxGraphicsContext& gc, wxSize size) const;
    // Draws the graph at `size` (the window's when defaulted) and writes it as PNG to `path`;
    // false when the file cannot be written.
    bool savePng(const wxString& path, wxSize size = wxDefaultSize) const;

    // The rectangle of the axes within a drawing of `size`; the margins hold the labels.
    static wxRect2DDouble plotArea(wxSize size);

  private:
    void OnPaint(wxPaintEvent& event);

    std::vector<EquityCurve> m_curves;
    wxString m_message;
};

}  // namespace varnel
