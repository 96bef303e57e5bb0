#include "range/hand_sets.h"

#include <algorithm>
#include <iterator>

namespace varnel {
namespace {

Hands sortedCopy(const Hands& hands) {
    Hands sorted = hands;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

}  // namespace

Hands handsDifference(const Hands& left, const Hands& right) {
    const Hands excluded = sortedCopy(right);
    Hands out;
    out.reserve(left.size());
    std::copy_if(left.begin(), left.end(), std::back_inserter(out), [&](CardMask hand) {
        return !std::binary_search(excluded.begin(), excluded.end(), hand);
    });
    return out;
}

Hands handsUnion(Hands left, const Hands& right) {
    const Hands present = sortedCopy(left);
    std::copy_if(right.begin(), right.end(), std::back_inserter(left), [&](CardMask hand) {
        return !std::binary_search(present.begin(), present.end(), hand);
    });
    return left;
}

Hands handsIntersection(const Hands& left, const Hands& right) {
    const Hands a = sortedCopy(left), b = sortedCopy(right);
    Hands out;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

}  // namespace varnel
