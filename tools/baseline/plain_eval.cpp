#include "tools/baseline/plain_eval.h"

#include <algorithm>
#include <bit>
#include <map>
#include <utility>

namespace varnel::baseline {
namespace {

constexpr int kRankKeys = 4 * kRankWeight[kRanks - 1] + kRankWeight[kRanks - 2] + 1;

// Strength of five ranks as category << 20 plus the ranks by group (count, then rank) in nibbles.
std::uint32_t strength(const int (&ranks)[5], bool flush) {
    int count[kRanks] = {};
    unsigned bits = 0;
    for (int r : ranks) {
        ++count[r];
        bits |= 1u << r;
    }
    int top = -1;  // highest card of a straight
    for (int hi = kRanks - 1; hi >= 4 && top < 0; --hi) {
        if (((bits >> (hi - 4)) & 0x1Fu) == 0x1Fu) top = hi;
    }
    if (top < 0 && bits == 0x100Fu) top = 3;  // five-high
    std::vector<std::pair<int, int>> groups;  // (count, rank), strongest first
    for (int r = kRanks - 1; r >= 0; --r) {
        if (count[r]) groups.emplace_back(count[r], r);
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](auto a, auto b) { return a.first > b.first; });
    std::uint32_t nibbles = 0;
    for (auto [c, r] : groups) nibbles = nibbles << 4 | static_cast<std::uint32_t>(r);
    nibbles <<= 4 * (5 - groups.size());
    int category;
    if (top >= 0) {
        category = flush ? 8 : 4;
        nibbles = static_cast<std::uint32_t>(top) << 16;
    } else if (flush) {
        category = 5;
    } else if (groups[0].first == 4) {
        category = 7;
    } else if (groups[0].first == 3) {
        category = groups[1].first == 2 ? 6 : 3;
    } else if (groups[0].first == 2) {
        category = groups[1].first == 2 ? 2 : 1;
    } else {
        category = 0;
    }
    return static_cast<std::uint32_t>(category) << 20 | nibbles;
}

}  // namespace

PlainEvaluator::PlainEvaluator() : m_plain(kRankKeys, 0), m_flush(1u << kRanks, 0) {
    std::map<std::uint32_t, std::uint16_t> classes;  // strength -> class rank
    std::vector<std::pair<int, std::uint32_t>> plain, flushes;
    int r[5];
    for (r[0] = 0; r[0] < kRanks; ++r[0])
        for (r[1] = r[0]; r[1] < kRanks; ++r[1])
            for (r[2] = r[1]; r[2] < kRanks; ++r[2])
                for (r[3] = r[2]; r[3] < kRanks; ++r[3])
                    for (r[4] = r[3]; r[4] < kRanks; ++r[4]) {
                        if (r[0] == r[4]) continue;  // five of one rank
                        int key = 0;
                        unsigned bits = 0;
                        for (int x : r) {
                            key += kRankWeight[x];
                            bits |= 1u << x;
                        }
                        plain.emplace_back(key, strength(r, false));
                        classes[plain.back().second] = 0;
                        if (std::popcount(bits) == 5) {
                            flushes.emplace_back(static_cast<int>(bits), strength(r, true));
                            classes[flushes.back().second] = 0;
                        }
                    }
    std::uint16_t rank = 0;
    for (auto& [s, value] : classes) value = ++rank;
    for (auto [key, s] : plain) m_plain[key] = classes[s];
    for (auto [bits, s] : flushes) m_flush[bits] = classes[s];
}

}  // namespace varnel::baseline
