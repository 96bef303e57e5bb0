#include "ui/game_choice.h"

#include <wx/config.h>

#include "core/game.h"
#include "engine/request.h"

namespace varnel {

void saveGameType(const wxString& name) {
    if (wxConfigBase* config = wxConfigBase::Get(false)) {
        config->SetPath("/GAME");
        config->Write("GameType", name);
        config->Flush();
    }
}

GameChoice::GameChoice(wxWindow* parent, const wxString& current,
                       std::function<void(const wxString&)> onChoose)
    : wxChoice(parent, wxID_ANY) {
    for (const GameType& game : kGameTypes)
        if (playableGame(game.name)) Append(wxString(game.name.data(), game.name.size()));
    SetToolTip("The game of the next calculation");
    show(current);
    Bind(wxEVT_CHOICE, [this, onChoose = std::move(onChoose)](wxCommandEvent&) {
        onChoose(GetStringSelection());
    });
}

void GameChoice::show(const wxString& name) {
    int at = FindString(name, true);
    if (at == wxNOT_FOUND) at = Append(name);
    SetSelection(at);
}

}  // namespace varnel
