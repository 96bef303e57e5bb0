#include "tools/gen-orderings/ordering_files.h"

#include <stdexcept>

#include "range/ordering_files.h"
#include "range/ordering_format.h"

namespace varnel::gen_orderings {
namespace {

const OrderingFormat& formatOf(int numCards) {
    const OrderingFormat* f = orderingFormat(numCards);
    if (f == nullptr)
        throw std::runtime_error("no ordering for " + std::to_string(numCards) + " cards");
    return *f;
}

}  // namespace

std::filesystem::path classFilePath(const std::filesystem::path& dir, int numCards) {
    return dir / classFileName(formatOf(numCards).nominalName);
}

std::filesystem::path handFilePath(const std::filesystem::path& dir, int numCards) {
    return dir / handFileName(formatOf(numCards).nominalName);
}

void writeOrdering(const std::filesystem::path& dir, int numCards,
                   const std::vector<SuitClass>& classes, const std::vector<double>& scores) {
    OrderingWriter writer(formatOf(numCards), dir);
    std::vector<CardMask> hands;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        hands.clear();
        classes[i].appendMembers(hands);
        writer.addClass(classes[i].name(), scores[i], hands.data(), hands.size());
    }
    writer.commit();
}

bool orderingValid(const std::filesystem::path& dir, int numCards, std::string& why) {
    const std::wstring problem = checkOrdering(formatOf(numCards), dir);
    why.assign(problem.begin(), problem.end());  // file names and reasons are ASCII
    return problem.empty();
}

}  // namespace varnel::gen_orderings
