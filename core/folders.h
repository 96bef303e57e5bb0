#pragma once
// Where the programs keep their configuration, their log and their data. Run from a checkout
// (a folder the user may write), the window keeps "varnel.cfg" and "varnel.log" beside its
// executable and reads its data from the working directory. An installed program (its folder
// is <prefix>/bin beside <prefix>/share/varnel) or one whose folder is not writable keeps them
// per user, in the XDG base directories:
//   configuration  $XDG_CONFIG_HOME/varnel   (default ~/.config/varnel)
//   log            $XDG_STATE_HOME/varnel    (default ~/.local/state/varnel)
//   data           $XDG_CACHE_HOME/varnel/data (default ~/.cache/varnel/data)
// The data folder is filled by the installed generators in <prefix>/lib/varnel; the checkout's
// set-up keeps its own keyed folders beside it and links them into build/data.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace varnel {

// The project version ("0.1.0"), set in one place by the build.
std::string_view programVersion();

// Looks up an environment variable; null when unset.
using EnvLookup = std::function<const char*(const char*)>;

struct Folders {
    bool perUser = false;              // false: the checkout's layout beside the executable
    std::filesystem::path config;      // holds varnel.cfg
    std::filesystem::path log;         // holds varnel.log
    std::filesystem::path data;        // omaha-7.bin and the orderings; empty: working directory
    std::filesystem::path cards;       // installed card images; empty: "cards/" of the data
    std::filesystem::path generators;  // varnel-gen-table and varnel-gen-orderings; may be empty
};

// The one rule for the folders of a program whose executable lies in `exeDir`. `writable` says
// whether the user may write there; `env` supplies HOME and the XDG variables (a relative or
// empty XDG value is ignored, as the base-directory rules ask).
Folders chooseFolders(const std::filesystem::path& exeDir, bool writable, const EnvLookup& env);

// chooseFolders for this process's executable folder, writability and environment.
Folders foldersOfThisProgram();

// The per-user data folder: $XDG_CACHE_HOME/varnel/data or ~/.cache/varnel/data.
std::filesystem::path userDataFolder(const EnvLookup& env);

// Where the command line reads its data without --data: the working directory `cwd` when it
// holds the evaluator table, else the user's data folder when that does; empty when neither.
std::filesystem::path findDataFolder(const std::filesystem::path& cwd, const EnvLookup& env);

// The generator `name` ("varnel-gen-table") that serves a program in `exeDir`: the installed one
// in <prefix>/lib/varnel, else the release build's beside a program of the build tree; empty
// when there is none.
std::filesystem::path findGenerator(const std::filesystem::path& exeDir, std::string_view name);

// The folders as lines "configuration: ...", "log: ...", "data: ...", for the About box and
// --version.
std::string describeFolders(const Folders& folders);

// The folders the running program chose at start-up (set once, read by the About box).
const Folders& foldersInUse();
void setFoldersInUse(const Folders& folders);

}  // namespace varnel
