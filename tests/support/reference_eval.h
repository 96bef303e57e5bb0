#pragma once
// Reference evaluator for the tests, independent of the table generator: a five-card hand is
// described by its category and the ranks that break ties, every distinct description is sorted
// to number the classes 1..7462, and the best Omaha hand is found by trying every combination
// of two hole cards and three board cards.

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "core/cards.h"

namespace varnel::test {

// In the order of strength.
enum Category {
    kHighCard,
    kPair,
    kTwoPair,
    kTrips,
    kStraight,
    kFlush,
    kFullHouse,
    kQuads,
    kStraightFlush
};

// The category, then the deciding ranks, most significant first (-1 where none).
using Description = std::array<int, 6>;

// Five ranks in ascending order, not all alike, and whether the cards share one suit.
inline Description describe(const std::array<int, 5>& r, bool oneSuit) {
    int count[kRanks] = {};
    for (int x : r) ++count[x];
    std::vector<std::pair<int, int>> groups;  // (size, rank): largest group, then highest rank
    for (int x = 0; x < kRanks; ++x)
        if (count[x]) groups.emplace_back(count[x], x);
    std::sort(groups.rbegin(), groups.rend());
    const bool wheel = r == std::array<int, 5>{0, 1, 2, 3, kRanks - 1};
    if (groups.size() == 5 && (r[4] - r[0] == 4 || wheel))
        return {oneSuit ? kStraightFlush : kStraight, wheel ? 3 : r[4], -1, -1, -1, -1};
    Description d{};
    d.fill(-1);
    for (std::size_t i = 0; i < groups.size(); ++i) d[i + 1] = groups[i].second;
    const int a = groups[0].first, b = groups[1].first;
    d[0] = a == 4             ? kQuads
           : a == 3 && b == 2 ? kFullHouse
           : oneSuit          ? kFlush
           : a == 3           ? kTrips
           : a == 2           ? (b == 2 ? kTwoPair : kPair)
                              : kHighCard;
    return d;
}

class Evaluator {
  public:
    Evaluator() : m_plain(kCodes, 0) {
        // Every multiset of five ranks with mixed suits, and as a flush when the ranks differ:
        // (description, flush, index).
        std::vector<std::tuple<Description, bool, int>> hands;
        std::array<int, 5> r{};
        for (r[0] = 0; r[0] < kRanks; ++r[0])
            for (r[1] = r[0]; r[1] < kRanks; ++r[1])
                for (r[2] = r[1]; r[2] < kRanks; ++r[2])
                    for (r[3] = r[2]; r[3] < kRanks; ++r[3])
                        for (r[4] = r[3]; r[4] < kRanks; ++r[4]) {
                            if (r[0] == r[4]) continue;  // five of a rank
                            hands.emplace_back(describe(r, false), false, code(r));
                            if (std::adjacent_find(r.begin(), r.end()) == r.end())
                                hands.emplace_back(describe(r, true), true, mask(r));
                        }
        std::sort(hands.begin(), hands.end());
        for (std::size_t i = 0; i < hands.size(); ++i) {
            const auto& [description, flush, index] = hands[i];
            if (i == 0 || description != std::get<0>(hands[i - 1]))
                m_categories.push_back(description[0]);
            (flush ? m_flush[index] : m_plain[index]) =
                static_cast<std::uint16_t>(m_categories.size());
        }
    }

    int classCount() const { return static_cast<int>(m_categories.size()); }
    // Category of the class numbered `value` (1-based).
    int categoryOf(int value) const { return m_categories[value - 1]; }

    int rank5(const std::array<CardId, 5>& cards) const {
        std::array<int, 5> r{};
        bool oneSuit = true;
        for (int i = 0; i < 5; ++i) {
            r[i] = rankOf(cards[i]);
            oneSuit = oneSuit && suitOf(cards[i]) == suitOf(cards[0]);
        }
        // A sorting network for five (the tests call this billions of times).
        auto order = [&r](int a, int b) {
            const int lo = std::min(r[a], r[b]);
            r[b] = std::max(r[a], r[b]);
            r[a] = lo;
        };
        order(0, 1), order(3, 4), order(2, 4), order(2, 3), order(1, 4);
        order(0, 3), order(0, 2), order(1, 3), order(1, 2);
        return oneSuit ? m_flush[mask(r)] : m_plain[code(r)];
    }

    // Best hand of exactly two of the hole cards and three of the five board cards.
    int bestOmaha(const CardId* hole, int holeCount, const CardId* board) const {
        int best = 0;
        for (int i = 0; i < holeCount; ++i)
            for (int j = i + 1; j < holeCount; ++j)
                best = std::max(best, bestOfPair(hole[i], hole[j], board));
        return best;
    }

    int bestOfPair(CardId a, CardId b, const CardId* board) const {
        int best = 0;
        for (int x = 0; x < 5; ++x)
            for (int y = x + 1; y < 5; ++y)
                for (int z = y + 1; z < 5; ++z)
                    best = std::max(best, rank5({a, b, board[x], board[y], board[z]}));
        return best;
    }

  private:
    static constexpr int kCodes = kRanks * kRanks * kRanks * kRanks * kRanks;
    static int code(const std::array<int, 5>& sorted) {
        int c = 0;
        for (int x : sorted) c = c * kRanks + x;
        return c;
    }
    static int mask(const std::array<int, 5>& r) {
        int m = 0;
        for (int x : r) m |= 1 << x;
        return m;
    }

    std::vector<std::uint16_t> m_plain;
    std::array<std::uint16_t, 1 << kRanks> m_flush{};
    std::vector<int> m_categories;
};

// One evaluator per test process.
inline const Evaluator& reference() {
    static const Evaluator instance;
    return instance;
}

}  // namespace varnel::test
