#include "tools/gen-orderings/suit_classes.h"

#include <algorithm>
#include <bit>

namespace varnel::gen_orderings {
namespace {

constexpr RankSet kAllRanks = (1u << kRanks) - 1;
constexpr std::string_view kNameRanks = "23456789TJQKA";

void appendRanks(std::string& out, RankSet ranks) {
    for (int r = kRanks - 1; r >= 0; --r) {
        if (ranks & (1u << r)) out.push_back(kNameRanks[static_cast<std::size_t>(r)]);
    }
}

// Rank sets by size, each list ascending.
std::array<std::vector<RankSet>, kRanks + 1> rankSetsBySize() {
    std::array<std::vector<RankSet>, kRanks + 1> sets;
    for (unsigned s = 0; s <= kAllRanks; ++s) {
        sets[static_cast<std::size_t>(std::popcount(s))].push_back(static_cast<RankSet>(s));
    }
    return sets;
}

void enumerate(const std::array<std::vector<RankSet>, kRanks + 1>& sets, SuitClass& current,
               int suit, int cardsLeft, RankSet bound, std::vector<SuitClass>& out) {
    if (suit == kSuits - 1) {
        for (RankSet s : sets[static_cast<std::size_t>(cardsLeft)]) {
            if (s > bound) break;
            current.suits[kSuits - 1] = s;
            out.push_back(current);
        }
        return;
    }
    for (int size = 0; size <= std::min(cardsLeft, kRanks); ++size) {
        for (RankSet s : sets[static_cast<std::size_t>(size)]) {
            if (s > bound) break;
            current.suits[static_cast<std::size_t>(suit)] = s;
            enumerate(sets, current, suit + 1, cardsLeft - size, s, out);
        }
    }
}

}  // namespace

CardMask SuitClass::representative() const {
    CardMask mask = 0;
    for (int s = 0; s < kSuits; ++s) mask |= static_cast<CardMask>(suits[s]) << (kRanks * s);
    return mask;
}

std::uint32_t SuitClass::handCount() const {
    // Suits are sorted, so equal rank sets are adjacent: divide 4! by each run's factorial.
    std::uint32_t count = 24;
    int run = 1;
    for (int s = 1; s <= kSuits; ++s) {
        if (s < kSuits && suits[s] == suits[s - 1]) {
            ++run;
            count /= static_cast<std::uint32_t>(run);
        } else {
            run = 1;
        }
    }
    return count;
}

void SuitClass::appendMembers(std::vector<CardMask>& out) const {
    std::array<int, kSuits> perm = {0, 1, 2, 3};
    std::array<CardMask, 24> members{};
    int n = 0;
    do {
        CardMask mask = 0;
        for (int s = 0; s < kSuits; ++s) {
            mask |= static_cast<CardMask>(suits[s]) << (kRanks * perm[s]);
        }
        members[n++] = mask;
    } while (std::next_permutation(perm.begin(), perm.end()));
    std::sort(members.begin(), members.end());
    const auto end = std::unique(members.begin(), members.end());
    out.insert(out.end(), members.begin(), end);
}

std::string SuitClass::name() const {
    std::array<RankSet, kSuits> groups{};
    int groupCount = 0;
    std::string bare;
    for (RankSet s : suits) {
        if (std::popcount(s) >= 2) groups[groupCount++] = s;
        if (std::popcount(s) == 1) bare.push_back(kNameRanks[std::countr_zero(s)]);
    }
    std::sort(groups.begin(), groups.end(), [](RankSet a, RankSet b) {
        const int pa = std::popcount(a), pb = std::popcount(b);
        return pa != pb ? pa > pb : a > b;
    });
    std::string name;
    for (int g = 0; g < groupCount; ++g) {
        name.push_back('(');
        appendRanks(name, groups[g]);
        name.push_back(')');
    }
    std::sort(bare.begin(), bare.end(),
              [](char a, char b) { return kNameRanks.find(a) > kNameRanks.find(b); });
    return name + bare;
}

std::vector<SuitClass> enumerateSuitClasses(int numCards) {
    const auto sets = rankSetsBySize();
    std::vector<SuitClass> out;
    SuitClass current;
    enumerate(sets, current, 0, numCards, kAllRanks, out);
    return out;
}

}  // namespace varnel::gen_orderings
