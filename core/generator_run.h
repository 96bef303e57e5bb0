#pragma once
// Running the data generators from an installed program, under the same protocol as the
// checkout's set-up: whoever generates into a folder holds an exclusive flock on its lock file,
// and the orderings' folder carries a marker while they are being made (the range language
// tells the user "being generated" meanwhile).

#include <filesystem>
#include <string>
#include <vector>

namespace varnel {

// Runs `argv` (argv[0] a path) to its end while holding `lock` (created when missing; waits
// while another process holds it). Returns the exit status, or -1 when it could not be run.
int runWhileLocked(const std::filesystem::path& lock, const std::vector<std::string>& argv);

enum class BackgroundStart { Started, AlreadyRunning, Failed };

struct BackgroundJob {
    std::filesystem::path lock;         // held for the whole job
    std::filesystem::path marker;       // present while `generate` runs
    std::filesystem::path log;          // the commands' output
    std::vector<std::string> check;     // exit status 0: nothing to do
    std::vector<std::string> generate;  // run at low priority when `check` fails
};

// Starts `job` in a detached process of its own session, which outlives this program. Returns
// once that process has tried the lock: AlreadyRunning when another process holds it.
BackgroundStart startInBackground(const BackgroundJob& job);

}  // namespace varnel
