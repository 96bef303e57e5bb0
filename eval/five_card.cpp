#include "eval/five_card.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace varnel::five_card {
namespace {

constexpr unsigned kRankSets = 1u << kRanks;
constexpr int kAce = kRanks - 1;
// One past the largest sum of five rank weights: four aces and a king.
constexpr int kRankKeys = 4 * kRankWeight[kAce] + kRankWeight[kAce - 1] + 1;

// The ten straights from the wheel (A-2-3-4-5) up to ace high, as rank sets.
constexpr std::array<unsigned, 10> kStraights = [] {
    std::array<unsigned, 10> s{};
    s[0] = (1u << kAce) | 0xFu;
    for (int top = 4; top <= kAce; ++top) s[top - 3] = 0x1Fu << (top - 4);
    return s;
}();

bool isStraight(unsigned rankSet) {
    return std::find(kStraights.begin(), kStraights.end(), rankSet) != kStraights.end();
}

bool isHighCardSet(unsigned rankSet) {
    return std::popcount(rankSet) == 5 && !isStraight(rankSet);
}

// The N ranks of `rankSet`, lowest first.
template <int N>
std::array<int, N> ranksOf(unsigned rankSet) {
    std::array<int, N> out{};
    int n = 0;
    for (int r = 0; r < kRanks; ++r)
        if (rankSet >> r & 1u) out[n++] = r;
    return out;
}

int keyOf(const std::array<int, 5>& ranks) {
    int key = 0;
    for (int r : ranks) key += kRankWeight[r];
    return key;
}

}  // namespace

ClassRank ClassRanks::plain(int a, int b, int c, int d, int e) const {
    if (a == b && b == c && c == d && d == e) return 0;
    return m_plain[keyOf({a, b, c, d, e})];
}

// The classes are numbered by walking them in ascending strength: high card, one pair, two pair,
// three of a kind, straight, flush, full house, four of a kind, straight flush. Within a category
// of five distinct ranks, a larger rank set (read as a number) is stronger.
ClassRanks::ClassRanks() : m_plain(kRankKeys, 0), m_flush(kRankSets, 0) {
    ClassRank next = 0;
    const auto setPlain = [&](const std::array<int, 5>& ranks) { m_plain[keyOf(ranks)] = ++next; };
    for (unsigned m = 0; m < kRankSets; ++m) {
        if (isHighCardSet(m)) setPlain(ranksOf<5>(m));
    }
    for (int p = 0; p < kRanks; ++p) {
        for (unsigned m = 0; m < kRankSets; ++m) {
            if (std::popcount(m) != 3 || (m >> p & 1u)) continue;
            const auto k = ranksOf<3>(m);
            setPlain({p, p, k[0], k[1], k[2]});
        }
    }
    for (int hi = 0; hi < kRanks; ++hi) {
        for (int lo = 0; lo < hi; ++lo) {
            for (int k = 0; k < kRanks; ++k) {
                if (k != hi && k != lo) setPlain({hi, hi, lo, lo, k});
            }
        }
    }
    for (int t = 0; t < kRanks; ++t) {
        for (unsigned m = 0; m < kRankSets; ++m) {
            if (std::popcount(m) != 2 || (m >> t & 1u)) continue;
            const auto k = ranksOf<2>(m);
            setPlain({t, t, t, k[0], k[1]});
        }
    }
    for (unsigned s : kStraights) setPlain(ranksOf<5>(s));
    for (unsigned m = 0; m < kRankSets; ++m) {
        if (isHighCardSet(m)) m_flush[m] = ++next;
    }
    for (int t = 0; t < kRanks; ++t) {
        for (int p = 0; p < kRanks; ++p) {
            if (p != t) setPlain({t, t, t, p, p});
        }
    }
    for (int q = 0; q < kRanks; ++q) {
        for (int k = 0; k < kRanks; ++k) {
            if (k != q) setPlain({q, q, q, q, k});
        }
    }
    for (unsigned s : kStraights) m_flush[s] = ++next;
    if (next != kClassCount) throw std::logic_error("five-card class count is not 7462");
}

const ClassRanks& classRanks() {
    static const ClassRanks ranks;
    return ranks;
}

}  // namespace varnel::five_card
