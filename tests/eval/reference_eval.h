#pragma once
// Reference evaluator for the tests, independent of the table generator: a five-card hand is
// described by its category and the ranks that break ties, every distinct description is sorted
// to number the classes 1..7462, and the best Omaha hand is found by trying every combination
// of two hole cards and three board cards.

#include <algorithm>
#include <array>
#include <compare>
#include <utility>
#include <vector>

#include "core/cards.h"

namespace varnel::testref {

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

struct Description {
    int category = kHighCard;
    std::array<int, 5> ranks{-1, -1, -1, -1, -1};  // deciding ranks, most significant first
    auto operator<=>(const Description&) const = default;
};

inline Description describe(const std::array<CardId, 5>& cards) {
    int count[kRanks] = {};
    bool oneSuit = true;
    for (CardId c : cards) {
        ++count[rankOf(c)];
        oneSuit = oneSuit && suitOf(c) == suitOf(cards[0]);
    }
    // (size, rank) of each group of equal ranks, largest group first, then highest rank.
    std::vector<std::pair<int, int>> groups;
    for (int r = 0; r < kRanks; ++r)
        if (count[r]) groups.emplace_back(count[r], r);
    std::sort(groups.rbegin(), groups.rend());

    int straightTop = -1;
    if (groups.size() == 5) {
        if (groups[0].second - groups[4].second == 4) straightTop = groups[0].second;
        const int ace = kRanks - 1, five = 3;
        if (groups[0].second == ace && groups[1].second == five) straightTop = five;  // wheel
    }
    Description d;
    if (straightTop >= 0) {
        d.category = oneSuit ? kStraightFlush : kStraight;
        d.ranks[0] = straightTop;
        return d;
    }
    for (std::size_t i = 0; i < groups.size(); ++i) d.ranks[i] = groups[i].second;
    if (groups[0].first == 4)
        d.category = kQuads;
    else if (groups[0].first == 3 && groups[1].first == 2)
        d.category = kFullHouse;
    else if (oneSuit)
        d.category = kFlush;
    else if (groups[0].first == 3)
        d.category = kTrips;
    else if (groups[0].first == 2 && groups[1].first == 2)
        d.category = kTwoPair;
    else if (groups[0].first == 2)
        d.category = kPair;
    else
        d.category = kHighCard;
    return d;
}

class Evaluator {
  public:
    Evaluator() : m_plain(kCodes, 0) {
        // One hand of mixed suits per rank multiset, and one flush per set of five ranks.
        std::vector<std::pair<Description, std::pair<bool, int>>> hands;
        std::array<int, 5> r{};
        for (r[0] = 0; r[0] < kRanks; ++r[0])
            for (r[1] = r[0]; r[1] < kRanks; ++r[1])
                for (r[2] = r[1]; r[2] < kRanks; ++r[2])
                    for (r[3] = r[2]; r[3] < kRanks; ++r[3])
                        for (r[4] = r[3]; r[4] < kRanks; ++r[4]) {
                            if (r[0] == r[4]) continue;  // five of a rank
                            // Suits matter only as "one suit or not" to describe().
                            std::array<CardId, 5> mixed{}, suited{};
                            bool distinct = true;
                            for (int i = 0; i < 5; ++i) {
                                distinct = distinct && (i == 0 || r[i] != r[i - 1]);
                                mixed[i] = makeCard(r[i], i % 2);
                                suited[i] = makeCard(r[i], 0);
                            }
                            hands.push_back({describe(mixed), {false, code(r)}});
                            if (distinct) hands.push_back({describe(suited), {true, mask(r)}});
                        }
        std::sort(hands.begin(), hands.end());
        int value = 0;
        for (std::size_t i = 0; i < hands.size(); ++i) {
            if (i == 0 || hands[i].first != hands[i - 1].first) {
                ++value;
                m_categories.push_back(hands[i].first.category);
            }
            auto& slot = hands[i].second.first ? m_flush[hands[i].second.second]
                                               : m_plain[hands[i].second.second];
            slot = static_cast<std::uint16_t>(value);
        }
        m_classCount = value;
    }

    int classCount() const { return m_classCount; }
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
    int m_classCount = 0;
};

// One evaluator per test process.
inline const Evaluator& reference() {
    static const Evaluator instance;
    return instance;
}

}  // namespace varnel::testref
