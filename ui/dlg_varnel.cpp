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

#include "eval/omaha_eval.h"
#include "eval/table_format.h"
#include "ui/app_settings.h"
#include "ui/dlg_parameters.h"
#include "ui/dlg_settings.h"
#include "ui/message_box.h"

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
constexpr int kGridSlack = 4;
// The background of the field that the picker fills.
const wxColour kTargetColour(255, 236, 160);

const std::vector<wxString> kNoCards;

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
    EVT_CLOSE(dlgVarnel::OnClose)
wxEND_EVENT_TABLE();
// clang-format on

dlgVarnel::dlgVarnel(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos,
                     const wxSize& size)
    : wxFrame(parent, id, title, pos, size, wxDEFAULT_FRAME_STYLE | wxTAB_TRAVERSAL),
      m_gameName(appSettings().m_gameName),
      m_holeCards(appSettings().m_holeCards),
      m_boardFields{"B1", "B2", "B3", "D"},
      m_playerFields{"P 1", "P 2", "P 3", "P 4", "P 5", "P 6", "P 7", "P 8", "P 9", "P10"} {
    installMessageBoxHook();
    if (!wxImage::FindHandler(wxBITMAP_TYPE_ICO)) wxImage::AddHandler(new wxICOHandler);
    if (wxFileName::FileExists("cards/varnel.ico")) {
        wxLogNull quiet;
        SetIcon(wxIcon("cards/varnel.ico", wxBITMAP_TYPE_ICO));
    }

    auto* menuBar = new wxMenuBar;
    auto* settingsMenu = new wxMenu;
    settingsMenu->Append(kGameTypeMenuId, "Game type");
    settingsMenu->Append(kParametersMenuId, "Parameters");
    menuBar->Append(settingsMenu, "Settings");
    auto* helpMenu = new wxMenu;
    helpMenu->Append(kAboutMenuId, "About");
    menuBar->Append(helpMenu, "Help");
    SetMenuBar(menuBar);

    // Field labels share one width, so the text fields of all rows line up; a board field holds
    // five card codes.
    const int labelWidth = GetTextExtent("P10").x + kLabelSlack;
    const int boardWidth = GetTextExtent(kFullBoard).x + kTextSlack;

    auto* top = new wxBoxSizer(wxVERTICAL);

    auto* cards = new wxStaticBoxSizer(wxVERTICAL, this, "Cards");
    auto* boards = new wxBoxSizer(wxHORIZONTAL);
    for (const char* name : {"B1", "B2", "B3"}) {
        auto* row = new wxFlexGridSizer(kRowColumns, 0, 0);
        buildFieldRow(this, row, name, labelWidth, boardWidth);
        boards->Add(row, 0, wxRIGHT, 10);
    }
    cards->Add(boards, 0, wxALL, 5);
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
    startRow->Add(m_gauge, 1, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    top->Add(startRow, 0, wxEXPAND | wxLEFT | wxRIGHT, 5);

    auto* resultsBox = new wxStaticBoxSizer(wxVERTICAL, this, "Results");
    m_gridResults = new wxGrid(this, wxID_ANY);
    m_gridResults->CreateGrid(0, 0, wxGrid::wxGridSelectCells);
    m_gridResults->EnableEditing(false);
    m_gridResults->EnableGridLines(true);
    m_gridResults->EnableDragGridSize(false);
    m_gridResults->SetMargins(0, 0);
    m_gridResults->EnableDragColMove(false);
    m_gridResults->EnableDragColSize(true);
    m_gridResults->SetColLabelSize(30);
    m_gridResults->EnableDragRowSize(false);
    m_gridResults->SetRowLabelSize(0);
    m_gridResults->SetColLabelAlignment(wxALIGN_CENTER, wxALIGN_CENTER);
    m_gridResults->SetDefaultCellAlignment(wxALIGN_LEFT, wxALIGN_CENTER);
    // Room for every player of a run without scrolling.
    m_gridResults->SetMinSize(wxSize(-1, m_gridResults->GetColLabelSize() +
                                             kMaxPlayers * m_gridResults->GetDefaultRowSize() +
                                             kGridSlack));
    resultsBox->Add(m_gridResults, 1, wxEXPAND | wxALL, 5);
    m_status = new wxStaticText(this, wxID_ANY, "Fill at least two players and press Start.");
    resultsBox->Add(m_status, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 5);
    top->Add(resultsBox, 1, wxEXPAND | wxALL, 5);

    auto* picker = new wxBoxSizer(wxVERTICAL);
    buildCardPicker(picker);
    top->Add(picker, 0, wxALIGN_CENTER_HORIZONTAL);

    SetBackgroundColour(*wxYELLOW);
    SetSizer(top);
    const wxSize fitted = top->ComputeFittingWindowSize(this);
    SetMinSize(fitted);
    SetSize(wxSize(std::max(fitted.x, size.x), std::max(fitted.y, size.y)));
    showResultColumns();
    setTarget(m_currentField);
    Layout();
    Centre(wxBOTH);

    if (!attachEvaluatorTable()) reportToUser(kTableMissing);
}

void dlgVarnel::buildFieldRow(wxWindow* parent, wxSizer* row, const wxString& name, int labelWidth,
                              int textWidth) {
    auto bitmapButton = [&](const char* image, int side) {
        auto* button = new wxBitmapButton(parent, wxID_ANY, loadCardBitmap(image, side, side),
                                          wxDefaultPosition, wxSize(side, side), wxBORDER_NONE);
        button->SetBitmapHover(loadCardBitmap(wxString(image) + "_h", side, side));
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
    row->Add(controls.text, 1, wxEXPAND | wxALL, 3);
    row->Add(controls.clear, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);

    controls.random->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { setRandom(name); });
    controls.select->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { selectField(name); });
    controls.clear->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { clearField(name); });
    controls.text->Bind(wxEVT_SET_FOCUS, [this, name](wxFocusEvent& event) {
        setTarget(name);
        event.Skip();
    });
    m_fieldCtrls[name] = controls.text;
    m_fieldRows[name] = controls;
    m_rowOrder.push_back(name);
}

void dlgVarnel::buildCardPicker(wxSizer* sizer) {
    auto* grid = new wxGridSizer(4, 13, 0, 0);
    for (const wchar_t* suit = kPickerSuits; *suit; ++suit) {
        for (const wchar_t* rank = kPickerRanks; *rank; ++rank) {
            const wxString code = wxString::Format("%c%c", *rank, *suit);
            auto* button = new wxBitmapButton(
                this, wxID_ANY, loadCardBitmap(code, kPickerCardWidth, kPickerCardHeight),
                wxDefaultPosition, wxSize(kPickerCardWidth, kPickerCardHeight), wxBORDER_NONE);
            button->SetName(code);
            button->Bind(wxEVT_BUTTON, &dlgVarnel::OnCardClick, this);
            m_pickerButtons[code] = button;
            m_pickerOrder.push_back(code);
            grid->Add(button, 1, wxALL, 2);
        }
    }
    sizer->Add(grid, 1, wxEXPAND | wxALL, 10);
}

wxBitmap dlgVarnel::loadCardBitmap(const wxString& name, int width, int height) {
    const wxString path = wxString::Format("cards/%s.bmp", name);
    wxLogNull quiet;  // a damaged file is replaced silently like a missing one
    wxBitmap bitmap;
    if (wxFileName::FileExists(path) && bitmap.LoadFile(path, wxBITMAP_TYPE_BMP) && bitmap.IsOk())
        return bitmap;
    return wxBitmap(width, height);
}

int dlgVarnel::capacityOf(const wxString& field) {
    if (field == "D") return kDeckSize;
    if (field.StartsWith("B")) return kBoardCapacity;
    return appSettings().m_holeCards;
}

const std::vector<wxString>& dlgVarnel::fieldCards(const wxString& name) const {
    auto it = m_fieldCards.find(name);
    return it == m_fieldCards.end() ? kNoCards : it->second;
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
    writeField(name, "random");
}

void dlgVarnel::clearField(const wxString& name) {
    std::vector<wxString>& cards = m_fieldCards[name];
    for (const wxString& code : cards) m_usedCards.erase(code);
    setPickerImages(cards, true);
    cards.clear();
    m_fieldWritten[name].clear();
    m_fieldCtrls.at(name)->Clear();
}

void dlgVarnel::setPickerImages(const std::vector<wxString>& codes, bool restore) {
    for (const wxString& code : codes) {
        auto it = m_pickerButtons.find(code);
        if (it == m_pickerButtons.end()) continue;
        it->second->SetBitmapLabel(
            loadCardBitmap(restore ? code : wxString("x"), kPickerCardWidth, kPickerCardHeight));
    }
}

void dlgVarnel::OnCardClick(wxCommandEvent& event) {
    auto* button = dynamic_cast<wxBitmapButton*>(event.GetEventObject());
    if (!button) return;
    const wxString code = button->GetName();
    auto known = m_pickerButtons.find(code);
    if (known == m_pickerButtons.end() || known->second != button) return;

    std::vector<wxString>& cards = m_fieldCards[m_currentField];
    if (auto it = std::find(cards.begin(), cards.end(), code); it != cards.end()) {
        m_usedCards.erase(code);
        cards.erase(it);
        wxString text = m_fieldWritten[m_currentField];
        text.Replace(code, wxEmptyString, true);
        writeField(m_currentField, text);
        setPickerImages({code}, true);
        return;
    }
    if (m_usedCards.count(code)) return;
    m_maxCards = capacityOf(m_currentField);
    if (static_cast<std::int32_t>(cards.size()) >= m_maxCards) return;

    cards.push_back(code);
    m_usedCards.insert(code);
    setPickerImages({code}, false);
    wxString text;
    for (const wxString& c : cards) text += c;
    writeField(m_currentField, text);
}

void dlgVarnel::OnGameType(wxCommandEvent&) {
    dlgSettings dialog(this, m_gameName, wxID_ANY, "Select game type", wxDefaultPosition,
                       wxSize(450, 227));
    if (dialog.ShowModal() != wxID_OK) return;
    m_gameName = dialog.selectedName();
    m_holeCards = dialog.selectedHoleCards();
    SetTitle("Varnel - " + m_gameName);
    if (!m_running) showResultColumns();
}

void dlgVarnel::OnParameters(wxCommandEvent&) {
    dlgParametersForEvaluation dialog(this, kParametersDialogId, "Parameters for Evaluation",
                                      wxDefaultPosition, wxSize(258, 144));
    dialog.ShowModal();
}

void dlgVarnel::OnAbout(wxCommandEvent&) {
    wxAboutDialogInfo info;
    info.SetName("Varnel");
    info.SetVersion("1.2.8");
    info.SetDescription("Equity calculator for any type of Omaha");
    wxAboutBox(info, this);
}

}  // namespace varnel
