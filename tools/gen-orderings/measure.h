#pragma once
// Precision check of a written ordering: a sample of classes from its best 20% is estimated
// again with many independent deals each, and the ranks are compared.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace varnel::gen_orderings {

struct MeasureSettings {
    int numCards = 4;
    int samples = 200;
    int dealsPerClass = 200000;
    double topPercent = 20.0;
    std::uint64_t seed = 7;
    int threads = 2;
    bool useTable = false;  // evaluate with the loaded table of the program's evaluator
};

// The Spearman rank correlation between the file's order of the sampled classes and their
// precise equities (independent random deals against 5 opponents for 4/5 cards, 1 for 6/7;
// with useTable, the process-wide evaluator's table must be usable);
// `spread` receives the standard deviation of those equities.
double measureOrdering(const std::filesystem::path& dir, const MeasureSettings& settings,
                       double& spread);

// Spearman rank correlation of two equally long series (ties get their average rank).
double spearman(const std::vector<double>& a, const std::vector<double>& b);

}  // namespace varnel::gen_orderings
