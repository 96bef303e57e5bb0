#include "range/ordering.h"

#include <array>
#include <optional>

#include "range/ordering_files.h"

namespace varnel {
namespace {

constexpr std::int32_t kFirstOrdering = 4;

std::array<std::optional<LoadedOrdering>, 4>& caches() {
    static std::array<std::optional<LoadedOrdering>, 4> instance;  // 4..7 hole cards
    return instance;
}

}  // namespace

TopHands selectTopPercent(std::int32_t numCards, double percent) {
    TopHands result;
    result.list.numCards = numCards;
    const OrderingFormat* format = orderingFormat(numCards);
    if (format == nullptr) return result;
    std::optional<LoadedOrdering>& cached =
        caches()[static_cast<std::size_t>(numCards - kFirstOrdering)];
    // A selection that fails on a cached ordering loads it once more: the files may have been
    // generated anew since.
    std::wstring problem;
    for (bool fresh = false; !fresh;) {
        fresh = !cached;
        if (fresh) {
            cached.emplace();
            problem = loadOrdering(*format, {}, *cached);
        }
        if (problem.empty())
            problem = readHands(*cached, handsBelow(*cached, percent), result.list.hands);
        if (problem.empty()) return result;
        cached.reset();  // loaded again, and checked again, by the next selection
    }
    result.problem = L"the " + std::to_wstring(numCards) +
                     L"-card percentage ranges are not available: " + problem;
    return result;
}

void resetOrderingCaches() {
    for (auto& cached : caches()) cached.reset();
}

}  // namespace varnel
