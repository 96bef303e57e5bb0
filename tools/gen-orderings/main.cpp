// varnel-gen-orderings: writes the four hand orderings (4 to 7 hole cards) into a directory,
// skipping those whose files are already valid.
#include <sys/resource.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <thread>

#include "tools/gen-orderings/estimator.h"
#include "tools/gen-orderings/hand_classes.h"
#include "tools/gen-orderings/measure.h"
#include "tools/gen-orderings/ordering_files.h"

namespace {

using namespace varnel;
using namespace varnel::gen;
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

// Work per ordering at precision 1: six-handed for 4 and 5 cards, heads-up for 6 and 7.
EstimateSettings settingsFor(int numCards, double precision, std::uint64_t seed, int threads) {
    EstimateSettings s;
    s.numCards = numCards;
    s.seed = seed;
    s.threads = threads;
    switch (numCards) {
        case 4:
            s.opponents = 5;
            s.boards = 120000;
            s.dealsPerBoard = 1;
            break;
        case 5:
            s.opponents = 5;
            s.boards = 20000;
            s.dealsPerBoard = 1;
            break;
        case 6:
            s.opponents = 1;
            s.boards = 3000;
            s.poolSize = 32;
            break;
        default:
            s.opponents = 1;
            s.boards = 1200;
            s.poolSize = 32;
            break;
    }
    s.boards = std::max(1, static_cast<int>(s.boards * precision));
    return s;
}

void generate(const std::filesystem::path& out, int numCards, double precision, std::uint64_t seed,
              int threads) {
    const auto start = Clock::now();
    const double cpuStart = cpuSeconds();
    const std::vector<HandClass> classes = enumerateHandClasses(numCards);
    std::vector<CardMask> hands(classes.size());
    for (std::size_t i = 0; i < classes.size(); ++i) hands[i] = classes[i].representative();

    const EstimateSettings settings = settingsFor(numCards, precision, seed, threads);
    auto lastShown = start;
    const auto equities = estimateEquities(hands, settings, [&](double done) {
        if (Clock::now() - lastShown < std::chrono::milliseconds(500) && done < 1.0) return;
        lastShown = Clock::now();
        std::fprintf(stderr, "\r  %d cards: %zu classes, %5.1f%% (%.0f s)", numCards,
                     classes.size(), done * 100, secondsSince(start));
    });
    std::vector<std::size_t> order(classes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return equities[a] > equities[b]; });
    std::vector<HandClass> sorted(classes.size());
    std::vector<double> scores(classes.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted[i] = classes[order[i]];
        scores[i] = equities[order[i]];
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
    CLI11_PARSE(app, argc, argv);

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
