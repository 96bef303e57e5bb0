// Walked patterns: a rank shape repeated with all its ranks shifted one step at a time, up ("+")
// or down ("-"), as long as every rank stays on the deuce-to-ace scale. Walks whose steps can
// share hands merge each step with appendNew; the others append directly.
#include <algorithm>
#include <cwctype>
#include <string>

#include "range/expanders.h"
#include "range/hand_pattern.h"
#include "range/shape_helpers.h"

namespace varnel {

namespace {

constexpr int kTopRank = kRanks - 1;
constexpr int kRundownLength = 4;

// A two-letter rank term for the given ranks.
std::wstring twoLetterTerm(int first, int second) {
    return {kRankChars[first], kRankChars[second]};
}

// Appends every four-card hand holding one card of each of the four ranks, the first rank's suit
// varying slowest.
void appendOneOfEach(HandList& list, const std::array<int, kFourCards>& ranks) {
    for (int s0 = 0; s0 < kSuits; ++s0) {
        for (int s1 = 0; s1 < kSuits; ++s1) {
            for (int s2 = 0; s2 < kSuits; ++s2) {
                const CardMask three =
                    cardOf(ranks[0], s0) | cardOf(ranks[1], s1) | cardOf(ranks[2], s2);
                for (int s3 = 0; s3 < kSuits; ++s3)
                    list.hands.push_back(three | cardOf(ranks[3], s3));
            }
        }
    }
}

// The four-rank walk of four different ranks: the ranks, then each one lower, for as long as the
// lowest of them stays on the scale.
void appendFourRankWalk(HandList& list, std::array<int, kFourCards> ranks) {
    const int steps = *std::min_element(ranks.begin(), ranks.end());
    for (int i = 0; i <= steps; ++i) {
        appendOneOfEach(list, ranks);
        for (int& r : ranks) --r;
    }
}

// Reads four different rank letters followed by "-".
bool readFourRanksDown(std::wstring_view term, std::array<int, kFourCards>& ranks) {
    if (term.size() != kFourCards + 1 || term.back() != L'-') return false;
    for (int i = 0; i < kFourCards; ++i) {
        ranks[i] = rankFromLetter(term[i]);
        if (ranks[i] < 0) return false;
        for (int j = 0; j < i; ++j) {
            if (ranks[j] == ranks[i]) return false;
        }
    }
    return true;
}

}  // namespace

bool expandPairsUp(std::wstring_view term, HandList& list) {
    if (term.size() != 3 || term[0] != term[1] || term[2] != L'+') return false;
    const int first = rankFromLetter(term[0]);
    if (first < 0) return true;
    for (int rank = first; rank <= kTopRank; ++rank) {
        HandList step{{}, kFourCards};
        expandRankSet(twoLetterTerm(rank, rank), step);
        appendNew(list, step);
    }
    return true;
}

bool expandTwoRanksUp(std::wstring_view term, HandList& list) {
    if (term.size() != 3 || term[2] != L'+') return false;
    const int first = rankFromLetter(term[0]);
    const int second = rankFromLetter(term[1]);
    if (first < 0 || second < 0 || first == second) return false;
    for (int i = 0; std::max(first, second) + i <= kTopRank; ++i) {
        HandList step{{}, list.numCards};
        expandRankSet(twoLetterTerm(first + i, second + i), step);
        appendNew(list, step);
    }
    return true;
}

bool expandThreeRanksDown(std::wstring_view term, HandList& list) {
    if (term.size() != 4 || term[3] != L'-') return false;
    std::array<int, 3> ranks{};
    for (int i = 0; i < 3; ++i) {
        ranks[i] = rankFromLetter(term[i]);
        if (ranks[i] < 0) return false;
    }
    if (ranks[0] == ranks[1] || ranks[0] == ranks[2] || ranks[1] == ranks[2]) return false;
    // The walk ends when its lowest rank reaches the deuce, whichever letter names that rank.
    const int steps = *std::min_element(ranks.begin(), ranks.end());
    // A hand comes up once per step whose three cards it holds in some suits; only the first
    // build is kept.
    HandBitset seen = fourCardHandsOf(list);
    for (int i = 0; i <= steps; ++i) {
        for (int s0 = 0; s0 < kSuits; ++s0) {
            for (int s1 = 0; s1 < kSuits; ++s1) {
                for (int s2 = 0; s2 < kSuits; ++s2) {
                    const CardMask three = cardOf(ranks[0] - i, s0) | cardOf(ranks[1] - i, s1) |
                                           cardOf(ranks[2] - i, s2);
                    for (CardId w = 0; w < kDeckSize; ++w) {
                        if (three & cardBit(w)) continue;
                        const CardMask hand = three | cardBit(w);
                        if (seen.insert(hand)) list.hands.push_back(hand);
                    }
                }
            }
        }
    }
    return true;
}

bool expandFourRanksDown(std::wstring_view term, HandList& list) {
    std::array<int, kFourCards> ranks{};
    if (!readFourRanksDown(term, ranks)) return false;
    appendFourRankWalk(list, ranks);
    return true;
}

bool expandTripsDown(std::wstring_view term, HandList& list) {
    if (term.size() != 4 || term[3] != L'-' || term[0] != term[1] || term[1] != term[2]) {
        return false;
    }
    const int top = rankFromLetter(term[0]);
    if (top < 0) return false;
    // Three suits out of four, by the suit left out: spades, hearts, diamonds, clubs.
    constexpr std::array<int, kSuits> kMissingSuit = {3, 2, 1, 0};
    for (int t = 0; t <= top; ++t) {
        CardMask quads = 0;
        for (int s = 0; s < kSuits; ++s) quads |= cardOf(t, s);
        list.hands.push_back(quads);
        for (CardId w = 0; w < kDeckSize; ++w) {
            if (rankOf(w) == t) continue;
            for (int missing : kMissingSuit) {
                list.hands.push_back((quads & ~cardOf(t, missing)) | cardBit(w));
            }
        }
    }
    return true;
}

bool expandPairAndTwoUp(std::wstring_view term, HandList& list) {
    PairAndTwoRanks ranks;
    if (term.size() != kFourCards + 1 || term.back() != L'+' ||
        !readPairAndTwo(term.substr(0, kFourCards), ranks)) {
        return false;
    }
    const int highest = std::max(ranks.pair, ranks.high);
    // Steps hold different rank sets, so they cannot share a hand.
    for (int i = 0; highest + i <= kTopRank; ++i) {
        appendPairAndTwoHands(list, {ranks.pair + i, ranks.low + i, ranks.high + i});
    }
    return true;
}

bool expandTwoRankSpan(std::wstring_view term, HandList& list) {
    while (!term.empty() && std::iswspace(term.back())) term.remove_suffix(1);
    if (term.size() != 5 || term[2] != L'-') return false;
    const int x = rankFromLetter(term[0]);
    const int y = rankFromLetter(term[1]);
    const int z = rankFromLetter(term[3]);
    const int w = rankFromLetter(term[4]);
    if (x < 0 || y < 0 || z < 0 || w < 0 || x - z != y - w) return false;
    // From ZW up to XY; a span written from low to high names nothing.
    for (int i = 0; i <= x - z; ++i) {
        HandList step{{}, kFourCards};
        expandHandPattern(twoLetterTerm(z + i, w + i), step);
        appendNew(list, step);
    }
    return true;
}

bool expandRundowns(std::wstring_view term, HandList& list) {
    if (term == L"$0G" || term == L"$0g") {
        for (int r = 0; r + kRundownLength - 1 <= kTopRank; ++r) {
            appendOneOfEach(list, {r, r + 1, r + 2, r + 3});
        }
        return true;
    }
    // Four-rank walks with one single gap, or with one double gap, from the ace down.
    std::array<std::wstring_view, 3> walks;
    if (term == L"$1G" || term == L"$1g") {
        walks = {L"AKQT-", L"AKJT-", L"AQJT-"};
    } else if (term == L"$2G" || term == L"$2g") {
        walks = {L"AKQ9-", L"AKT9-", L"AJT9-"};
    } else {
        return false;
    }
    for (std::wstring_view walk : walks) expandFourRanksDown(walk, list);
    return true;
}

}  // namespace varnel
