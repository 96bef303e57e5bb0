#pragma once
// A calculation as a table: the results columns of a game and the cells of one player (the grid
// shows them), the whole calculation as rows (game, boards, dead cards, players with their
// figures, mode, deals, seconds) for the clipboard as tab-separated text and for the export as
// CSV, and the log line of a run. One formatter, so that grid, clipboard, file and log agree.

#include <wx/string.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/equity.h"
#include "engine/request.h"

namespace varnel {

// What the window shows of one run: the texts it read and the figures so far.
struct CalculationRecord {
    std::wstring game;
    std::wstring board1, board2, dead;  // the fields' texts, "" when empty
    std::vector<PlayerField> players;   // in player order
    bool hiLo = false;
    int boards = 1;  // boards in play
    EquityResult result;
};

// The results columns after "Player" and "Hand / range": "Equity", then "B1" and "B2" with two
// boards, "Win" and "Tie" with one board of a high game, "Scoop" otherwise, "High" and "Low" in
// Hi/Lo games, and "+/-".
std::vector<std::string> figureColumns(bool hiLo, int boards);

// Player p's figures of `result` in the order of figureColumns.
std::vector<std::string> figureCells(const EquityResult& result, int p, bool hiLo, int boards);

// The rows of the whole calculation: "Game", "Board 1", "Board 2", "Dead" with their texts, the
// column labels, one row per player, then "Mode", "Deals", "Seconds", "Ended".
std::vector<std::vector<wxString>> calculationRows(const CalculationRecord& record);

// Rows as text, one line each ("\n"): cells separated by tabs, or in CSV (commas, a cell with a
// comma, a quote or a line break quoted, its quotes doubled).
wxString tabText(const std::vector<std::vector<wxString>>& rows);
wxString csvText(const std::vector<std::vector<wxString>>& rows);

// Writes csvText(calculationRows(record)) to `path` in UTF-8; false when it could not.
bool writeCalculationCsv(const wxString& path, const CalculationRecord& record);

// "Calculation: game Omaha; board 1 AsKd7h; board 2 -; dead -; P 1 'AA' 45.27%; ...; mode exact;
// deals 1712304; seconds 0.250; ended finished": each player's equity, followed by
// "high .. low .. scoop .." in Hi/Lo games and "B1 .. B2 .." with two boards.
std::string logLineOf(const CalculationRecord& record);

// "Calculation refused: game ...; board 1 ...; board 2 ...; dead ...; P 1 '...'; ...: " and the
// reasons, separated by " / ".
std::string refusedLogLine(const RequestInput& input, const std::vector<RequestProblem>& problems);

// Where copied text goes: the system clipboard unless a test puts another function here.
std::function<void(const wxString&)>& clipboardWriter();

}  // namespace varnel
