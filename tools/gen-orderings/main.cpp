// varnel-gen-orderings: writes the four hand orderings (4 to 7 hole cards) into a directory,
// skipping those whose files are already valid.
#include <sys/resource.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <thread>

#include "eval/omaha_eval.h"
#include "range/ordering_format.h"
#include "tools/gen-orderings/estimator.h"
#include "tools/gen-orderings/measure.h"
#include "tools/gen-orderings/ordering_files.h"
#include "tools/gen-orderings/suit_classes.h"

namespace {

using namespace varnel;
using namespace varnel::gen_orderings;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of the whole process so far, all threads.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// How an ordering is estimated: every class on `firstBoards` boards, then the classes holding
// the best `refineShare` of all hands (by that first estimate) on `refineBoards` more, since the
// order among the best hands is what the percentages use most. Board counts are at precision 1.
struct Plan {
    EstimateSettings settings;
    int firstBoards;
    double refineShare;
    int refineBoards;
};

Plan planFor(int numCards, double precision, std::uint64_t seed, int threads) {
    Plan p{};
    p.settings.numCards = numCards;
    p.settings.seed = seed;
    p.settings.threads = threads;
    p.refineShare = 0.3;
    switch (numCards) {
        case 4:  // six-handed
            p.settings.opponents = 5;
            p.firstBoards = 30000;
            p.refineBoards = 120000;
            break;
        case 5:  // six-handed
            p.settings.opponents = 5;
            p.firstBoards = 6000;
            p.refineBoards = 70000;
            break;
        case 6:  // heads-up
            p.settings.opponents = 1;
            p.firstBoards = 1000;
            p.refineBoards = 12000;
            break;
        default:  // heads-up
            p.settings.opponents = 1;
            p.firstBoards = 600;
            p.refineBoards = 18000;
            break;
    }
    p.settings.dealsPerBoard = 1;
    p.settings.poolSize = 32;
    p.firstBoards = std::max(1, static_cast<int>(p.firstBoards * precision));
    p.refineBoards = std::max(1, static_cast<int>(p.refineBoards * precision));
    return p;
}

// Class indices, best estimate first (ties in enumeration order).
std::vector<std::size_t> rankClasses(const Tally& tally) {
    std::vector<std::size_t> order(tally.score.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return tally.equity(a) > tally.equity(b);
    });
    return order;
}

void generate(const std::filesystem::path& out, int numCards, double precision, std::uint64_t seed,
              int threads) {
    const auto start = Clock::now();
    const double cpuStart = cpuSeconds();
    const std::vector<SuitClass> classes = enumerateSuitClasses(numCards);
    std::vector<CardMask> hands(classes.size());
    for (std::size_t i = 0; i < classes.size(); ++i) hands[i] = classes[i].representative();
    const Plan plan = planFor(numCards, precision, seed, threads);

    // Progress by work: class-boards of both stages.
    const double firstWork = static_cast<double>(plan.firstBoards) * hands.size();
    const double refineWork =
        static_cast<double>(plan.refineBoards) * hands.size() * plan.refineShare;
    auto lastShown = start;
    const auto show = [&](double done) {
        if (Clock::now() - lastShown < std::chrono::milliseconds(500) && done < 1.0) return;
        lastShown = Clock::now();
        std::fprintf(stderr, "\r  %d cards: %zu classes, %5.1f%% (%.0f s)", numCards,
                     classes.size(), done * 100, secondsSince(start));
    };

    Tally tally;
    playBoards(hands, plan.settings, 0, plan.firstBoards, tally,
               [&](double part) { show(part * firstWork / (firstWork + refineWork)); });
    std::vector<std::size_t> refined;
    std::uint64_t refinedHands = 0;
    const double total = static_cast<double>(orderingFormat(numCards)->totalHands);
    for (std::size_t c : rankClasses(tally)) {
        if (refinedHands >= plan.refineShare * total) break;
        refined.push_back(c);
        refinedHands += classes[c].handCount();
    }
    std::vector<CardMask> refinedReps(refined.size());
    for (std::size_t i = 0; i < refined.size(); ++i) refinedReps[i] = hands[refined[i]];
    Tally more;
    playBoards(
        refinedReps, plan.settings, plan.firstBoards, plan.refineBoards, more,
        [&](double part) { show((firstWork + part * refineWork) / (firstWork + refineWork)); });
    for (std::size_t i = 0; i < refined.size(); ++i) {
        tally.score[refined[i]] += more.score[i];
        tally.units[refined[i]] += more.units[i];
    }

    const std::vector<std::size_t> order = rankClasses(tally);
    std::vector<SuitClass> sorted(classes.size());
    std::vector<double> scores(classes.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted[i] = classes[order[i]];
        scores[i] = tally.equity(order[i]);
    }
    writeOrdering(out, numCards, sorted, scores);
    std::fprintf(stderr, "\r  %d cards: %zu classes written in %.1f s (processor time %.1f s)\n",
                 numCards, classes.size(), secondsSince(start), cpuSeconds() - cpuStart);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Generates the hand orderings of 4 to 7 hole cards"};
    std::string out;
    std::uint64_t seed = 1;
    std::vector<int> cards = {4, 5, 6, 7};
    bool check = false, force = false, measure = false;
    double precision = 1.0;
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    MeasureSettings measureSettings;
    app.add_option("--out", out, "Directory for the ordering files")->required();
    app.add_option("--seed", seed, "Seed of the random deals");
    app.add_option("--cards", cards, "Orderings to make, by number of hole cards")
        ->delimiter(',')
        ->check(CLI::Range(4, 7));
    app.add_option("--precision", precision, "Scale of the number of boards (1 = full)")
        ->check(CLI::PositiveNumber);
    app.add_option("--threads", threads, "Worker threads")->check(CLI::Range(1, 64));
    app.add_flag("--check", check, "Only check the files; exit status 1 when one is not valid");
    app.add_flag("--force", force, "Regenerate even valid files");
    app.add_flag("--measure", measure,
                 "Compare the best 20% of each ordering with precise estimates of a sample");
    app.add_option("--measure-deals", measureSettings.dealsPerClass, "Deals per sampled class");
    app.add_option("--measure-samples", measureSettings.samples, "Sampled classes");
    std::string table;
    app.add_option("--table", table, "omaha-7.bin: measure with the program's evaluator")
        ->check(CLI::ExistingFile);
    CLI11_PARSE(app, argc, argv);
    if (!table.empty()) {
        omahaEvaluator().attach(loadOmahaTable(table));
        if (!omahaEvaluator().usable()) {
            std::fprintf(stderr, "error: %s is not a usable evaluator table\n", table.c_str());
            return 2;
        }
        measureSettings.useTable = true;
    }

    bool allValid = true;
    try {
        for (int numCards : cards) {
            std::string why;
            if (measure) {
                measureSettings.numCards = numCards;
                measureSettings.threads = threads;
                const auto start = Clock::now();
                double spread = 0;
                const double rho = measureOrdering(out, measureSettings, spread);
                std::printf(
                    "%d cards: Spearman %.4f over %d classes of the best %.0f%%, %d deals "
                    "each (equity sd %.4f; %.0f s)\n",
                    numCards, rho, measureSettings.samples, measureSettings.topPercent,
                    measureSettings.dealsPerClass, spread, secondsSince(start));
                continue;
            }
            if (!force && orderingValid(out, numCards, why)) {
                std::fprintf(stderr, "  %d cards: up to date\n", numCards);
                continue;
            }
            if (check) {
                std::fprintf(stderr, "  %d cards: %s\n", numCards, why.c_str());
                allValid = false;
                continue;
            }
            generate(out, numCards, precision, seed, threads);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "\nerror: %s\n", e.what());
        return 2;
    }
    return allValid ? 0 : 1;
}
