#include "ui/results_grid.h"

#include <iterator>
#include <string>

namespace varnel {
namespace {

enum Column { kPlayerCol, kTextCol, kEquityCol, kWinCol, kTieCol, kErrorCol, kHighCol };
const char* const kColumnLabels[] = {"Player", "Hand / range", "Equity", "Win",  "Tie",
                                     "+/-",    "High",         "Low",    "Scoop"};
constexpr int kHighColumns = kHighCol;
constexpr int kHiLoColumns = static_cast<int>(std::size(kColumnLabels));
// Height beyond the rows and the labels, so that ten rows show without a scroll bar.
constexpr int kSlack = 4;

int columnsOf(bool hiLo) {
    return hiLo ? kHiLoColumns : kHighColumns;
}

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

void ResultsGrid::resize(int rows, int cols) {
    if (GetNumberRows() < rows) AppendRows(rows - GetNumberRows());
    if (GetNumberRows() > rows) DeleteRows(rows, GetNumberRows() - rows);
    if (GetNumberCols() < cols) AppendCols(cols - GetNumberCols());
    if (GetNumberCols() > cols) DeleteCols(cols, GetNumberCols() - cols);
    for (int c = 0; c < cols; ++c) SetColLabelValue(c, kColumnLabels[c]);
}

void ResultsGrid::showPlayers(const std::vector<PlayerField>& players, bool hiLo) {
    resize(static_cast<int>(players.size()), columnsOf(hiLo));
    for (int row = 0; row < static_cast<int>(players.size()); ++row) {
        for (int col = 0; col < GetNumberCols(); ++col) SetCellValue(row, col, wxEmptyString);
        SetCellValue(row, kPlayerCol, wxString(players[row].key));
        SetCellValue(row, kTextCol, wxString(players[row].text));
    }
}

void ResultsGrid::showResult(const EquityResult& result, bool hiLo) {
    if (result.deals <= 0) return;
    for (int row = 0; row < GetNumberRows() && row < kMaxPlayers; ++row) {
        const PlayerEquity& player = result.players[row];
        std::vector<std::string> cells = {percentText(player.equity), percentText(player.win),
                                          percentText(player.tie), precisionText(result, player)};
        if (hiLo) {
            for (double share : {player.high, player.low, player.scoop})
                cells.push_back(percentText(share));
        }
        for (std::size_t c = 0; c < cells.size(); ++c)
            SetCellValue(row, kEquityCol + static_cast<int>(c), cells[c]);
    }
}

void ResultsGrid::showColumns(bool hiLo) {
    resize(GetNumberRows(), columnsOf(hiLo));
}

}  // namespace varnel
