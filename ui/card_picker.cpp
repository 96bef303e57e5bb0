#include "ui/card_picker.h"

#include <wx/filename.h>
#include <wx/log.h>

#include <algorithm>
#include <cwctype>

#include "core/cards.h"

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
        cards.erase(it);
        refresh();
        return true;
    }
    if (m_used.count(code) || static_cast<int>(cards.size()) >= capacity) return false;
    cards.push_back(code);
    refresh();
    return true;
}

void CardPicker::release(const wxString& field) {
    m_fieldCards[field].clear();
    refresh();
}

void CardPicker::setCards(const wxString& field, const std::vector<wxString>& codes) {
    std::vector<wxString>& cards = m_fieldCards[field];
    if (cards == codes) return;
    cards = codes;
    refresh();
}

void CardPicker::refresh() {
    std::set<wxString> used;
    for (const auto& [field, cards] : m_fieldCards) used.insert(cards.begin(), cards.end());
    std::vector<wxString> freed, taken;
    std::set_difference(m_used.begin(), m_used.end(), used.begin(), used.end(),
                        std::back_inserter(freed));
    std::set_difference(used.begin(), used.end(), m_used.begin(), m_used.end(),
                        std::back_inserter(taken));
    m_used = std::move(used);
    showImages(freed, true);
    showImages(taken, false);
}

std::vector<wxString> CardPicker::namedCards(const wxString& text) {
    std::vector<wxString> codes;
    const std::wstring all = text.ToStdWstring();
    for (std::size_t at = 0; at < all.size();) {
        std::size_t end = at;
        while (end < all.size() && std::iswalnum(all[end])) ++end;
        const std::wstring_view word(all.data() + at, end - at);
        std::vector<wxString> cards;
        bool codesOnly = !word.empty() && word.size() % 2 == 0;
        for (std::size_t i = 0; codesOnly && i < word.size(); i += 2) {
            const std::wstring_view code = word.substr(i, 2);
            if (cardIdFromCode(code) != kNoCard)
                cards.emplace_back(std::wstring(code));
            else
                codesOnly = std::find(wildcardCodes.begin(), wildcardCodes.end(), code) !=
                            wildcardCodes.end();
        }
        if (codesOnly) codes.insert(codes.end(), cards.begin(), cards.end());
        at = end + 1;
    }
    return codes;
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
