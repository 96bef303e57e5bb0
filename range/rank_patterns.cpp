// Rank patterns: terms of one to four rank letters naming the ranks a hand must hold.
//
// Every hand is built from anchor cards (for each required rank, the lowest cards of that rank in
// the hand) and free cards. A free card of a required rank may only lie above that rank's highest
// anchor, so each hand has exactly one choice of anchors and is built once without any lookup.
// The four-ranks member drops that restriction: a hand holding two cards of one of its ranks is
// built once for each of them as anchor.
#include <algorithm>
#include <span>
#include <utility>

#include "core/game.h"
#include "range/expanders.h"
#include "range/shape_helpers.h"

namespace varnel {

namespace {

constexpr int kMaxRequiredRanks = 4;
constexpr int kMaxAnchorChoices = 256;  // four ranks, one of four suits each

struct RequiredRank {
    int rank = 0;
    int count = 0;  // number of anchor cards of this rank
};

struct RankSetForm {
    std::array<RequiredRank, kMaxRequiredRanks> ranks{};
    int numRanks = 0;
    int minHandSize = 4;
    bool anchorsOnlyBlockThemselves = false;  // the four-ranks member

    void add(int rank, int count) { ranks[numRanks++] = {rank, count}; }
};

// Reads the term into its member's required ranks; false when it is no rank-set form.
bool recogniseRankSet(std::wstring_view term, RankSetForm& form) {
    if (term.empty() || term.size() > kMaxRequiredRanks) return false;
    std::array<int, kMaxRequiredRanks> r{};
    for (std::size_t i = 0; i < term.size(); ++i) {
        r[i] = rankFromLetter(term[i]);
        if (r[i] < 0) return false;
    }
    switch (term.size()) {
        case 1:
            form.add(r[0], 1);
            return true;
        case 2:
            if (r[0] == r[1]) {
                form.add(r[0], 2);
                form.minHandSize = 3;
            } else {
                form.add(r[0], 1);
                form.add(r[1], 1);
            }
            return true;
        case 3:
            if (r[0] == r[1] && r[1] == r[2]) {
                form.add(r[0], 3);
                form.minHandSize = 3;
            } else if (r[0] == r[1]) {
                form.add(r[0], 2);
                form.add(r[2], 1);
            } else if (r[0] == r[2]) {
                form.add(r[0], 2);
                form.add(r[1], 1);
            } else if (r[1] == r[2]) {
                form.add(r[1], 2);
                form.add(r[0], 1);
            } else {
                for (int i = 0; i < 3; ++i) form.add(r[i], 1);
            }
            return true;
        default: {
            const bool allEqual = r[0] == r[1] && r[1] == r[2] && r[2] == r[3];
            if (allEqual) {
                form.add(r[0], 4);
                return true;
            }
            std::array<int, kMaxRequiredRanks> sorted = r;
            std::sort(sorted.begin(), sorted.end());
            if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return false;
            for (int i = 0; i < 4; ++i) form.add(r[i], 1);
            form.anchorsOnlyBlockThemselves = true;
            return true;
        }
    }
}

// One choice of anchors: the anchor cards and the cards no free card may be.
struct AnchorChoice {
    CardMask anchors;
    CardMask blocked;
};

// Suit subsets of each size in the order anchors are chosen: lowest suit first, the first anchor
// varying slowest (size 2: cd, ch, cs, dh, ds, hs). Bit s stands for suit s.
constexpr auto kMaxSuitSubsets = static_cast<std::size_t>(binomial(kSuits, kSuits / 2));

struct SuitSubsets {
    std::array<std::array<unsigned, kMaxSuitSubsets>, kSuits + 1> masks{};
    std::array<int, kSuits + 1> counts{};
};

constexpr SuitSubsets makeSuitSubsets() {
    SuitSubsets subsets;
    auto add = [&subsets](unsigned suits) {
        const int size = std::popcount(suits);
        subsets.masks[size][subsets.counts[size]++] = suits;
    };
    // Depth-first over ascending suit lists, which lists each size in lexicographic order.
    for (int a = 0; a < kSuits; ++a) {
        add(1u << a);
        for (int b = a + 1; b < kSuits; ++b) {
            add(1u << a | 1u << b);
            for (int c = b + 1; c < kSuits; ++c) {
                add(1u << a | 1u << b | 1u << c);
                for (int d = c + 1; d < kSuits; ++d) add(1u << a | 1u << b | 1u << c | 1u << d);
            }
        }
    }
    return subsets;
}

constexpr SuitSubsets kSuitSubsets = makeSuitSubsets();

struct AnchorChoices {
    std::array<AnchorChoice, kMaxAnchorChoices> choices;
    int count = 0;
};

// Every anchor choice in build order, the first required rank varying slowest.
void collectAnchors(const RankSetForm& form, AnchorChoices& out) {
    AnchorChoices previous;
    out.choices[0] = {0, 0};
    out.count = 1;
    for (int index = 0; index < form.numRanks; ++index) {
        std::swap(previous, out);
        out.count = 0;
        const RequiredRank& req = form.ranks[index];
        for (int p = 0; p < previous.count; ++p) {
            for (int c = 0; c < kSuitSubsets.counts[req.count]; ++c) {
                const unsigned suits = kSuitSubsets.masks[req.count][c];
                const int highestSuit = std::bit_width(suits) - 1;
                AnchorChoice next = previous.choices[p];
                for (int s = 0; s < kSuits; ++s) {
                    if (suits & (1u << s)) next.anchors |= cardOf(req.rank, s);
                    // Cards of the rank up to the highest anchor are anchors or would build a
                    // hand a second time.
                    if (!form.anchorsOnlyBlockThemselves && s <= highestSuit) {
                        next.blocked |= cardOf(req.rank, s);
                    }
                }
                next.blocked |= next.anchors;
                out.choices[out.count++] = next;
            }
        }
    }
}

}  // namespace

bool expandRankSet(std::wstring_view term, HandList& list) {
    RankSetForm form;
    if (!recogniseRankSet(term, form)) return false;
    const int n = list.numCards;
    if (n < form.minHandSize || n > kMaxHoleCards) return true;

    int anchorCount = 0;
    for (int i = 0; i < form.numRanks; ++i) anchorCount += form.ranks[i].count;
    const int freeCount = n - anchorCount;
    if (freeCount < 0) return true;

    AnchorChoices anchors;
    collectAnchors(form, anchors);
    const std::span<const AnchorChoice> choices(anchors.choices.data(), anchors.count);

    // Reserve exactly, so the loops below do nothing per hand but the append.
    std::uint64_t total = 0;
    for (const AnchorChoice& choice : choices) {
        total += binomial(kDeckSize - cardCount(choice.blocked), freeCount);
    }
    auto& hands = list.hands;
    hands.reserve(hands.size() + total);
    for (const AnchorChoice& choice : choices) {
        forEachCombination(poolWithout(choice.blocked), freeCount, choice.anchors,
                           [&hands](CardMask hand) {
                               hands.push_back(hand);
                               return true;
                           });
    }
    return true;
}

}  // namespace varnel
