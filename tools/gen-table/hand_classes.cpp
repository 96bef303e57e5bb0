#include "tools/gen-table/hand_classes.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace varnel::gen {
namespace {

constexpr int kFiveRankCodes = kRankCount * kRankCount * kRankCount * kRankCount * kRankCount;
constexpr int kAce = kRankCount - 1;

// The ten straights from the wheel (A-2-3-4-5) up to ace high, as rank sets.
constexpr std::array<unsigned, 10> kStraights = [] {
    std::array<unsigned, 10> s{};
    s[0] = (1u << kAce) | 0xFu;
    for (int top = 4; top <= kAce; ++top) s[top - 3] = 0x1Fu << (top - 4);
    return s;
}();

bool isStraight(unsigned mask) {
    return std::find(kStraights.begin(), kStraights.end(), mask) != kStraights.end();
}

int baseCode(std::array<int, 5> r) {
    std::sort(r.begin(), r.end());
    int code = 0;
    for (int x : r) code = code * kRankCount + x;
    return code;
}

// The N ranks of `mask`, lowest first.
template <int N>
std::array<int, N> ranksOf(unsigned mask) {
    std::array<int, N> out{};
    int n = 0;
    for (int r = 0; r < kRankCount; ++r)
        if (mask >> r & 1u) out[n++] = r;
    return out;
}

}  // namespace

void HandClasses::setPlain(std::array<int, 5> ranks, ClassRank value) {
    m_plain[baseCode(ranks)] = value;
}

ClassRank HandClasses::plain(int a, int b, int c, int d, int e) const {
    return m_plain[baseCode({a, b, c, d, e})];
}

HandClasses::HandClasses() : m_plain(kFiveRankCodes, 0) {
    ClassRank next = 0;
    // Within a category of distinct ranks, a larger rank set (read as a number) is stronger.
    for (unsigned m = 0; m < kRankMaskCount; ++m) {
        if (std::popcount(m) == 5 && !isStraight(m)) {
            const auto r = ranksOf<5>(m);
            setPlain(r, ++next);
        }
    }
    for (int p = 0; p < kRankCount; ++p) {
        for (unsigned m = 0; m < kRankMaskCount; ++m) {
            if (std::popcount(m) != 3 || (m >> p & 1u)) continue;
            const auto k = ranksOf<3>(m);
            setPlain({p, p, k[0], k[1], k[2]}, ++next);
        }
    }
    for (int hi = 0; hi < kRankCount; ++hi) {
        for (int lo = 0; lo < hi; ++lo) {
            for (int k = 0; k < kRankCount; ++k) {
                if (k != hi && k != lo) setPlain({hi, hi, lo, lo, k}, ++next);
            }
        }
    }
    for (int t = 0; t < kRankCount; ++t) {
        for (unsigned m = 0; m < kRankMaskCount; ++m) {
            if (std::popcount(m) != 2 || (m >> t & 1u)) continue;
            const auto k = ranksOf<2>(m);
            setPlain({t, t, t, k[0], k[1]}, ++next);
        }
    }
    for (unsigned s : kStraights) setPlain(ranksOf<5>(s), ++next);
    for (unsigned m = 0; m < kRankMaskCount; ++m) {
        if (std::popcount(m) == 5 && !isStraight(m)) m_flush[m] = ++next;
    }
    for (int t = 0; t < kRankCount; ++t) {
        for (int p = 0; p < kRankCount; ++p) {
            if (p != t) setPlain({t, t, t, p, p}, ++next);
        }
    }
    for (int q = 0; q < kRankCount; ++q) {
        for (int k = 0; k < kRankCount; ++k) {
            if (k != q) setPlain({q, q, q, q, k}, ++next);
        }
    }
    for (unsigned s : kStraights) m_flush[s] = ++next;
    if (next != 7462) throw std::logic_error("hand class count is not 7462");
}

}  // namespace varnel::gen
