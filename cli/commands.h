#pragma once
// Sub-commands of varnel-cli. Each adds itself to the application; its callback returns the
// process exit code through CliContext::exitCode.

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>

namespace varnel::cli {

struct CliContext {
    std::string dataDir = ".";  // where omaha-7.bin and the orderings are looked for
    int exitCode = 0;
    // Said after a missing table when no --data was given and no data folder was found.
    std::string missingDataHint;
};

// Path of a data file inside the data directory.
std::string dataPath(const CliContext& ctx, const std::string& name);

// Loads omaha-7.bin from the data directory into the process-wide evaluator; prints a message
// to standard error and returns false when it is missing or invalid.
bool loadTableOrComplain(const CliContext& ctx);

// Bytes of 7-bit ASCII become the same characters; every other byte becomes U+FFFD, which no
// range or card code accepts, so a text the engine cannot read is never half read.
std::wstring widen(const std::string& text, bool& plainAscii);

// Characters of 7-bit ASCII stay; every other character becomes '?'.
std::string narrow(std::wstring_view text);

void addEvalCommand(CLI::App& app, CliContext& ctx);
void addBenchCommand(CLI::App& app, CliContext& ctx);
void addRangeCommand(CLI::App& app, CliContext& ctx);
void addEquityCommand(CLI::App& app, CliContext& ctx);
void addBreakdownCommand(CLI::App& app, CliContext& ctx);

}  // namespace varnel::cli
