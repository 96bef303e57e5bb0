// varnel-cli: the headless front end of the engine (evaluation, ranges, equities, benchmarks).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <new>

#include "cli/commands.h"
#include "core/folders.h"
#include "eval/omaha_eval.h"
#include "eval/table_format.h"

namespace varnel::cli {

std::string dataPath(const CliContext& ctx, const std::string& name) {
    return (std::filesystem::path(ctx.dataDir) / name).string();
}

std::wstring widen(const std::string& text, bool& plainAscii) {
    std::wstring wide;
    wide.reserve(text.size());
    plainAscii = true;
    for (unsigned char c : text) {
        plainAscii = plainAscii && c < 0x80;
        wide.push_back(c < 0x80 ? static_cast<wchar_t>(c) : L'\uFFFD');
    }
    return wide;
}

std::string narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

bool loadTableOrComplain(const CliContext& ctx) {
    const std::string path = dataPath(ctx, kTableFileName);
    try {
        omahaEvaluator().attach(loadOmahaTable(path));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: cannot read %s: %s\n%s", path.c_str(), e.what(),
                     ctx.missingDataHint.c_str());
        return false;
    }
    if (!omahaEvaluator().usable()) {
        std::fprintf(stderr, "error: wrong or absent evaluator table %s\n%s", path.c_str(),
                     ctx.missingDataHint.c_str());
        return false;
    }
    return true;
}

namespace {

namespace fs = std::filesystem;

fs::path executableFolder() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec).parent_path();
}

// What to run when neither the working directory nor the user's data folder holds the table.
std::string missingDataHint() {
    const fs::path user = varnel::userDataFolder(std::getenv);
    const fs::path table = varnel::findGenerator(executableFolder(), "varnel-gen-table");
    const fs::path orderings = varnel::findGenerator(executableFolder(), "varnel-gen-orderings");
    std::string hint = "No omaha-7.bin in the working directory nor in " + user.string() + ".\n";
    if (table.empty())
        return hint +
               "Give the folder that holds it with --data, or run scripts/run.sh in the "
               "source checkout once.\n";
    hint += "Make it (a few seconds) with:\n  mkdir -p " + user.string() + " && " + table.string() +
            " --out " + (user / "omaha-7.bin").string() + "\n";
    if (!orderings.empty())
        hint += "and the hand orderings for percentage ranges (several minutes) with:\n  " +
                orderings.string() + " --out " + user.string() + "\n";
    return hint;
}

}  // namespace

}  // namespace varnel::cli

int main(int argc, char** argv) {
    using namespace varnel::cli;
    CLI::App app{"Varnel command line: Omaha hand values, ranges and equities"};
    app.require_subcommand(1);
    app.fallthrough();  // --data may follow the sub-command
    CliContext ctx;
    CLI::Option* data =
        app.add_option("--data", ctx.dataDir,
                       "Directory holding omaha-7.bin and the ordering files (default: the "
                       "working directory when it holds omaha-7.bin, else the user's cache)")
            ->check(CLI::ExistingDirectory);
    // The version, and the folders the window program beside this one uses with the data
    // folder this one would read.
    app.set_version_flag("--version", [] {
        varnel::Folders folders = varnel::foldersOfThisProgram();
        const auto found = varnel::findDataFolder(std::filesystem::current_path(), std::getenv);
        folders.data = found.empty() ? "none (no omaha-7.bin)" : found;
        std::string text = "varnel-cli " + std::string(varnel::programVersion()) + "\n" +
                           varnel::describeFolders(folders);
        text.pop_back();
        return text;
    });
    // The ordering files are opened by bare name, so the data directory becomes the working
    // directory before any sub-command runs.
    app.parse_complete_callback([&ctx, data] {
        if (data->count() == 0) {
            const auto found = varnel::findDataFolder(std::filesystem::current_path(), std::getenv);
            if (found.empty())
                ctx.missingDataHint = missingDataHint();
            else
                ctx.dataDir = found.string();
        }
        std::error_code ec;
        const auto dir = std::filesystem::absolute(ctx.dataDir, ec);
        if (!ec) std::filesystem::current_path(dir, ec);
        if (ec) {
            std::fprintf(stderr, "error: cannot enter %s: %s\n", ctx.dataDir.c_str(),
                         ec.message().c_str());
        } else {
            ctx.dataDir = dir.string();
        }
    });

    addEvalCommand(app, ctx);
    addBenchCommand(app, ctx);
    addRangeCommand(app, ctx);
    addEquityCommand(app, ctx);
    addBreakdownCommand(app, ctx);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "error: not enough memory for this calculation\n");
        return 1;
    }
    return ctx.exitCode;
}
