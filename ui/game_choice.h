#pragma once
// The game beside "Start": a choice of every game the engine plays (core/game.h), so that the
// game is in sight when a calculation starts. It and the game-type dialog change the same
// setting; the window keeps both in step.

#include <wx/choice.h>

#include <functional>

namespace varnel {

// Writes `name` as the game of the next start ("GameType" in the configuration), when there is a
// configuration.
void saveGameType(const wxString& name);

class GameChoice : public wxChoice {
  public:
    // `onChoose` is called with the name the user chose.
    GameChoice(wxWindow* parent, const wxString& current,
               std::function<void(const wxString&)> onChoose);

    // Shows `name` as chosen; a name the list lacks (one the configuration named) is added.
    void show(const wxString& name);
};

}  // namespace varnel
