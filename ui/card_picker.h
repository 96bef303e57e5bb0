#pragma once
// The card picker: 52 card buttons, four rows of suits by thirteen ranks, and the cards each
// field holds, picked or typed (the window hands it every field's text). A card in any field
// shows the used-card image and cannot be picked into another; clicking it again in its field
// gives it back.

#include <wx/bmpbuttn.h>
#include <wx/sizer.h>

#include <functional>
#include <map>
#include <set>
#include <vector>

namespace varnel {

inline constexpr int kPickerCardWidth = 25;
inline constexpr int kPickerCardHeight = 35;
// Picker rows and columns: suits and ranks in display order.
inline constexpr const wchar_t* kPickerSuits = L"shdc";
inline constexpr const wchar_t* kPickerRanks = L"AKQJT98765432";

class CardPicker {
  public:
    // Adds the buttons, children of `parent`, to `sizer`; a click on one calls `onClick` with its
    // card code.
    CardPicker(wxWindow* parent, wxSizer* sizer, std::function<void(const wxString&)> onClick);

    // Gives `code` back when `field` holds it, else takes it into `field` when no field holds it
    // and `field` holds fewer than `capacity` cards. Returns whether the field's cards changed.
    bool toggle(const wxString& field, const wxString& code, int capacity);
    // Gives back every card of `field`.
    void release(const wxString& field);
    // Makes `codes` the cards of `field` (read from what was typed there). A card may then be
    // in two fields at once: the request reader names that clash.
    void setCards(const wxString& field, const std::vector<wxString>& codes);

    const std::vector<wxString>& cardsOf(const wxString& field) const;
    const std::set<wxString>& used() const { return m_used; }
    wxBitmapButton* button(const wxString& code) const { return m_buttons.at(code); }
    // Codes in display order, row by row.
    const std::vector<wxString>& order() const { return m_order; }

    // Shows each code's own image (restore) or the used-card image "x" on its button.
    void showImages(const std::vector<wxString>& codes, bool restore);
    // The card codes a field's text names: each word made only of card and wildcard codes
    // ("AsKsXxXx" names As and Ks) gives its cards, in order; "AA", "xxyy" and "10%" name none.
    static std::vector<wxString> namedCards(const wxString& text);
    // The bitmap "cards/<name>.bmp" of the working directory, or an empty one of the given size.
    static wxBitmap loadCardBitmap(const wxString& name, int width, int height);

  private:
    // Recomputes the used cards and redraws the buttons whose state changed.
    void refresh();

    std::map<wxString, wxBitmapButton*> m_buttons;
    std::vector<wxString> m_order;
    std::map<wxString, std::vector<wxString>> m_fieldCards;
    std::set<wxString> m_used;
};

}  // namespace varnel
