// varnel-gen-table: writes the evaluator table "omaha-7.bin".
//
// With --out PATH it first checks PATH: a table that loads (header, size, checksum, entry range)
// and agrees with a plain two-plus-three evaluator on a sample of hands is left alone; --check
// stops there. Otherwise the table is built, checked the same way, and written under a
// temporary name in the same directory, then renamed, so an interrupted run never leaves a
// partial file behind.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/cards.h"
#include "eval/five_card.h"
#include "eval/omaha_eval.h"
#include "eval/table_format.h"
#include "tools/gen-table/table_builder.h"

namespace {

using namespace varnel;
using five_card::BoardTriples;
using five_card::ClassRanks;

constexpr int kSampleHands = 500;  // checked when an existing file is examined
constexpr int kFreshSampleHands = 200000;

// Compares the process-wide table with the plain evaluator on random deals (fixed seed).
bool sampleAgrees(const ClassRanks& ranks, int hands) {
    std::mt19937_64 rng(20240611);
    std::array<CardId, kDeckSize> deck{};
    for (int i = 0; i < kDeckSize; ++i) deck[i] = i;
    for (int n = 0; n < hands; ++n) {
        const int holeCount = kMinHoleCards + n % (kMaxHoleCards - kMinHoleCards + 1);
        for (int i = 0; i < kBoardCards + holeCount; ++i) {
            std::uniform_int_distribution<int> pick(i, kDeckSize - 1);
            std::swap(deck[i], deck[pick(rng)]);
        }
        const CardId* board = deck.data();
        // The evaluator takes hole cards in ascending order: pick them from the sorted rest.
        const CardMask holeMask =
            maskFromCards({deck.data() + kBoardCards, static_cast<std::size_t>(holeCount)});
        CardId hole[kMaxHoleCards];
        cardsFromMask(holeMask, hole);
        if (evaluateOmaha(hole, holeCount, board) !=
            ranks.evaluate(BoardTriples(board), hole, holeCount))
            return false;
    }
    return true;
}

bool existingTableValid(const ClassRanks& ranks, const std::string& path) {
    try {
        omahaEvaluator().attach(loadOmahaTable(path));
    } catch (const std::exception&) {
        return false;
    }
    return omahaEvaluator().usable() && sampleAgrees(ranks, kSampleHands);
}

bool writeAtomically(const std::string& path, const std::vector<std::uint32_t>& entries) {
    const std::filesystem::path target(path);
    std::filesystem::path temp = target;
    temp += ".tmp." + std::to_string(getpid());  // runs that overlap never share a temporary
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        writeTableFile(out, entries.data(), entries.size());
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    return !ec;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Generates the Omaha evaluator table omaha-7.bin"};
    std::string out = kTableFileName;
    bool check = false;
    app.add_option("--out", out, "Path of the table file (left alone when already valid)");
    app.add_flag("--check", check, "Only check the file; exit status 1 when it is not valid");
    CLI11_PARSE(app, argc, argv);

    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress lines show up at once in logs too
    const ClassRanks ranks;
    if (existingTableValid(ranks, out)) {
        std::printf("%s is up to date\n", out.c_str());
        return 0;
    }
    if (check) {
        std::printf("%s is missing or not valid\n", out.c_str());
        return 1;
    }
    omahaEvaluator().attach(nullptr);

    std::printf("generating %s\n", out.c_str());
    const auto start = std::chrono::steady_clock::now();
    gen_table::BuildResult built = gen_table::buildOmahaTable(
        ranks, [](const std::string& line) { std::printf("  %s\n", line.c_str()); });

    // Every entry, read as a state, must keep the 52 cells it leads to inside the table.
    const std::uint64_t stateLimit = built.entries.size() - (kDeckSize - 1);
    if (std::any_of(built.entries.begin(), built.entries.end(),
                    [&](std::uint32_t e) { return e >= stateLimit; })) {
        std::fprintf(stderr, "error: the built table has an entry leading outside it\n");
        return 1;
    }
    auto table = makeOmahaTable(built.entries.size());
    if (!table) {
        std::fprintf(stderr, "error: out of memory\n");
        return 1;
    }
    std::copy(built.entries.begin(), built.entries.end(), table->entries.get());
    omahaEvaluator().attach(std::move(table));
    if (!sampleAgrees(ranks, kFreshSampleHands)) {
        std::fprintf(stderr, "error: the built table disagrees with the plain evaluator\n");
        return 1;
    }
    if (!writeAtomically(out, built.entries)) {
        std::fprintf(stderr, "error: cannot write %s\n", out.c_str());
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("states per level:");
    for (std::size_t n : built.states) std::printf(" %zu", n);
    std::printf("\nwrote %s: %zu entries, %.1f MiB, in %.1f s\n", out.c_str(), built.entries.size(),
                static_cast<double>(tableFileSize(built.entries.size())) / (1 << 20), seconds);
    return 0;
}
