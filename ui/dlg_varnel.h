#pragma once
// The main window: thirteen input fields ("B1", "B2", "B3", "D", "P 1" ... "P10"), the card
// picker (ui/card_picker.h), which fills the highlighted field, "Start" and "Stop" with the
// progress gauge, the results grid (ui/results_grid.h) and a status line. Runs are in
// ui/run_calculation.cpp.

#include <wx/bmpbuttn.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/scrolwin.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "engine/equity.h"
#include "engine/request.h"
#include "ui/app_settings.h"
#include "ui/breakdown_action.h"
#include "ui/card_picker.h"
#include "ui/result_export.h"
#include "ui/field_feedback.h"
#include "ui/game_choice.h"
#include "ui/orderings_label.h"
#include "ui/results_grid.h"

namespace varnel {

inline constexpr wxWindowID kMainWindowId = 1000;
inline constexpr wxWindowID kStartId = 1001;
inline constexpr wxWindowID kStopId = 1003;
inline constexpr wxWindowID kGameTypeMenuId = 1002;
inline constexpr wxWindowID kParametersMenuId = 1005;
inline constexpr wxWindowID kAboutMenuId = 1007;
inline constexpr wxWindowID kRangeHelpMenuId = 1031;
inline constexpr wxWindowID kCopyId = 1021;
inline constexpr wxWindowID kExportMenuId = 1022;

inline constexpr const wchar_t* kTableMissing = L"Wrong or absent file omaha-7.bin!";

// Loads "omaha-7.bin" of the working directory into the process-wide evaluator unless it holds a
// usable table already; returns whether it holds one now.
bool attachEvaluatorTable();

// How "Start" carries out a run: the engine entry and the start of the worker thread that calls
// it. The defaults are computeEquity and a detached std::thread; tests replace them (a worker
// that runs the work at once is allowed: the results reach the window as a deferred call).
struct RunHooks {
    using Calculate = std::function<EquityResult(const EquityRequest& request)>;
    using StartWorker = std::function<void(std::function<void()> work)>;
    Calculate calculate = [](const EquityRequest& request) { return computeEquity(request); };
    // Throws std::system_error when no thread can be started.
    StartWorker startWorker = [](std::function<void()> work) {
        std::thread(std::move(work)).detach();
    };
};

// The hooks every window uses. UI thread only.
RunHooks& runHooks();

// For the end of the program: waits up to `wait` for the workers of runs still going (stopped
// with their windows) and from then on lets no worker post to the toolkit; false when some were
// still running.
bool endWorkers(std::chrono::milliseconds wait);

// The controls of one field row, left to right.
struct FieldRow {
    wxBitmapButton* random;
    wxBitmapButton* select;
    wxTextCtrl* text;
    wxBitmapButton* clear;
    wxStaticText* feedback = nullptr;  // the line under the text (ui/field_feedback.h)
};

class dlgVarnel : public wxFrame {
  public:
    // The window reads and changes `settings` (the game, the run's parameters), which must outlive
    // it, and writes its log lines through them.
    dlgVarnel(AppSettings& settings, wxWindow* parent, wxWindowID id = kMainWindowId,
              const wxString& title = "Varnel", const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxSize(580, 720));
    ~dlgVarnel() override;

    // Makes `name` the field that receives picker clicks (and highlights it); focusing a field's
    // text does the same.
    void setTarget(const wxString& name);
    // Makes `name` the target and focuses it.
    void selectField(const wxString& name);
    // Makes `name` current and writes "random" into it; its picked cards stay used.
    void setRandom(const wxString& name);
    // Releases the cards picked into `name`, restores their picker images, empties the field.
    void clearField(const wxString& name);

    // Picker capacity of a field: 5 for boards, 52 for "D", the current hole cards for players.
    int capacityOf(const wxString& field) const;
    // The game of the next run, with its hole cards; the title and the results columns follow.
    void setGame(const wxString& name);
    const AppSettings& settings() const { return m_settings; }

    // Read access for the owner and for tests.
    const std::map<wxString, wxTextCtrl*>& fieldCtrls() const { return m_fieldCtrls; }
    const FieldRow& fieldRow(const wxString& name) const { return m_fieldRows.at(name); }
    // Field names in the order their rows appear on screen.
    const std::vector<wxString>& rowOrder() const { return m_rowOrder; }
    wxBitmapButton* pickerButton(const wxString& code) const { return m_picker->button(code); }
    // Picker codes in display order, row by row.
    const std::vector<wxString>& pickerOrder() const { return m_picker->order(); }
    const std::vector<wxString>& fieldCards(const wxString& name) const {
        return m_picker->cardsOf(name);
    }
    const std::set<wxString>& usedCards() const { return m_picker->used(); }
    const wxString& currentField() const { return m_currentField; }
    wxButton* startButton() const { return m_butOk; }
    wxButton* stopButton() const { return m_butStop; }
    wxStaticText* status() const { return m_status; }
    wxScrolledWindow* playerPanel() const { return m_scrolledPlayers; }
    wxGauge* gauge() const { return m_gauge; }
    ResultsGrid* results() const { return m_gridResults; }
    bool running() const { return m_running; }
    BreakdownAction* breakdown() const { return m_breakdown.get(); }
    wxButton* copyButton() const { return m_butCopy; }

    // The calculation shown (the running figures during a run) as tab-separated text, or "" when
    // the results are empty; "Copy" and Ctrl+C on the results put it on the clipboard.
    wxString resultsText() const;
    void copyResults();
    // Writes the calculation shown as CSV to `path`; false (and a message) when it could not.
    bool exportResults(const wxString& path);
    // Empties the results, as a change of the game or of a field does while no run goes.
    void clearResults();
    FieldFeedback& feedback() const { return *m_feedback; }
    GameChoice* gameChoice() const { return m_gameChoice; }
    OrderingsLabel* orderingsLabel() const { return m_orderings; }

  private:
    void buildFieldRow(wxWindow* parent, wxSizer* row, const wxString& name, int labelWidth,
                       int textWidth);
    void writeField(const wxString& name, const wxString& text);
    // A field's text changed (typed or written): the picker and the feedback follow it.
    void OnFieldText(const wxString& name);
    // The game and the fields' texts, as the live feedback reads them.
    RequestInput fieldsInput() const;
    // After the fill of a full field: the next empty board or player field takes the picker.
    void passTarget();

    void OnCardClick(const wxString& code);
    void OnButOkClick(wxCommandEvent& event);
    void OnGameType(wxCommandEvent& event);
    void OnParameters(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnExport(wxCommandEvent& event);

    // Enter in a field starts, Esc stops, File > Quit (Ctrl+Q) closes (ui/window_keys.cpp).
    void installKeyboard();
    void OnCharHook(wxKeyEvent& event);
    // Shows as many player rows as the window's height allows, five at least, whenever its size
    // changes (ui/player_rows.cpp).
    void installPlayerRows();
    void fitPlayerRows();
    // Tooltips that say what the board and dead-card fields are (ui/field_tips.cpp).
    void setFieldTips();
    // Help > Range language (ui/range_help.cpp).
    void OnRangeHelp(wxCommandEvent& event);

  public:
    // The field texts kept between sessions in the configuration's [FIELDS] section
    // (ui/field_session.cpp): saved on every Start and on closing, restored once the window is
    // built, as they were typed, whether or not they still read.
    void installSession();
    void saveFieldTexts() const;
    void restoreFieldTexts();

  public:
    // One calculation, shared with its worker thread (ui/run_calculation.cpp).
    struct Run;

  private:
    void showProgress(unsigned run, int step);
    void OnStop(wxCommandEvent& event);
    // The fields were read and the engine starts: one empty row per player.
    void showRunStart(Run& run);
    // The running figures of a Monte Carlo run.
    void showPartial(Run& run, const EquityResult& sofar);
    void finishRun(const Run& run);
    void logRun(const Run& run) const;
    void layoutResults();
    // The results columns of the current game (Hi/Lo games have three more); rows are kept.
    void showResultColumns();

    AppSettings& m_settings;
    std::set<wxString> m_boardFields;
    std::vector<wxString> m_playerFields;
    std::vector<wxString> m_rowOrder;
    std::map<wxString, wxTextCtrl*> m_fieldCtrls;
    std::map<wxString, FieldRow> m_fieldRows;
    // What the picker or the random button last wrote into each field.
    std::map<wxString, wxString> m_fieldWritten;
    std::unique_ptr<CardPicker> m_picker;
    wxString m_currentField = "P 1";

    wxButton* m_butOk = nullptr;
    wxButton* m_butStop = nullptr;
    wxStaticText* m_status = nullptr;
    wxGauge* m_gauge = nullptr;
    ResultsGrid* m_gridResults = nullptr;
    wxScrolledWindow* m_scrolledPlayers = nullptr;
    std::unique_ptr<BreakdownAction> m_breakdown;
    wxButton* m_butCopy = nullptr;
    // What the results show, for copying and export.
    CalculationRecord m_record;
    bool m_hasRecord = false;
    std::unique_ptr<FieldFeedback> m_feedback;
    GameChoice* m_gameChoice = nullptr;
    OrderingsLabel* m_orderings = nullptr;
    std::mt19937_64 m_dice{std::random_device{}()};

    // The running calculation, shared with its worker; progress and results of earlier runs
    // carry an older run number.
    std::shared_ptr<Run> m_run;
    bool m_running = false;
    unsigned m_runNumber = 0;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace varnel
