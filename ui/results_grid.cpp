#include "ui/results_grid.h"

#include <string>

#include "ui/result_export.h"

namespace varnel {
namespace {

constexpr int kPlayerCol = 0;
constexpr int kTextCol = 1;
constexpr int kFirstFigureCol = 2;
// Height beyond the rows and the labels, so that ten rows show without a scroll bar.
constexpr int kSlack = 4;

}  // namespace

ResultsGrid::ResultsGrid(wxWindow* parent) : wxGrid(parent, wxID_ANY) {
    CreateGrid(0, 0, wxGrid::wxGridSelectCells);
    EnableEditing(false);
    EnableGridLines(true);
    EnableDragGridSize(false);
    SetMargins(0, 0);
    EnableDragColMove(false);
    EnableDragColSize(true);
    SetColLabelSize(30);
    EnableDragRowSize(false);
    SetRowLabelSize(0);
    SetColLabelAlignment(wxALIGN_CENTER, wxALIGN_CENTER);
    SetDefaultCellAlignment(wxALIGN_LEFT, wxALIGN_CENTER);
    // Room for every player of a run without scrolling.
    SetMinSize(wxSize(-1, GetColLabelSize() + kMaxPlayers * GetDefaultRowSize() + kSlack));
}

void ResultsGrid::resize(int rows, bool hiLo, int boards) {
    const std::vector<std::string> figures = figureColumns(hiLo, boards);
    const int cols = kFirstFigureCol + static_cast<int>(figures.size());
    if (GetNumberRows() < rows) AppendRows(rows - GetNumberRows());
    if (GetNumberRows() > rows) DeleteRows(rows, GetNumberRows() - rows);
    if (GetNumberCols() < cols) AppendCols(cols - GetNumberCols());
    if (GetNumberCols() > cols) DeleteCols(cols, GetNumberCols() - cols);
    SetColLabelValue(kPlayerCol, "Player");
    SetColLabelValue(kTextCol, "Hand / range");
    for (int c = kFirstFigureCol; c < cols; ++c) SetColLabelValue(c, figures[c - kFirstFigureCol]);
}

void ResultsGrid::showPlayers(const std::vector<PlayerField>& players, bool hiLo, int boards) {
    resize(static_cast<int>(players.size()), hiLo, boards);
    for (int row = 0; row < static_cast<int>(players.size()); ++row) {
        for (int col = 0; col < GetNumberCols(); ++col) SetCellValue(row, col, wxEmptyString);
        SetCellValue(row, kPlayerCol, wxString(players[row].key));
        SetCellValue(row, kTextCol, wxString(players[row].text));
    }
}

void ResultsGrid::showResult(const EquityResult& result, bool hiLo, int boards) {
    if (result.deals <= 0) return;
    for (int row = 0; row < GetNumberRows() && row < kMaxPlayers; ++row) {
        const std::vector<std::string> cells = figureCells(result, row, hiLo, boards);
        for (std::size_t c = 0;
             c < cells.size() && kFirstFigureCol + c < static_cast<std::size_t>(GetNumberCols());
             ++c)
            SetCellValue(row, kFirstFigureCol + static_cast<int>(c), cells[c]);
    }
}

void ResultsGrid::clearRows(bool hiLo) {
    resize(0, hiLo, 1);
}

}  // namespace varnel
