#include "ui/card_picker.h"

#include <wx/filename.h>
#include <wx/log.h>

#include <algorithm>

namespace varnel {
namespace {

const std::vector<wxString> kNoCards;

}  // namespace

CardPicker::CardPicker(wxWindow* parent, wxSizer* sizer,
                       std::function<void(const wxString&)> onClick) {
    auto* grid = new wxGridSizer(4, 13, 0, 0);
    for (const wchar_t* suit = kPickerSuits; *suit; ++suit) {
        for (const wchar_t* rank = kPickerRanks; *rank; ++rank) {
            const wxString code = wxString::Format("%c%c", *rank, *suit);
            auto* button = new wxBitmapButton(
                parent, wxID_ANY, loadCardBitmap(code, kPickerCardWidth, kPickerCardHeight),
                wxDefaultPosition, wxSize(kPickerCardWidth, kPickerCardHeight), wxBORDER_NONE);
            button->SetName(code);
            button->Bind(wxEVT_BUTTON, [onClick, code](wxCommandEvent&) { onClick(code); });
            m_buttons[code] = button;
            m_order.push_back(code);
            grid->Add(button, 1, wxALL, 2);
        }
    }
    sizer->Add(grid, 1, wxEXPAND | wxALL, 10);
}

bool CardPicker::toggle(const wxString& field, const wxString& code, int capacity) {
    if (!m_buttons.count(code)) return false;
    std::vector<wxString>& cards = m_fieldCards[field];
    if (auto it = std::find(cards.begin(), cards.end(), code); it != cards.end()) {
        m_used.erase(code);
        cards.erase(it);
        showImages({code}, true);
        return true;
    }
    if (m_used.count(code) || static_cast<int>(cards.size()) >= capacity) return false;
    cards.push_back(code);
    m_used.insert(code);
    showImages({code}, false);
    return true;
}

void CardPicker::release(const wxString& field) {
    std::vector<wxString>& cards = m_fieldCards[field];
    for (const wxString& code : cards) m_used.erase(code);
    showImages(cards, true);
    cards.clear();
}

const std::vector<wxString>& CardPicker::cardsOf(const wxString& field) const {
    auto it = m_fieldCards.find(field);
    return it == m_fieldCards.end() ? kNoCards : it->second;
}

void CardPicker::showImages(const std::vector<wxString>& codes, bool restore) {
    for (const wxString& code : codes) {
        auto it = m_buttons.find(code);
        if (it == m_buttons.end()) continue;
        it->second->SetBitmapLabel(
            loadCardBitmap(restore ? code : wxString("x"), kPickerCardWidth, kPickerCardHeight));
    }
}

wxBitmap CardPicker::loadCardBitmap(const wxString& name, int width, int height) {
    const wxString path = wxString::Format("cards/%s.bmp", name);
    wxLogNull quiet;  // a damaged file is replaced silently like a missing one
    wxBitmap bitmap;
    if (wxFileName::FileExists(path) && bitmap.LoadFile(path, wxBITMAP_TYPE_BMP) && bitmap.IsOk())
        return bitmap;
    return wxBitmap(width, height);
}

}  // namespace varnel
