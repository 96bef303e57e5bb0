#include "ui/orderings_label.h"

#include <vector>

#include "core/game.h"

namespace varnel {
namespace {

constexpr int kLookAgainMs = 3000;

// The high game of `holeCards` cards, which names the Hi/Lo game and Courchevel with it.
wxString gameOf(int holeCards) {
    for (const GameType& game : kGameTypes)
        if (game.holeCards == holeCards) return wxString(game.name.data(), game.name.size());
    return {};
}

wxString listed(const std::vector<wxString>& names) {
    wxString text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

bool allReady(const OrderingsStatus& status) {
    for (const OrderingProgress& p : status.cards)
        if (p.state != OrderingState::Ready) return false;
    return true;
}

}  // namespace

wxString orderingsText(const OrderingsStatus& status) {
    if (allReady(status)) return "Percentage ranges: ready for every game.";
    std::vector<wxString> ready, preparing, missing;
    for (int cards = kFirstOrderingCards; cards < kFirstOrderingCards + kOrderingCount; ++cards) {
        const OrderingProgress& p = status.of(cards);
        switch (p.state) {
            case OrderingState::Ready:
                ready.push_back(gameOf(cards));
                break;
            case OrderingState::InProgress:
                preparing.push_back(gameOf(cards) + wxString::Format(" (%.0f%% done, ", p.percent) +
                                    wxString(p.secondsLeft < 0
                                                 ? std::wstring(L"time left not known yet")
                                                 : durationText(p.secondsLeft) + L" left") +
                                    ")");
                break;
            case OrderingState::Pending:
                preparing.push_back(gameOf(cards) + " (next)");
                break;
            case OrderingState::Missing:
                missing.push_back(gameOf(cards));
                break;
        }
    }
    wxString text = "Percentage ranges: ";
    std::vector<wxString> parts;
    if (!ready.empty()) parts.push_back("ready for " + listed(ready));
    if (!preparing.empty()) parts.push_back("being prepared for " + listed(preparing));
    if (!missing.empty()) parts.push_back("not available for " + listed(missing));
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? "; " : "") + parts[i];
    return text + " (Hi/Lo games alike).";
}

wxString readingText(const RequestInput& input) {
    for (const auto& [key, text] : input.fields) {
        if (key.starts_with(L'P') && text.find(L'%') != std::wstring::npos)
            return "Reading the fields; the percentage ranges of " + wxString(input.game) +
                   " are read from disk...";
    }
    return "Reading the fields...";
}

OrderingsLabel::OrderingsLabel(wxWindow* parent) : wxStaticText(parent, wxID_ANY, wxEmptyString) {
    SetFont(GetFont().Smaller());
    m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { refresh(); });
    refresh();
}

void OrderingsLabel::refresh() {
    const OrderingsStatus status = orderingsStatus();
    const wxString text = orderingsText(status);
    if (text != GetLabel()) {
        SetLabel(text);
        if (GetParent()) GetParent()->Layout();
    }
    if (allReady(status))
        m_timer.Stop();
    else if (!m_timer.IsRunning())
        m_timer.Start(kLookAgainMs);
}

}  // namespace varnel
