// Drawing of the equity distribution graph. A curve with more hands than the plot has pixel
// columns is drawn from evenly spaced hands (two per column), so that a 270,000-hand range costs
// no more to paint than a 600-hand one; a short list is drawn as steps, one per hand.

#include "ui/equity_graph.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/settings.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <utility>

namespace varnel {
namespace {

constexpr double kLeftMargin = 58, kRightMargin = 16, kTopMargin = 14, kBottomMargin = 46;
constexpr int kGridSteps = 10;     // gridlines every 10%
constexpr int kLegendProbes = 64;  // points of each curve checked against a legend position
const wxColour kGridColour(225, 225, 225);
const wxColour kAxisColour(90, 90, 90);

}  // namespace

std::vector<double> sortedEquities(const std::vector<HandEquity>& hands) {
    std::vector<double> equities;
    for (const HandEquity& h : hands)
        if (h.outcomes > 0) equities.push_back(h.equity);
    std::sort(equities.begin(), equities.end(), std::greater<>());
    return equities;
}

EquityGraph::EquityGraph(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(wxSize(480, 280));
    Bind(wxEVT_PAINT, &EquityGraph::OnPaint, this);
}

void EquityGraph::setCurves(std::vector<EquityCurve> curves, const wxString& message) {
    m_curves = std::move(curves);
    m_message = message;
    Refresh();
}

wxRect2DDouble EquityGraph::plotArea(wxSize size) {
    return wxRect2DDouble(kLeftMargin, kTopMargin,
                          std::max(1.0, size.x - kLeftMargin - kRightMargin),
                          std::max(1.0, size.y - kTopMargin - kBottomMargin));
}

void EquityGraph::draw(wxGraphicsContext& gc, wxSize size) const {
    gc.SetAntialiasMode(wxANTIALIAS_DEFAULT);
    const wxRect2DDouble plot = plotArea(size);
    auto xAt = [&](double share) { return plot.m_x + share * plot.m_width; };
    auto yAt = [&](double equity) { return plot.m_y + (1 - equity) * plot.m_height; };

    gc.SetBrush(*wxWHITE_BRUSH);
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.DrawRectangle(0, 0, size.x, size.y);

    // Gridlines and their labels.
    const wxFont font = wxNORMAL_FONT->Smaller();
    gc.SetFont(font, kAxisColour);
    gc.SetPen(wxPen(kGridColour, 1));
    for (int i = 0; i <= kGridSteps; ++i) {
        const double f = double(i) / kGridSteps;
        gc.StrokeLine(xAt(f), plot.m_y, xAt(f), plot.m_y + plot.m_height);
        gc.StrokeLine(plot.m_x, yAt(f), plot.m_x + plot.m_width, yAt(f));
        const wxString label = wxString::Format("%d%%", i * 100 / kGridSteps);
        double w, h;
        gc.GetTextExtent(label, &w, &h);
        gc.DrawText(label, xAt(f) - w / 2, plot.m_y + plot.m_height + 4);
        gc.DrawText(label, plot.m_x - w - 6, yAt(f) - h / 2);
    }
    gc.SetPen(wxPen(kAxisColour, 1));
    gc.StrokeLine(plot.m_x, plot.m_y, plot.m_x, plot.m_y + plot.m_height);
    gc.StrokeLine(plot.m_x, plot.m_y + plot.m_height, plot.m_x + plot.m_width,
                  plot.m_y + plot.m_height);

    // Axis titles.
    gc.SetFont(*wxNORMAL_FONT, kAxisColour);
    double w, h;
    const wxString xTitle = "Share of the range (hands sorted by equity, best first)";
    gc.GetTextExtent(xTitle, &w, &h);
    gc.DrawText(xTitle, plot.m_x + (plot.m_width - w) / 2, size.y - h - 4);
    const wxString yTitle = "Equity";
    gc.GetTextExtent(yTitle, &w, &h);
    gc.DrawText(yTitle, 2, plot.m_y + (plot.m_height + w) / 2, M_PI / 2);

    if (m_curves.empty()) {
        gc.GetTextExtent(m_message, &w, &h);
        gc.DrawText(m_message, plot.m_x + (plot.m_width - w) / 2,
                    plot.m_y + (plot.m_height - h) / 2);
        return;
    }

    // Curves, the first on top; each aggregate as a dashed line labelled at its right end.
    gc.Clip(plot.m_x - 2, plot.m_y - 2, plot.m_width + 4, plot.m_height + 4);
    for (auto it = m_curves.rbegin(); it != m_curves.rend(); ++it) {
        const EquityCurve& curve = *it;
        const std::size_t n = curve.equities.size();
        if (n == 0) continue;
        const std::size_t steps = std::min<std::size_t>(n, 2 * std::size_t(plot.m_width) + 2);
        wxGraphicsPath path = gc.CreatePath();
        for (std::size_t k = 0; k < steps; ++k) {
            const double y = yAt(curve.equities[k * n / steps]);
            const double x0 = xAt(double(k) / steps), x1 = xAt(double(k + 1) / steps);
            if (k == 0)
                path.MoveToPoint(x0, y);
            else
                path.AddLineToPoint(x0, y);
            path.AddLineToPoint(x1, y);
        }
        gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(curve.colour).Width(2.5)));
        gc.StrokePath(path);
        gc.SetPen(
            gc.CreatePen(wxGraphicsPenInfo(curve.colour).Width(1.5).Style(wxPENSTYLE_SHORT_DASH)));
        gc.StrokeLine(plot.m_x, yAt(curve.aggregate), plot.m_x + plot.m_width,
                      yAt(curve.aggregate));
    }
    gc.ResetClip();

    // The legend, top right, on white: a swatch, the label and the aggregate of each curve.
    gc.SetFont(*wxNORMAL_FONT, *wxBLACK);
    std::vector<wxString> lines;
    double legendWidth = 0, lineHeight = 0;
    for (const EquityCurve& curve : m_curves) {
        lines.push_back(wxString::Format("%s: %.2f%%", curve.label, 100 * curve.aggregate));
        gc.GetTextExtent(lines.back(), &w, &h);
        legendWidth = std::max(legendWidth, w);
        lineHeight = std::max(lineHeight, h);
    }
    const double swatch = 22, pad = 6;
    const double boxW = legendWidth + swatch + 3 * pad,
                 boxH = lines.size() * (lineHeight + 4) + pad;
    // The first corner that no curve and no aggregate line crosses (top right if none is free).
    auto crossed = [&](double x, double y) {
        const double s0 = (x - plot.m_x) / plot.m_width, s1 = (x + boxW - plot.m_x) / plot.m_width;
        const double top = 1 - (y - plot.m_y) / plot.m_height, bottom = top - boxH / plot.m_height;
        auto inside = [&](double e) { return e >= bottom && e <= top; };
        for (const EquityCurve& curve : m_curves) {
            if (inside(curve.aggregate)) return true;
            const std::size_t n = curve.equities.size();
            for (int k = 0; k <= kLegendProbes && n; ++k) {
                const double share = s0 + (s1 - s0) * k / kLegendProbes;
                if (inside(curve.equities[std::min(n - 1, std::size_t(share * n))])) return true;
            }
        }
        return false;
    };
    const double left = plot.m_x + 8, right = plot.m_x + plot.m_width - boxW - 8;
    const double high = plot.m_y + 8, low = plot.m_y + plot.m_height - boxH - 8;
    double boxX = right, boxY = high;
    for (auto [x, y] : {std::pair(right, high), std::pair(left, low), std::pair(right, low),
                        std::pair(left, high)}) {
        if (!crossed(x, y)) {
            boxX = x;
            boxY = y;
            break;
        }
    }
    gc.SetBrush(wxBrush(wxColour(255, 255, 255, 230)));
    gc.SetPen(wxPen(kGridColour.ChangeLightness(80), 1));
    gc.DrawRectangle(boxX, boxY, boxW, boxH);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double y = boxY + pad / 2 + i * (lineHeight + 4) + 2;
        gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(m_curves[i].colour).Width(2.5)));
        gc.StrokeLine(boxX + pad, y + lineHeight / 2, boxX + pad + swatch, y + lineHeight / 2);
        gc.DrawText(lines[i], boxX + 2 * pad + swatch, y);
    }
}

bool EquityGraph::savePng(const wxString& path, wxSize size) const {
    if (size == wxDefaultSize) size = GetClientSize();
    size.IncTo(wxSize(1, 1));
    wxBitmap bitmap(size, 24);
    {
        wxMemoryDC dc(bitmap);
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
        if (!gc) return false;
        draw(*gc, size);
    }
    wxLogNull quiet;  // the caller says why a file could not be written
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    return bitmap.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG);
}

void EquityGraph::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (gc) draw(*gc, GetClientSize());
}

}  // namespace varnel
