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
    EVT_MENU(kGameTypeMenuId, dlgVarnel::OnGameType)
    EVT_MENU(kParametersMenuId, dlgVarnel::OnParameters)
    EVT_MENU(kAboutMenuId, dlgVarnel::OnAbout)
    EVT_CLOSE(dlgVarnel::OnClose)
wxEND_EVENT_TABLE();
// clang-format on

dlgVarnel::dlgVarnel(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos,
                     const wxSize& size)
    : wxFrame(parent, id, title, pos, size, wxDEFAULT_FRAME_STYLE | wxTAB_TRAVERSAL),
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

    auto* top = new wxBoxSizer(wxVERTICAL);

    auto* cards = new wxStaticBoxSizer(wxVERTICAL, this, "Cards");
    cards->SetMinSize(wxSize(-1, 50));
    auto* boards = new wxBoxSizer(wxHORIZONTAL);
    for (const char* name : {"B1", "B2", "B3"}) buildFieldRow(this, boards, name, 80, 1);
    cards->Add(boards, 0, wxALL, 5);
    auto* dead = new wxBoxSizer(wxHORIZONTAL);
    buildFieldRow(this, dead, "D", 450, 1);
    cards->Add(dead, 0, wxALL, 5);
    cards->Add(new wxStaticLine(this, wxID_ANY), 0, wxEXPAND | wxALL, 5);

    m_scrolledPlayers = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                             wxHSCROLL | wxVSCROLL);
    m_scrolledPlayers->SetScrollRate(5, 5);
    m_scrolledPlayers->SetMaxSize(wxSize(-1, 100));
    auto* players = new wxBoxSizer(wxVERTICAL);
    for (const wxString& name : m_playerFields) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        buildFieldRow(m_scrolledPlayers, row, name, 250, 2);
        players->Add(row, 1, wxEXPAND);
    }
    m_scrolledPlayers->SetSizer(players);
    m_scrolledPlayers->Layout();
    players->Fit(m_scrolledPlayers);
    cards->Add(m_scrolledPlayers, 1, wxEXPAND | wxALL, 5);
    top->Add(cards, 2, wxEXPAND | wxALL, 5);

    auto* startBox = new wxStaticBoxSizer(wxVERTICAL, this, wxEmptyString);
    auto* startRow = new wxBoxSizer(wxHORIZONTAL);
    m_butOk = new wxButton(this, kStartId, "Start");
    m_gauge = new wxGauge(this, wxID_ANY, 100, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL);
    m_gauge->SetValue(0);
    startRow->Add(m_butOk, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    startRow->Add(m_gauge, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    startBox->Add(startRow, 1, wxEXPAND);
    top->Add(startBox, 0, wxEXPAND | wxALL, 1);

    auto* resultsBox = new wxStaticBoxSizer(wxVERTICAL, this, "Results");
    m_gridResults = new wxGrid(this, wxID_ANY);
    m_gridResults->CreateGrid(5, 6, wxGrid::wxGridSelectCells);
    m_gridResults->EnableEditing(false);
    m_gridResults->EnableGridLines(true);
    m_gridResults->EnableDragGridSize(false);
    m_gridResults->SetMargins(0, 0);
    m_gridResults->EnableDragColMove(false);
    m_gridResults->EnableDragColSize(true);
    m_gridResults->SetColLabelSize(30);
    m_gridResults->EnableDragRowSize(true);
    m_gridResults->SetRowLabelSize(80);
    m_gridResults->SetRowLabelAlignment(wxALIGN_CENTER, wxALIGN_CENTER);
    m_gridResults->SetColLabelAlignment(wxALIGN_CENTER, wxALIGN_CENTER);
    m_gridResults->SetDefaultCellAlignment(wxALIGN_LEFT, wxALIGN_TOP);
    resultsBox->Add(m_gridResults, 0, wxALL, 5);
    top->Add(resultsBox, 1, wxEXPAND | wxALL, 5);

    auto* picker = new wxBoxSizer(wxVERTICAL);
    buildCardPicker(picker);
    top->Add(picker, 1, wxEXPAND);

    SetBackgroundColour(*wxYELLOW);
    SetSizer(top);
    Layout();
    Centre(wxBOTH);

    if (!attachEvaluatorTable()) reportToUser(kTableMissing);
}

dlgVarnel::~dlgVarnel() = default;

void dlgVarnel::buildFieldRow(wxWindow* parent, wxSizer* row, const wxString& name, int textWidth,
                              int clearBorder) {
    auto bitmapButton = [&](const char* image, int side) {
        auto* button = new wxBitmapButton(parent, wxID_ANY, loadCardBitmap(image, side, side),
                                          wxDefaultPosition, wxSize(side, side), wxBORDER_NONE);
        button->SetBitmapHover(loadCardBitmap(wxString(image) + "_h", side, side));
        return button;
    };
    FieldRow controls;
    controls.random = bitmapButton("rnd", kFieldButtonSize);
    controls.select = bitmapButton("select", kFieldButtonSize);
    controls.text =
        new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(textWidth, -1));
    controls.clear = bitmapButton("delete", kClearButtonSize);

    row->Add(new wxStaticText(parent, wxID_ANY, name), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    row->Add(controls.random, 0, wxALL, 5);
    row->Add(controls.select, 0, wxALL, 1);
    const bool isPlayer = !m_boardFields.count(name);
    if (isPlayer) {
        row->Add(controls.text, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    } else {
        controls.text->SetMinSize(wxSize(textWidth, -1));
        row->Add(controls.text, 1, wxALL, 0);
    }
    row->Add(controls.clear, 0, wxALL, clearBorder);

    controls.random->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { setRandom(name); });
    controls.select->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { selectField(name); });
    controls.clear->Bind(wxEVT_BUTTON, [this, name](wxCommandEvent&) { clearField(name); });
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

void dlgVarnel::selectField(const wxString& name) {
    m_currentField = name;
    m_fieldCtrls.at(name)->SetFocus();
}

void dlgVarnel::setRandom(const wxString& name) {
    m_currentField = name;
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
}

void dlgVarnel::OnParameters(wxCommandEvent&) {
    dlgParametersForEvaluation dialog(this, kParametersDialogId, "Parameters for Evaluation",
                                      wxDefaultPosition, wxSize(258, 144));
    dialog.setValues(appSettings().m_rounds, appSettings().m_seconds);
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
