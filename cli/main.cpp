// varnel-cli: the headless front end of the engine (evaluation, ranges, equities, benchmarks).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>

#include "cli/commands.h"
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
        std::fprintf(stderr, "error: cannot read %s: %s\n", path.c_str(), e.what());
        return false;
    }
    if (!omahaEvaluator().usable()) {
        std::fprintf(stderr, "error: wrong or absent evaluator table %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace varnel::cli

int main(int argc, char** argv) {
    using namespace varnel::cli;
    CLI::App app{"Varnel command line: Omaha hand values, ranges and equities"};
    app.require_subcommand(1);
    app.fallthrough();  // --data may follow the sub-command
    CliContext ctx;
    app.add_option("--data", ctx.dataDir, "Directory holding omaha-7.bin and the ordering files")
        ->check(CLI::ExistingDirectory);
    // The ordering files are opened by bare name, so the data directory becomes the working
    // directory before any sub-command runs.
    app.parse_complete_callback([&ctx] {
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
