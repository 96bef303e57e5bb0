#pragma once
// Suit classes: the suit-isomorphism classes of n-card hands. A hand is four rank sets, one per
// suit; permuting the suits maps a hand onto the other hands of its class, so the rank sets sorted
// in descending order identify the class.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/cards.h"

namespace varnel::gen_orderings {

using RankSet = std::uint16_t;  // bit r set for rank index r

struct SuitClass {
    std::array<RankSet, kSuits> suits{};  // descending; empty suits last

    // The member with the i-th rank set in suit i (clubs first).
    CardMask representative() const;
    // Number of distinct hands in the class: 24 divided by the suit permutations that fix it.
    std::uint32_t handCount() const;
    // Appends the members in ascending mask order.
    void appendMembers(std::vector<CardMask>& out) const;
    // The class name: a group "(...)" per suit holding two or more cards, larger groups first,
    // then the cards alone in their suit, ranks descending everywhere ("(AK)(AK)", "(KQ3)A2").
    std::string name() const;
};

// Every class of `numCards`-card hands, in a fixed order.
std::vector<SuitClass> enumerateSuitClasses(int numCards);

}  // namespace varnel::gen_orderings
