#include "app/first_start.h"

#include <wx/progdlg.h>
#include <wx/utils.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "core/generator_run.h"
#include "eval/table_format.h"
#include "range/ordering_files.h"

namespace varnel {
namespace fs = std::filesystem;
namespace {

using Log = std::function<void(const std::string&)>;

// "cards" in the data folder points at the installed images (again at every start, so that a
// moved installation is followed).
void linkCards(const Folders& f, const Log& log) {
    if (f.cards.empty()) return;
    const fs::path link = f.data / "cards";
    std::error_code ec;
    if (fs::exists(link, ec) && !fs::is_symlink(link, ec)) return;  // the user's own images
    fs::remove(link, ec);
    fs::create_directory_symlink(f.cards, link, ec);
    if (ec) log("Cannot link " + link.string() + " to " + f.cards.string() + ": " + ec.message());
}

// Runs the table generator under the folder's table lock while a progress dialog pulses.
void makeTable(const Folders& f, const Log& log) {
    const fs::path generator = f.generators / "varnel-gen-table";
    if (f.generators.empty() || !fs::exists(generator)) {
        log("No table generator beside the program: " + generator.string());
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    std::atomic<int> status{-2};
    std::thread worker([&] {
        status = runWhileLocked(f.data / "table.lock",
                                {generator.string(), "--out", (f.data / kTableFileName).string()});
    });
    {
        wxProgressDialog dialog("Varnel", "Preparing the hand evaluator for its first use...", 100,
                                nullptr, wxPD_APP_MODAL | wxPD_SMOOTH);
        while (status == -2) {
            dialog.Pulse();
            wxMilliSleep(50);
        }
    }
    worker.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char line[200];
    std::snprintf(line, sizeof line, "Evaluator table made in %s: exit status %d, %.1f s",
                  f.data.c_str(), status.load(), seconds);
    log(line);
}

void startOrderings(const Folders& f, const Log& log) {
    const fs::path generator = f.generators / "varnel-gen-orderings";
    if (f.generators.empty() || !fs::exists(generator)) return;
    const std::string out = f.data.string();
    BackgroundJob job{f.data / "lock",
                      f.data / fs::path(kOrderingsBeingGenerated),
                      f.data / "generate.log",
                      {generator.string(), "--out", out, "--check"},
                      {generator.string(), "--out", out}};
    switch (startInBackground(job)) {
        case BackgroundStart::Started:
            log("Hand orderings checked, and made when missing, in the background (log: " +
                job.log.string() + ")");
            break;
        case BackgroundStart::AlreadyRunning:
            log("Hand orderings are being made by another run");
            break;
        case BackgroundStart::Failed:
            log("Cannot start making the hand orderings");
            break;
    }
}

}  // namespace

void prepareUserData(const Folders& f, const Log& log) {
    std::error_code ec;
    fs::create_directories(f.data, ec);
    fs::current_path(f.data, ec);
    if (ec) {
        log("Cannot use the data folder " + f.data.string() + ": " + ec.message());
        return;
    }
    linkCards(f, log);
    if (!fs::exists(kTableFileName, ec)) makeTable(f, log);
    startOrderings(f, log);
}

}  // namespace varnel
