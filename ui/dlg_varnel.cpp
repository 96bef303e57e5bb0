#include "ui/dlg_varnel.h"

#include <wx/aboutdlg.h>
#include <wx/filename.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include <algorithm>
#include <exception>
#include <string>

#include "core/folders.h"
#include "eval/omaha_eval.h"
#include "eval/table_format.h"
#include "ui/app_settings.h"
#include "ui/dlg_parameters.h"
#include "ui/dlg_settings.h"
#include "ui/field_dice.h"
#include "ui/message_box.h"
#include "ui/range_help.h"

namespace varnel {
namespace {

constexpr int kBoardCapacity = 5;
constexpr int kFieldButtonSize = 20;
constexpr int kClearButtonSize = 15;
// The field rows' columns: label, random, select, text, clear.
constexpr int kRowColumns = 5;
constexpr int kTextColumn = 3;
constexpr int kVisiblePlayers = 5;
constexpr const char* kFullBoard = "QhQhQhQhQh";
constexpr int kLabelSlack = 4;
constexpr int kTextSlack = 24;
// The background of the field that the picker fills.
const wxColour kTargetColour(255, 236, 160);

}  // namespace

bool attachEvaluatorTable() {
    ofsm_omaha7& evaluator = omahaEvaluator();
    if (evaluator.usable()) return true;
    try {
        evaluator.attach(loadOmahaTable(kTableFileName));
    } catch (const std::exception&) {
        // A file that cannot even be examined counts as absent.
    }
    return evaluator.usable();
}

// clang-format off
wxBEGIN_EVENT_TABLE(dlgVarnel, wxFrame)
    EVT_BUTTON(kStartId, dlgVarnel::OnButOkClick)
    EVT_BUTTON(kStopId, dlgVarnel::OnStop)
    EVT_MENU(kGameTypeMenuId, dlgVarnel::OnGameType)
    EVT_MENU(kParametersMenuId, dlgVarnel::OnParameters)
    EVT_MENU(kAboutMenuId, dlgVarnel::OnAbout)
    EVT_MENU(kExportMenuId, dlgVarnel::OnExport)
    EVT_CLOSE(dlgVarnel::OnClose)
wxEND_EVENT_TABLE();
// clang-format on

dlgVarnel::dlgVarnel(AppSettings& settings, wxWindow* parent, wxWindowID id, const wxString& title,
                     const wxPoint& pos, const wxSize& size)
    : wxFrame(parent, id, title, pos, size, wxDEFAULT_FRAME_STYLE | wxTAB_TRAVERSAL),
      m_settings(settings),
      m_boardFields{"B1", "B2", "B3", "D"},
      m_playerFields{"P 1", "P 2", "P 3", "P 4", "P 5", "P 6", "P 7", "P 8", "P 9", "P10"} {
    installMessageBoxHook();
    if (!wxImage::FindHandler(wxBITMAP_TYPE_ICO)) wxImage::AddHandler(new wxICOHandler);
    if (wxFileName::FileExists("cards/varnel.ico")) {
        wxLogNull quiet;
        SetIcon(wxIcon("cards/varnel.ico", wxBITMAP_TYPE_ICO));
    }

    auto* menuBar = new wxMenuBar;
    auto* fileMenu = new wxMenu;
    fileMenu->Append(kExportMenuId, "Export...", "Save the results as a CSV file");
    menuBar->Append(fileMenu, "File");
    auto* settingsMenu = new wxMenu;
    settingsMenu->Append(kGameTypeMenuId, "Game type");
    settingsMenu->Append(kParametersMenuId, "Parameters");
    menuBar->Append(settingsMenu, "Settings");
    auto* helpMenu = new wxMenu;
    helpMenu->Append(kRangeHelpMenuId, "Range language");
    helpMenu->Append(kAboutMenuId, "About");
    menuBar->Append(helpMenu, "Help");
    SetMenuBar(menuBar);

    // Field labels share one width, so the text fields of all rows line up; a board field holds
    // five card codes.
    const int labelWidth = GetTextExtent("P10").x + kLabelSlack;
    const int boardWidth = GetTextExtent(kFullBoard).x + kTextSlack;

    auto* top = new wxBoxSizer(wxVERTICAL);
    m_feedback = std::make_unique<FieldFeedback>(
        this, [this] { return fieldsInput(); },
        [this](bool clean) {
            if (!m_running) m_butOk->Enable(clean);
        });

    auto* cards = new wxStaticBoxSizer(wxVERTICAL, this, "Cards");
    auto* boards = new wxBoxSizer(wxHORIZONTAL);
    for (const char* name : {"B1", "B2", "B3"}) {
        auto* row = new wxFlexGridSizer(kRowColumns, 0, 0);
        buildFieldRow(this, row, name, labelWidth, boardWidth);
        boards->Add(row, 0, wxRIGHT, 10);
    }
    cards->Add(boards, 0, wxALL, 5);
    cards->Add(m_feedback->addBoardsLine(this), 0, wxLEFT | wxRIGHT, 8);
    auto* dead = new wxFlexGridSizer(kRowColumns, 0, 0);
    dead->AddGrowableCol(kTextColumn);
    buildFieldRow(this, dead, "D", labelWidth, boardWidth);
    cards->Add(dead, 0, wxEXPAND | wxALL, 5);
    cards->Add(new wxStaticLine(this, wxID_ANY), 0, wxEXPAND | wxALL, 5);

    // The players scroll vertically, five rows at a time, with the scroll bar always shown.
    m_scrolledPlayers = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                             wxVSCROLL | wxALWAYS_SHOW_SB);
    auto* players = new wxFlexGridSizer(kRowColumns, 0, 0);
    players->AddGrowableCol(kTextColumn);
    for (const wxString& name : m_playerFields)
        buildFieldRow(m_scrolledPlayers, players, name, labelWidth, boardWidth);
    m_scrolledPlayers->SetSizer(players);
    const int rowHeight = players->CalcMin().y / static_cast<int>(m_playerFields.size());
    m_scrolledPlayers->SetScrollRate(0, rowHeight);
    m_scrolledPlayers->SetMinClientSize(wxSize(players->CalcMin().x, kVisiblePlayers * rowHeight));
    m_scrolledPlayers->FitInside();
    cards->Add(m_scrolledPlayers, 0, wxEXPAND | wxALL, 5);
    top->Add(cards, 0, wxEXPAND | wxALL, 5);

    auto* startRow = new wxBoxSizer(wxHORIZONTAL);
    m_butOk = new wxButton(this, kStartId, "Start");
    m_butStop = new wxButton(this, kStopId, "Stop");
    m_butStop->Disable();
    m_gauge = new wxGauge(this, wxID_ANY, 100, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL);
    m_gauge->SetValue(0);
    startRow->Add(m_butOk, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    startRow->Add(m_butStop, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    // Created after the buttons, so that Tab reaches "Start" first.
    m_gameChoice = new GameChoice(this, m_settings.m_gameName, [this](const wxString& name) {
        setGame(name);
        saveGameType(name);
    });
    startRow->Add(m_gameChoice, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    startRow->Add(m_gauge, 1, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_butCopy = new wxButton(this, kCopyId, "Copy");
    m_butCopy->SetToolTip(
        "Copy the whole calculation as tab-separated text (Ctrl+C on the results)");
    m_butCopy->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { copyResults(); });
    startRow->Add(m_butCopy, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    top->Add(startRow, 0, wxEXPAND | wxLEFT | wxRIGHT, 5);
    m_orderings = new OrderingsLabel(this);
    top->Add(m_orderings, 0, wxLEFT | wxRIGHT, 12);

    auto* resultsBox = new wxStaticBoxSizer(wxVERTICAL, this, "Results");
    m_gridResults = new ResultsGrid(this);
    m_gridResults->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == 'C' && event.GetModifiers() == wxMOD_CONTROL) {
            copyResults();
        } else {
            event.Skip();
        }
    });
    resultsBox->Add(m_gridResults, 1, wxEXPAND | wxALL, 5);
    m_status = new wxStaticText(this, wxID_ANY, "Fill at least two players and press Start.");
    resultsBox->Add(m_status, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 5);
    m_breakdown = std::make_unique<BreakdownAction>(this, m_gridResults);
    resultsBox->Add(m_breakdown->button(), 0, wxLEFT | wxBOTTOM, 5);
    top->Add(resultsBox, 1, wxEXPAND | wxALL, 5);

    auto* picker = new wxBoxSizer(wxVERTICAL);
    m_picker = std::make_unique<CardPicker>(this, picker,
                                            [this](const wxString& code) { OnCardClick(code); });
    top->Add(picker, 0, wxALIGN_CENTER_HORIZONTAL);

    SetBackgroundColour(*wxYELLOW);
    SetSizer(top);
    const wxSize fitted = top->ComputeFittingWindowSize(this);
    SetMinSize(fitted);
    SetSize(wxSize(std::max(fitted.x, size.x), std::max(fitted.y, size.y)));
    showResultColumns();
    // The typing cursor starts where the picker points (else the first field takes it on show).
    selectField(m_currentField);
    Layout();
    Centre(wxBOTH);

    installKeyboard();
    setFieldTips();
    installPlayerRows();
    installSession();
    Bind(wxEVT_MENU, &dlgVarnel::OnRangeHelp, this, kRangeHelpMenuId);

    if (!attachEvaluatorTable()) reportToUser(kTableMissing);
}

void dlgVarnel::buildFieldRow(wxWindow* parent, wxSizer* row, const wxString& name, int labelWidth,
                              int textWidth) {
    auto bitmapButton = [&](const char* image, int side) {
        auto* button =
            new wxBitmapButton(parent, wxID_ANY, CardPicker::loadCardBitmap(image, side, side),
                               wxDefaultPosition, wxSize(side, side), wxBORDER_NONE);
        button->SetBitmapHover(CardPicker::loadCardBitmap(wxString(image) + "_h", side, side));
        return button;
    };
    FieldRow controls;
    controls.random = bitmapButton("rnd", kFieldButtonSize);
    controls.random->SetToolTip("Random hand");
    controls.select = bitmapButton("select", kFieldButtonSize);
    controls.select->SetToolTip("Fill this field from the card picker");
    controls.text =
        new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(textWidth, -1));
    controls.clear = bitmapButton("delete", kClearButtonSize);
    controls.clear->SetToolTip("Clear");

    auto* label = new wxStaticText(parent, wxID_ANY, name);
    label->SetMinSize(wxSize(labelWidth, -1));
    row->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    row->Add(controls.random, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    row->Add(controls.select, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    // The field's text with its feedback line under it.
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(controls.text, 0, wxEXPAND);
    controls.feedback = m_feedback->addLabel(parent, name, textWidth);
    column->Add(controls.feedback, 0, wxEXPAND | wxTOP, 1);
    row->Add(column, 1, wxEXPAND | wxALL, 3);
    row->Add(controls.clear, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);

    controls.random->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { setRandom(name); });
    controls.select->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { selectField(name); });
    controls.clear->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { clearField(name); });
    controls.text->Bind(wxEVT_TEXT, [this, name](wxCommandEvent&) {
        if (!m_running) clearResults();
        OnFieldText(name);
    });
    if (!hasDice(name)) controls.random->Disable();
    controls.text->Bind(wxEVT_SET_FOCUS, [this, name](wxFocusEvent& event) {
        setTarget(name);
        event.Skip();
    });
    m_fieldCtrls[name] = controls.text;
    m_fieldRows[name] = controls;
    m_rowOrder.push_back(name);
}

int dlgVarnel::capacityOf(const wxString& field) const {
    if (field == "D") return kDeckSize;
    if (field.StartsWith("B")) return kBoardCapacity;
    return m_settings.m_holeCards;
}

void dlgVarnel::setGame(const wxString& name) {
    m_settings.m_gameName = name.ToStdWstring();
    holeCardsForGame(m_settings.m_gameName, m_settings.m_holeCards);
    SetTitle("Varnel - " + name);
    if (!m_running) showResultColumns();
    if (m_gameChoice) m_gameChoice->show(name);
    m_feedback->schedule();
}

RequestInput dlgVarnel::fieldsInput() const {
    RequestInput input;
    input.game = m_settings.m_gameName;
    for (const auto& [name, ctrl] : m_fieldCtrls) {
        const wxString text = ctrl->GetValue();
        if (!text.empty()) input.fields[name.ToStdWstring()] = text.ToStdWstring();
    }
    return input;
}

void dlgVarnel::OnFieldText(const wxString& name) {
    m_picker->setCards(name, CardPicker::namedCards(m_fieldCtrls.at(name)->GetValue()));
    m_feedback->schedule();
}

void dlgVarnel::passTarget() {
    const wxString order[] = {"B1",  "B2",  "P 1", "P 2", "P 3", "P 4",
                              "P 5", "P 6", "P 7", "P 8", "P 9", "P10"};
    const int n = static_cast<int>(std::size(order));
    const int at = static_cast<int>(std::find(order, order + n, m_currentField) - order);
    if (at == n) return;
    for (int step = 1; step < n; ++step) {
        const wxString& next = order[(at + step) % n];
        if (m_fieldCtrls.at(next)->IsEmpty()) {
            setTarget(next);
            return;
        }
    }
}

void dlgVarnel::writeField(const wxString& name, const wxString& text) {
    m_fieldWritten[name] = text;
    m_fieldCtrls.at(name)->SetValue(text);
}

void dlgVarnel::setTarget(const wxString& name) {
    m_currentField = name;
    for (const auto& [field, text] : m_fieldCtrls) {
        text->SetBackgroundColour(field == name ? kTargetColour : wxNullColour);
        text->Refresh();
    }
}

void dlgVarnel::selectField(const wxString& name) {
    setTarget(name);
    m_fieldCtrls.at(name)->SetFocus();
}

void dlgVarnel::setRandom(const wxString& name) {
    setTarget(name);
    std::map<wxString, wxString> texts;
    for (const auto& [field, ctrl] : m_fieldCtrls) texts[field] = ctrl->GetValue();
    const wxString text = diceText(name, texts, m_dice);
    if (!text.empty()) writeField(name, text);
}

void dlgVarnel::clearField(const wxString& name) {
    m_picker->release(name);
    m_fieldWritten[name].clear();
    m_fieldCtrls.at(name)->Clear();
}

void dlgVarnel::OnCardClick(const wxString& code) {
    const wxString field = m_currentField;
    const std::vector<wxString>& cards = m_picker->cardsOf(field);
    const bool held = std::find(cards.begin(), cards.end(), code) != cards.end();
    if (!m_picker->toggle(field, code, capacityOf(field))) return;
    wxString text;
    if (held) {
        // What the user typed around the card stays.
        text = m_fieldCtrls.at(field)->GetValue();
        text.Replace(code, wxEmptyString, true);
    } else {
        for (const wxString& c : m_picker->cardsOf(field)) text += c;
    }
    writeField(field, text);
    if (!held && static_cast<int>(m_picker->cardsOf(field).size()) >= capacityOf(field))
        passTarget();
}

void dlgVarnel::OnGameType(wxCommandEvent&) {
    dlgSettings dialog(m_settings, this, m_settings.m_gameName, wxID_ANY, "Select game type",
                       wxDefaultPosition, wxSize(450, 227));
    if (dialog.ShowModal() != wxID_OK) return;
    setGame(dialog.selectedName());
}

void dlgVarnel::OnParameters(wxCommandEvent&) {
    dlgParametersForEvaluation dialog(m_settings, this, kParametersDialogId,
                                      "Parameters for Evaluation", wxDefaultPosition,
                                      wxSize(258, 144));
    dialog.ShowModal();
}

void dlgVarnel::OnRangeHelp(wxCommandEvent&) {
    // One help window: asking again brings it to the front.
    for (wxWindow* child : GetChildren()) {
        if (auto* help = dynamic_cast<dlgRangeHelp*>(child)) {
            help->Raise();
            return;
        }
    }
    (new dlgRangeHelp(this))->Show();
}

void dlgVarnel::OnAbout(wxCommandEvent&) {
    wxAboutDialogInfo info;
    info.SetName("Varnel");
    info.SetVersion(wxString::FromUTF8(programVersion().data(), programVersion().size()));
    // Where this run keeps its configuration, its log and its data.
    info.SetDescription("Equity calculator for any type of Omaha\n\n" +
                        wxString::FromUTF8(describeFolders(foldersInUse())));
    wxAboutBox(info, this);
}

}  // namespace varnel
