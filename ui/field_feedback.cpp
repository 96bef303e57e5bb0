#include "ui/field_feedback.h"

#include <wx/app.h>

#include <cwctype>
#include <exception>

#include "core/cards.h"
#include "ui/dlg_varnel.h"

namespace varnel {
namespace {

// How long the user must pause before the fields are read again.
constexpr int kPauseMs = 300;
const wxColour kProblemColour(190, 0, 0);
const wxColour kCountColour(70, 70, 70);

// "15%", " 12.5% ": one percentage term and nothing else.
bool percentageOnly(const std::wstring& text) {
    std::size_t a = 0, b = text.size();
    while (a < b && std::iswspace(text[a])) ++a;
    while (b > a && std::iswspace(text[b - 1])) --b;
    if (b - a < 2 || text[b - 1] != L'%') return false;
    for (std::size_t i = a; i + 1 < b; ++i)
        if (!std::iswdigit(text[i]) && text[i] != L'.') return false;
    return true;
}

wxString boardText(CardMask cards) {
    switch (cardCount(cards)) {
        case 3:
            return "flop";
        case 4:
            return "turn";
        default:
            return "river";
    }
}

struct Line {
    wxString text;
    bool problem = false;
};

// What each field's line says after a reading.
std::map<wxString, Line> linesOf(const RequestInput& input, const CheckedRequest& checked) {
    std::map<wxString, Line> lines;
    for (const RequestProblem& p : checked.problems) {
        if (p.field.empty() || !input.fields.count(p.field)) continue;
        Line& line = lines[p.field];
        // The message starts with the field's name, which the line stands under already.
        const std::wstring prefix = p.field + L": ";
        const std::wstring why =
            p.message.starts_with(prefix) ? p.message.substr(prefix.size()) : p.message;
        line.text += (line.problem ? "; " : "") + wxString(why);
        line.problem = true;
    }
    for (const PlayerField& player : checked.players) {
        Line& line = lines[player.key];
        if (line.problem) continue;
        if (player.random)
            line.text = "any hand";
        else
            line.text = (percentageOnly(player.text) ? wxString(player.text) + ": " : wxString()) +
                        wxString(handCountText(player.hands));
    }
    const Boards& boards = checked.request.boards;
    for (int b = 0; b < kMaxBoards; ++b) {
        const wxString key = b == 0 ? "B1" : "B2";
        if (boards[b] && !lines[key].problem) lines[key].text = boardText(boards[b]);
    }
    if (const CardMask dead = checked.request.deadCards; dead && !lines["D"].problem) {
        const int n = cardCount(dead);
        lines["D"].text = wxString::Format(n == 1 ? "%d dead card" : "%d dead cards", n);
    }
    return lines;
}

}  // namespace

struct FieldFeedback::Check {
    // The latest reading's owner; nullptr once the reading is stale or the owner gone. UI thread
    // only.
    FieldFeedback* owner = nullptr;
    RequestInput input;
    CheckedRequest checked;
    std::atomic<bool> stop{false};
};

FieldFeedback::FieldFeedback(wxWindow* owner, Source source, Answer onAnswer)
    : m_owner(owner), m_source(std::move(source)), m_onAnswer(std::move(onAnswer)) {
    m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { checkNow(); });
}

FieldFeedback::~FieldFeedback() {
    m_timer.Stop();
    if (m_check) {
        m_check->owner = nullptr;
        m_check->stop = true;
    }
}

wxStaticText* FieldFeedback::addLabel(wxWindow* parent, const wxString& name, int width) {
    auto* label = new wxStaticText(parent, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                   wxSize(width, -1), wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    label->SetFont(label->GetFont().Smaller());
    label->SetMinSize(wxSize(width, label->GetCharHeight()));
    m_labels[name] = label;
    return label;
}

wxStaticText* FieldFeedback::addBoardsLine(wxWindow* parent) {
    m_boardsLine = new wxStaticText(parent, wxID_ANY, wxEmptyString);
    m_boardsLine->SetForegroundColour(kProblemColour);
    m_boardsLine->Hide();
    return m_boardsLine;
}

void FieldFeedback::schedule() {
    m_timer.StartOnce(kPauseMs);
}

void FieldFeedback::checkNow() {
    m_timer.Stop();
    if (m_check) {
        // Its answer would be stale: it stops, and no answer of it reaches this object.
        m_check->stop = true;
        m_check->owner = nullptr;
    }
    auto check = std::make_shared<Check>();
    check->owner = this;
    check->input = m_source();
    m_check = check;
    try {
        runHooks().startWorker([check] {
            try {
                check->checked = readRequest(check->input, &check->stop);
                // Only the counts are shown: the hands (up to gigabytes) go at once.
                check->checked.request.lists = {};
            } catch (const std::exception&) {
                check->checked.stopped = true;  // nothing to show; Start tells the problem
            }
            wxTheApp->CallAfter([check] {
                if (check->owner) check->owner->apply(*check);
            });
        });
    } catch (const std::exception&) {
        // No thread to read on: the fields are still read when Start is pressed.
    }
}

void FieldFeedback::apply(const Check& check) {
    if (check.checked.stopped) return;
    ++m_answers;
    const std::map<wxString, Line> lines = linesOf(check.input, check.checked);
    m_clean = true;
    wxString boardProblems;
    for (const auto& [name, label] : m_labels) {
        auto it = lines.find(name);
        const Line line = it == lines.end() ? Line{} : it->second;
        m_clean &= !line.problem;
        const bool board = name == "B1" || name == "B2" || name == "B3";
        if (board && line.problem)
            boardProblems += (boardProblems.empty() ? "" : "\n") + name + ": " + line.text;
        label->SetForegroundColour(line.problem ? kProblemColour : kCountColour);
        label->SetLabel(board && line.problem ? wxString("see below") : line.text);
        label->SetToolTip(line.text);
    }
    if (m_boardsLine) {
        m_boardsLine->SetLabel(boardProblems);
        m_boardsLine->Show(!boardProblems.empty());
    }
    m_owner->Layout();
    if (m_onAnswer) m_onAnswer(m_clean);
}

}  // namespace varnel
