// The results table, the copied and exported calculation and the run's log line, built from one
// record so that they say the same.
#include "ui/result_export.h"

#include <wx/clipbrd.h>
#include <wx/ffile.h>
#include <wx/log.h>

namespace varnel {
namespace {

wxString orDash(const std::wstring& text) {
    return text.empty() ? wxString("-") : wxString(text);
}

wxString fieldOf(const RequestInput& input, const wchar_t* key) {
    const auto it = input.fields.find(key);
    return it == input.fields.end() ? wxString("-") : wxString(it->second);
}

}  // namespace

std::vector<std::string> figureColumns(bool hiLo, int boards) {
    std::vector<std::string> labels = {"Equity"};
    if (boards > 1) labels.insert(labels.end(), {"B1", "B2"});
    if (!hiLo && boards == 1) {
        labels.insert(labels.end(), {"Win", "Tie"});
    } else {
        labels.push_back("Scoop");
    }
    if (hiLo) labels.insert(labels.end(), {"High", "Low"});
    labels.push_back("+/-");
    return labels;
}

std::vector<std::string> figureCells(const EquityResult& result, int p, bool hiLo, int boards) {
    const PlayerEquity& e = result.players[p];
    std::vector<std::string> cells = {percentText(e.equity)};
    if (boards > 1) cells.insert(cells.end(), {percentText(e.board[0]), percentText(e.board[1])});
    // Taking the whole pot is a scoop: of both halves in a Hi/Lo game, of both boards with two.
    if (!hiLo && boards == 1) {
        cells.insert(cells.end(), {percentText(e.win), percentText(e.tie)});
    } else {
        cells.push_back(percentText(e.win));
    }
    if (hiLo) cells.insert(cells.end(), {percentText(e.high), percentText(e.low)});
    cells.push_back(precisionText(result, e));
    return cells;
}

std::vector<std::vector<wxString>> calculationRows(const CalculationRecord& record) {
    std::vector<std::vector<wxString>> rows = {{"Game", record.game},
                                               {"Board 1", record.board1},
                                               {"Board 2", record.board2},
                                               {"Dead", record.dead}};
    std::vector<wxString> labels = {"Player", "Hand / range"};
    for (const std::string& label : figureColumns(record.hiLo, record.boards))
        labels.push_back(label);
    rows.push_back(labels);
    const EquityResult& result = record.result;
    for (std::size_t p = 0; p < record.players.size(); ++p) {
        std::vector<wxString> row = {record.players[p].key, record.players[p].text};
        if (result.deals > 0 && p < static_cast<std::size_t>(kMaxPlayers)) {
            for (const std::string& cell :
                 figureCells(result, static_cast<int>(p), record.hiLo, record.boards))
                row.push_back(cell);
        }
        rows.push_back(row);
    }
    rows.push_back({"Mode", std::string(modeText(result.mode))});
    rows.push_back({"Deals", wxString::Format("%lld", static_cast<long long>(result.deals))});
    rows.push_back({"Seconds", wxString::Format("%.2f", result.seconds)});
    rows.push_back({"Ended", std::string(runEndText(result.end))});
    return rows;
}

wxString tabText(const std::vector<std::vector<wxString>>& rows) {
    wxString text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) text << (c ? "\t" : "") << row[c];
        text << "\n";
    }
    return text;
}

wxString csvText(const std::vector<std::vector<wxString>>& rows) {
    wxString text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            wxString cell = row[c];
            if (cell.find_first_of(",\"\r\n") != wxString::npos) {
                cell.Replace("\"", "\"\"");
                cell = "\"" + cell + "\"";
            }
            text << (c ? "," : "") << cell;
        }
        text << "\n";
    }
    return text;
}

bool writeCalculationCsv(const wxString& path, const CalculationRecord& record) {
    wxLogNull quiet;  // the caller says what failed, in a message of its own
    wxFFile file;
    if (!file.Open(path, "wb")) return false;
    const bool written = file.Write(csvText(calculationRows(record)), wxConvUTF8);
    return file.Close() && written;
}

std::string logLineOf(const CalculationRecord& record) {
    const EquityResult& result = record.result;
    wxString line = "Calculation: game " + wxString(record.game) + "; board 1 " +
                    orDash(record.board1) + "; board 2 " + orDash(record.board2) + "; dead " +
                    orDash(record.dead);
    for (std::size_t p = 0; p < record.players.size() && p < kMaxPlayers; ++p) {
        const PlayerEquity& e = result.players[p];
        line += "; " + wxString(record.players[p].key) + " '" + wxString(record.players[p].text) +
                "' " + percentText(e.equity);
        if (record.boards > 1)
            line += " B1 " + percentText(e.board[0]) + " B2 " + percentText(e.board[1]);
        if (record.hiLo) {
            line += " high " + percentText(e.high) + " low " + percentText(e.low) + " scoop " +
                    percentText(e.scoop);
        }
    }
    line += wxString::Format(
        "; mode %s; deals %lld; seconds %.3f; ended %s", std::string(modeText(result.mode)),
        static_cast<long long>(result.deals), result.seconds, std::string(runEndText(result.end)));
    return line.utf8_string();
}

std::string refusedLogLine(const RequestInput& input, const std::vector<RequestProblem>& problems) {
    wxString line = "Calculation refused: game " + wxString(input.game) + "; board 1 " +
                    fieldOf(input, L"B1") + "; board 2 " + fieldOf(input, L"B2") + "; dead " +
                    fieldOf(input, L"D");
    for (const auto& [key, text] : input.fields) {
        if (key.starts_with(L"P")) line += "; " + wxString(key) + " '" + wxString(text) + "'";
    }
    line += ": ";
    for (std::size_t i = 0; i < problems.size(); ++i)
        line += (i ? " / " : "") + wxString(problems[i].message);
    return line.utf8_string();
}

std::function<void(const wxString&)>& clipboardWriter() {
    static std::function<void(const wxString&)> writer = [](const wxString& text) {
        wxClipboardLocker lock;
        if (!lock) return;
        wxTheClipboard->SetData(new wxTextDataObject(text));
        wxTheClipboard->Flush();  // the text stays after the program ends
    };
    return writer;
}

}  // namespace varnel
