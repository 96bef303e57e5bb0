// Four-card shapes: rank and suit structures enumerated directly over suits and ranks. They build
// four-card hands whatever the hand size of the list.
#include <algorithm>
#include <cwctype>

#include "range/expanders.h"
#include "range/shape_helpers.h"

namespace varnel {

namespace {

constexpr int kTopRank = kRanks - 1;
constexpr CardMask kClubs = (CardMask{1} << kRanks) - 1;
constexpr int kSuitIndexSum = 0 + 1 + 2 + 3;  // the fourth suit of three different ones

// The four cards of a rank.
constexpr CardMask rankCards(int rank) {
    CardMask mask = 0;
    for (int s = 0; s < kSuits; ++s) mask |= cardOf(rank, s);
    return mask;
}

// Calls visit(hand, ranks) for every hand of two cards of one suit and two of another: suit x
// below suit y, x ranks a < b, y ranks c < d.
template <typename Visit>
void forEachTwoSuitedPair(Visit visit) {
    for (int x = 0; x < kSuits; ++x) {
        for (int y = x + 1; y < kSuits; ++y) {
            for (int a = 0; a < kRanks; ++a) {
                for (int b = a + 1; b < kRanks; ++b) {
                    for (int c = 0; c < kRanks; ++c) {
                        for (int d = c + 1; d < kRanks; ++d) {
                            const std::array<int, kFourCards> ranks = {a, b, c, d};
                            visit(cardOf(a, x) | cardOf(b, x) | cardOf(c, y) | cardOf(d, y), ranks);
                        }
                    }
                }
            }
        }
    }
}

int suitCount(CardMask hand) {
    int suits = 0;
    for (int s = 0; s < kSuits; ++s) suits += (hand & (kClubs << (kRanks * s))) != 0;
    return suits;
}

void appendThreeAndOne(HandList& list) {
    for (int x = 0; x < kSuits; ++x) {
        for (int y = 0; y < kSuits; ++y) {
            if (y == x) continue;
            for (int a = 0; a < kRanks; ++a) {
                for (int b = a + 1; b < kRanks; ++b) {
                    for (int c = b + 1; c < kRanks; ++c) {
                        const CardMask three = cardOf(a, x) | cardOf(b, x) | cardOf(c, x);
                        for (int r = 0; r < kRanks; ++r) list.hands.push_back(three | cardOf(r, y));
                    }
                }
            }
        }
    }
}

void appendTwoOneOne(HandList& list) {
    for (int x = 0; x < kSuits; ++x) {
        for (int y = 0; y < kSuits - 1; ++y) {
            if (y == x) continue;
            for (int z = y + 1; z < kSuits; ++z) {
                if (z == x) continue;
                for (int a = 0; a < kRanks; ++a) {
                    for (int b = a + 1; b < kRanks; ++b) {
                        const CardMask two = cardOf(a, x) | cardOf(b, x);
                        for (int ry = 0; ry < kRanks; ++ry) {
                            for (int rz = 0; rz < kRanks; ++rz) {
                                list.hands.push_back(two | cardOf(ry, y) | cardOf(rz, z));
                            }
                        }
                    }
                }
            }
        }
    }
}

}  // namespace

void appendPairAndTwoHands(HandList& list, const PairAndTwoRanks& ranks) {
    for (int s1 = 0; s1 < kSuits; ++s1) {
        for (int s2 = s1 + 1; s2 < kSuits; ++s2) {
            const CardMask pairCards = cardOf(ranks.pair, s1) | cardOf(ranks.pair, s2);
            for (int sl = 0; sl < kSuits; ++sl) {
                for (int sh = 0; sh < kSuits; ++sh) {
                    list.hands.push_back(pairCards | cardOf(ranks.low, sl) |
                                         cardOf(ranks.high, sh));
                }
            }
        }
    }
}

bool expandRainbowRanks(std::wstring_view term, HandList& list) {
    if (list.numCards != kFourCards || static_cast<int>(term.size()) != kFourCards) return false;
    std::array<int, kFourCards> r{};
    for (int i = 0; i < kFourCards; ++i) {
        r[i] = rankFromLetter(term[i]);
        if (r[i] < 0) return true;
    }
    // Every assignment of four different suits to the four letters, the first letter's suit
    // varying slowest; repeated ranks therefore repeat hands.
    for (int s0 = 0; s0 < kSuits; ++s0) {
        for (int s1 = 0; s1 < kSuits; ++s1) {
            if (s1 == s0) continue;
            for (int s2 = 0; s2 < kSuits; ++s2) {
                if (s2 == s0 || s2 == s1) continue;
                const int s3 = kSuitIndexSum - s0 - s1 - s2;
                list.hands.push_back(cardOf(r[0], s0) | cardOf(r[1], s1) | cardOf(r[2], s2) |
                                     cardOf(r[3], s3));
            }
        }
    }
    return true;
}

bool expandSuitDistribution(std::wstring_view term, HandList& list) {
    if (term == L"xxy") {
        forEachCombination(poolWithout(0), kFourCards, 0, [&list](CardMask hand) {
            const int suits = suitCount(hand);
            if (suits == 2 || suits == 3) list.hands.push_back(hand);
            return true;
        });
    } else if (term == L"xxxy") {
        appendThreeAndOne(list);
    } else if (term == L"xxyy") {
        forEachTwoSuitedPair([&list](CardMask hand, const auto&) { list.hands.push_back(hand); });
    } else if (term == L"xxyz") {
        appendTwoOneOne(list);
    } else {
        return false;
    }
    return true;
}

bool expandSuitedRank(std::wstring_view term, HandList& list) {
    if (term.size() != 4 || term.substr(1) != L"xxy") return false;
    const int rank = rankFromLetter(term[0]);
    if (rank < 0) return false;
    // The same hand comes up once for every suit in which a card of the rank is suited; only its
    // first build is kept.
    HandBitset seen = fourCardHandsOf(list);
    for (int s = 0; s < kSuits; ++s) {
        const CardId a = makeCard(rank, s);
        for (int r = 0; r < kRanks; ++r) {
            if (r == rank) continue;
            const CardId b = makeCard(r, s);
            for (CardId c = 0; c < kDeckSize - 1; ++c) {
                const bool cSuited = suitOf(c) == s;
                if (cSuited && (c == a || c == b || rankOf(c) < r)) continue;
                for (CardId d = c + 1; d < kDeckSize; ++d) {
                    const bool dSuited = suitOf(d) == s;
                    if ((dSuited && cSuited) || d == a || d == b || (dSuited && rankOf(d) < r)) {
                        continue;
                    }
                    const CardMask hand = cardBit(a) | cardBit(b) | cardBit(c) | cardBit(d);
                    if (seen.insert(hand)) list.hands.push_back(hand);
                }
            }
        }
    }
    return true;
}

bool expandDoubleSuitedRank(std::wstring_view term, HandList& list) {
    while (!term.empty() && std::iswspace(term.back())) term.remove_suffix(1);
    if (term.size() != 5 || term.substr(1) != L"xxyy") return false;
    const int rank = rankFromLetter(term[0]);
    if (rank < 0) return false;
    forEachTwoSuitedPair([&list, rank](CardMask hand, const std::array<int, kFourCards>& ranks) {
        if (std::find(ranks.begin(), ranks.end(), rank) != ranks.end()) list.hands.push_back(hand);
    });
    return true;
}

bool expandTwoPair(std::wstring_view term, HandList& list) {
    if (term != L"OORR") return false;
    for (int p = 0; p < kTopRank; ++p) {
        for (int q = p + 1; q < kRanks; ++q) {
            for (int p1 = 0; p1 < kSuits; ++p1) {
                for (int p2 = p1 + 1; p2 < kSuits; ++p2) {
                    const CardMask low = cardOf(p, p1) | cardOf(p, p2);
                    for (int q1 = 0; q1 < kSuits; ++q1) {
                        for (int q2 = q1 + 1; q2 < kSuits; ++q2) {
                            list.hands.push_back(low | cardOf(q, q1) | cardOf(q, q2));
                        }
                    }
                }
            }
        }
    }
    return true;
}

bool readPairAndTwo(std::wstring_view letters, PairAndTwoRanks& ranks) {
    if (letters.size() != kFourCards) return false;
    std::array<int, kRanks> counts{};
    for (wchar_t c : letters) {
        const int rank = rankFromLetter(c);
        if (rank < 0) return false;
        ++counts[rank];
    }
    int pair = -1;
    std::array<int, 2> singles{};
    int numSingles = 0;
    for (int rank = 0; rank < kRanks; ++rank) {
        if (counts[rank] == 2) {
            pair = rank;
        } else if (counts[rank] == 1 && numSingles < 2) {
            singles[numSingles++] = rank;
        } else if (counts[rank] != 0) {
            return false;
        }
    }
    // Two pairs leave no single; trips or four distinct ranks have returned above.
    if (pair < 0 || numSingles != 2) return false;
    ranks = {pair, singles[0], singles[1]};
    return true;
}

bool expandPairAndTwo(std::wstring_view term, HandList& list) {
    PairAndTwoRanks ranks;
    if (!readPairAndTwo(term, ranks)) return false;
    appendPairAndTwoHands(list, ranks);
    return true;
}

bool expandRankAtMost(std::wstring_view term, HandList& list) {
    if (term.size() != 2 || term[1] != L'-') return false;
    const int rank = rankFromLetter(term[0]);
    if (rank < 0) return false;
    CardMask low = 0;
    for (int r = 0; r <= rank; ++r) low |= rankCards(r);
    forEachCombination(poolWithout(0), kFourCards, 0, [&list, low](CardMask hand) {
        if (hand & low) list.hands.push_back(hand);
        return true;
    });
    return true;
}

}  // namespace varnel
