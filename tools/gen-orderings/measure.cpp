#include "tools/gen-orderings/measure.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "eval/five_card.h"
#include "eval/omaha_eval.h"
#include "range/hand_class.h"
#include "range/ordering_files.h"
#include "range/ordering_format.h"
#include "tools/gen-orderings/estimator.h"
#include "tools/gen-orderings/ordering_files.h"

namespace varnel::gen_orderings {
namespace {

struct ClassEntry {
    std::string name;
    double cumulativePercent;
};

std::vector<ClassEntry> readClasses(const std::filesystem::path& dir, int numCards) {
    std::vector<ClassEntry> out;
    const std::wstring problem = readClassFile(
        *orderingFormat(numCards), dir, [&](std::string_view name, std::uint32_t, double percent) {
            out.push_back({std::string(name), percent});
        });
    if (!problem.empty()) throw std::runtime_error(std::string(problem.begin(), problem.end()));
    return out;
}

// Equity of `hand` from independent random deals, evaluated deal by deal, by the program's table
// evaluator when `useTable` is set, otherwise plainly.
double preciseEquity(CardMask hand, int numCards, int opponents, int deals, std::uint64_t seed,
                     bool useTable) {
    Rng rng(seed);
    CardId hero[kMaxHoleCards];
    cardsFromMask(hand, hero);
    CardId deck[kDeckSize];
    int deckSize = 0;
    for (CardId c = 0; c < kDeckSize; ++c) {
        if (!(hand & cardBit(c))) deck[deckSize++] = c;
    }
    const five_card::ClassRanks& plain = five_card::classRanks();
    const int needed = kBoardCards + opponents * numCards;
    double score = 0;
    for (int d = 0; d < deals; ++d) {
        for (int i = 0; i < needed; ++i) {
            std::swap(
                deck[i],
                deck[i + static_cast<int>(rng.below(static_cast<std::uint32_t>(deckSize - i)))]);
        }
        const five_card::BoardTriples triples(deck);
        const std::uint32_t state = useTable ? omahaBoardState(deck) : 0;
        const auto valueOf = [&](const CardId* cards) -> HandValue {
            if (!useTable) return plain.evaluate(triples, cards, numCards);
            CardId sorted[kMaxHoleCards];
            for (int i = 0; i < numCards;
                 ++i) {  // insertion sort: the evaluator wants them ascending
                int j = i;
                for (; j > 0 && sorted[j - 1] > cards[i]; --j) sorted[j] = sorted[j - 1];
                sorted[j] = cards[i];
            }
            return evaluateOmahaFromState(state, sorted, numCards);
        };
        const HandValue mine = valueOf(hero);
        HandValue best = 0;
        int atBest = 0;
        for (int o = 0; o < opponents; ++o) {
            const HandValue v = valueOf(deck + kBoardCards + o * numCards);
            atBest = v > best ? 1 : atBest + (v == best);
            best = std::max(best, v);
        }
        if (mine > best) score += 1;
        if (mine == best) score += 1.0 / (atBest + 1);
    }
    return score / deals;
}

std::vector<double> ranks(const std::vector<double>& x) {
    std::vector<std::size_t> idx(x.size());
    std::iota(idx.begin(), idx.end(), 0);
    std::sort(idx.begin(), idx.end(), [&](std::size_t a, std::size_t b) { return x[a] < x[b]; });
    std::vector<double> r(x.size());
    for (std::size_t i = 0; i < idx.size();) {
        std::size_t j = i;
        while (j + 1 < idx.size() && x[idx[j + 1]] == x[idx[i]]) ++j;
        for (std::size_t k = i; k <= j; ++k) r[idx[k]] = (static_cast<double>(i + j) / 2.0) + 1;
        i = j + 1;
    }
    return r;
}

}  // namespace

double spearman(const std::vector<double>& a, const std::vector<double>& b) {
    const auto ra = ranks(a), rb = ranks(b);
    const double n = static_cast<double>(ra.size());
    const double mean = (n + 1) / 2;
    double sab = 0, saa = 0, sbb = 0;
    for (std::size_t i = 0; i < ra.size(); ++i) {
        sab += (ra[i] - mean) * (rb[i] - mean);
        saa += (ra[i] - mean) * (ra[i] - mean);
        sbb += (rb[i] - mean) * (rb[i] - mean);
    }
    return sab / std::sqrt(saa * sbb);
}

double measureOrdering(const std::filesystem::path& dir, const MeasureSettings& s, double& spread) {
    const auto classes = readClasses(dir, s.numCards);
    std::size_t top = 0;
    while (top < classes.size() && classes[top].cumulativePercent <= s.topPercent) ++top;
    if (top < static_cast<std::size_t>(s.samples))
        throw std::runtime_error("too few classes to sample");

    // A seeded sample without replacement, kept in file order.
    Rng rng(s.seed);
    std::vector<std::size_t> positions(top);
    std::iota(positions.begin(), positions.end(), 0);
    for (int i = 0; i < s.samples; ++i) {
        std::swap(positions[static_cast<std::size_t>(i)],
                  positions[static_cast<std::size_t>(i) + rng.below(static_cast<std::uint32_t>(
                                                              top - static_cast<std::size_t>(i)))]);
    }
    positions.resize(static_cast<std::size_t>(s.samples));
    std::sort(positions.begin(), positions.end());

    std::vector<double> precise(positions.size());
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < s.threads; ++t) {
        workers.emplace_back([&] {
            for (std::size_t i = next++; i < positions.size(); i = next++) {
                HandList list;
                list.numCards = s.numCards;
                if (expandHandClass(classes[positions[i]].name, list) == 0) {
                    precise[i] = std::nan("");
                    continue;
                }
                precise[i] =
                    preciseEquity(list.hands.front(), s.numCards, s.numCards <= 5 ? 5 : 1,
                                  s.dealsPerClass, s.seed * 1000003u + positions[i], s.useTable);
            }
        });
    }
    for (auto& w : workers) w.join();
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (std::isnan(precise[i])) {
            throw std::runtime_error("unreadable class name " + classes[positions[i]].name);
        }
    }
    double sum = 0, squares = 0;
    for (double v : precise) {
        sum += v;
        squares += v * v;
    }
    const double count = static_cast<double>(precise.size());
    spread = std::sqrt(std::max(0.0, squares / count - (sum / count) * (sum / count)));
    // The file lists the best first: a smaller position means a larger equity.
    std::vector<double> fileOrder(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i)
        fileOrder[i] = -static_cast<double>(positions[i]);
    return spearman(fileOrder, precise);
}

}  // namespace varnel::gen_orderings
