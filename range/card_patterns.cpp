// Card and suit patterns: a single card, card lists with wildcards, partial hands, a card with
// a suited companion, a suit held twice, repeated ranks and all hands.
#include <algorithm>
#include <cstdint>

#include "range/combinations.h"
#include "range/expanders.h"

namespace varnel {
namespace {

constexpr int kMinListCards = 3;  // hand sizes the single card and the card list serve
constexpr int kMinHandCards = 4;  // hand sizes the other expanders serve
constexpr int kMaxHandCards = kMaxDrawnCards;
constexpr int kMaxMissingCards = 4;  // cards a partial hand may leave open

constexpr CardMask kSuitRanks = (CardMask{1} << kRanks) - 1;  // the 13 cards of one suit at bit 0
constexpr CardMask rankCards(int rank) {
    return cardBit(makeCard(rank, 0)) | cardBit(makeCard(rank, 1)) | cardBit(makeCard(rank, 2)) |
           cardBit(makeCard(rank, 3));
}
constexpr CardMask suitCards(int suit) {
    return kSuitRanks << (kRanks * suit);
}

bool inRange(int n, int low, int high) {
    return n >= low && n <= high;
}

int suitIndex(wchar_t c) {
    const auto pos = kSuitChars.find(c);
    return pos == std::wstring_view::npos ? -1 : static_cast<int>(pos);
}

// Appends every k-card completion of `base` from `pool` in ascending mask order.
void appendAscending(HandList& list, const CardPool& pool, int k, CardMask base) {
    list.hands.reserve(list.hands.size() + binomial(pool.size, k));
    forEachCombinationAscending(pool, k, base, [&](CardMask hand) {
        list.hands.push_back(hand);
        return true;
    });
}

// Appends every k-card completion of `base` from `pool`, the lowest card varying slowest.
void appendLexicographic(HandList& list, const CardPool& pool, int k, CardMask base) {
    list.hands.reserve(list.hands.size() + binomial(pool.size, k));
    forEachCombination(pool, k, base, [&](CardMask hand) {
        list.hands.push_back(hand);
        return true;
    });
}

// The cards a card-list code stands for: a card code, or a wildcard for a suit, a rank or
// every card. Returns 0 for a code in neither table.
CardMask cardsOfCode(std::wstring_view code) {
    const CardId id = cardIdFromCode(code);
    if (id != kNoCard) return cardBit(id);
    const auto it = std::find(wildcardCodes.begin(), wildcardCodes.end(), code);
    if (it == wildcardCodes.end()) return 0;
    const int index = static_cast<int>(it - wildcardCodes.begin());
    if (index < kSuits) return suitCards(index);                    // "Xc" .. "Xs"
    if (index < kSuits + kRanks) return rankCards(index - kSuits);  // "2x" .. "Ax"
    return kFullDeck;                                               // "Xx"
}

// Positions of a card list whose codes stand for the same cards, taken together: choosing
// `count` distinct cards for them as a combination builds each of their hands once.
struct CodeGroup {
    CardMask cards = 0;
    int count = 0;
};

// Fills the cards of groups [g, groupCount) into `hand` in every way and collects the hands.
void collectCardList(const CodeGroup* groups, int groupCount, int g, CardMask hand,
                     std::vector<CardMask>& out) {
    if (g == groupCount) {
        out.push_back(hand);
        return;
    }
    const CardPool pool = poolWithout(~groups[g].cards | hand);
    forEachCombination(pool, groups[g].count, hand, [&](CardMask next) {
        collectCardList(groups, groupCount, g + 1, next, out);
        return true;
    });
}

// A partial-hand rank character: a rank letter, or a, k, q, j, t in lower case.
int partialRankIndex(wchar_t c) {
    constexpr std::wstring_view kLowerHonours = L"tjqka";  // T, J, Q, K, A in rank order
    const auto pos = kRankChars.find(c);
    if (pos != std::wstring_view::npos) return static_cast<int>(pos);
    const auto low = kLowerHonours.find(c);
    return low == std::wstring_view::npos
               ? -1
               : kRanks - static_cast<int>(kLowerHonours.size()) + static_cast<int>(low);
}

// True when at least two cards of `hand` share a rank.
bool holdsPair(CardMask hand) {
    const CardMask c = hand & kSuitRanks, d = (hand >> kRanks) & kSuitRanks,
                   h = (hand >> (2 * kRanks)) & kSuitRanks, s = (hand >> (3 * kRanks)) & kSuitRanks;
    return ((c & d) | (c & h) | (c & s) | (d & h) | (d & s) | (h & s)) != 0;
}

// True when `cards` hold three or more of some rank below `rank`.
bool holdsTripsBelow(CardMask cards, int rank) {
    for (int r = 0; r < rank; ++r) {
        if (cardCount(cards & rankCards(r)) >= 3) return true;
    }
    return false;
}

}  // namespace

bool expandSingleCard(std::wstring_view term, HandList& list) {
    const int n = list.numCards;
    if (term.size() != 2 || !inRange(n, kMinListCards, kMaxHandCards)) return false;
    const CardId card = cardIdFromCode(term);
    if (card == kNoCard) return false;
    appendAscending(list, poolWithout(cardBit(card)), n - 1, cardBit(card));
    return true;
}

bool expandCardList(std::wstring_view term, HandList& list) {
    constexpr std::size_t kCodeLength = 2;
    const std::size_t length = term.size();
    if (length % kCodeLength != 0 || length < kMinListCards * kCodeLength ||
        length > kMaxHandCards * kCodeLength) {
        return false;
    }
    const int n = list.numCards;
    CodeGroup groups[kMaxHandCards];
    int groupCount = 0;
    // Every position up to the hand size needs a readable code; codes beyond it are ignored.
    for (int p = 0; p < n; ++p) {
        const std::size_t start = static_cast<std::size_t>(p) * kCodeLength;
        if (start + kCodeLength > length) return false;
        const CardMask cards = cardsOfCode(term.substr(start, kCodeLength));
        if (cards == 0) return false;
        int g = 0;
        while (g < groupCount && groups[g].cards != cards) ++g;
        if (g == groupCount) groups[groupCount++].cards = cards;
        ++groups[g].count;
    }
    if (!inRange(n, kMinListCards, kMaxHandCards)) return true;
    // Groups with overlapping cards can build one hand in several ways: sort and de-duplicate.
    std::vector<CardMask> hands;
    collectCardList(groups, groupCount, 0, 0, hands);
    std::sort(hands.begin(), hands.end());
    hands.erase(std::unique(hands.begin(), hands.end()), hands.end());
    list.hands.insert(list.hands.end(), hands.begin(), hands.end());
    return true;
}

bool expandPartialHand(std::wstring_view term, HandList& list) {
    CardMask pieces = 0;
    int pieceCount = 0;
    bool repeated = false;
    for (std::size_t pos = 0; pos + 2 <= term.size(); pos += 2) {
        const int rank = partialRankIndex(term[pos]);
        const int suit = suitIndex(term[pos + 1]);
        if (rank < 0 || suit < 0) return false;
        const CardMask bit = cardBit(makeCard(rank, suit));
        repeated = repeated || (pieces & bit) != 0;
        pieces |= bit;
        ++pieceCount;
    }
    const int missing = list.numCards - pieceCount;
    if (!inRange(missing, 0, kMaxMissingCards)) return false;
    // A card given twice cannot be held twice: such a term names no hand.
    if (repeated) return true;
    appendAscending(list, poolWithout(pieces), missing, pieces);
    return true;
}

bool expandCardWithSuit(std::wstring_view term, HandList& list) {
    if (term.size() != 3) return false;
    const CardId given = cardIdFromCode(term.substr(0, 2));
    const int suit = suitIndex(term[2]);
    if (given == kNoCard || suit < 0) return false;
    const int n = list.numCards;
    if (!inRange(n, kMinHandCards, kMaxHandCards)) return true;
    // The companion is the lowest card of the suit besides the given card.
    for (int rank = 0; rank < kRanks; ++rank) {
        const CardId companion = makeCard(rank, suit);
        if (companion == given) continue;
        const CardMask lowerOfSuit = suitCards(suit) & (cardBit(companion) - 1);
        const CardMask base = cardBit(given) | cardBit(companion);
        appendLexicographic(list, poolWithout(base | lowerOfSuit), n - 2, base);
    }
    return true;
}

bool expandSuitPair(std::wstring_view term, HandList& list) {
    if (term.size() != 2 || term[0] != term[1]) return false;
    const int suit = suitIndex(term[0]);
    if (suit < 0) return false;
    const int n = list.numCards;
    if (!inRange(n, kMinHandCards, kMaxHandCards)) return true;
    // The two anchors are the two lowest cards of the suit in the hand.
    for (int low = 0; low < kRanks; ++low) {
        for (int high = low + 1; high < kRanks; ++high) {
            const CardId a = makeCard(low, suit), b = makeCard(high, suit);
            const CardMask base = cardBit(a) | cardBit(b);
            const CardMask belowHigh = suitCards(suit) & (cardBit(b) - 1);
            appendLexicographic(list, poolWithout(base | belowHigh), n - 2, base);
        }
    }
    return true;
}

bool expandRankRepeat(std::wstring_view term, HandList& list) {
    int repeat = 0;
    if (term == L"RRRR")
        repeat = 4;
    else if (term == L"RRR")
        repeat = 3;
    else if (term == L"RR")
        repeat = 2;
    else
        return false;
    const int n = list.numCards;
    if (!inRange(n, kMinHandCards, kMaxHandCards)) return true;

    if (repeat == 2) {
        // Every hand but those of n different ranks, which take one of four suits per rank.
        std::uint64_t pairless = binomial(kRanks, n);
        for (int i = 0; i < n; ++i) pairless *= kSuits;
        list.hands.reserve(binomial(kDeckSize, n) - pairless);
        forEachCombination(poolWithout(0), n, 0, [&](CardMask hand) {
            if (holdsPair(hand)) list.hands.push_back(hand);
            return true;
        });
        return true;
    }
    for (int rank = 0; rank < kRanks; ++rank) {
        const CardMask quads = rankCards(rank);
        const CardPool others = poolWithout(quads);
        if (repeat == 4) {
            appendLexicographic(list, others, n - 4, quads);
            continue;
        }
        // Three or more of `rank`. A hand with three of two ranks (six and seven cards) is
        // listed once, under the lower rank: completions holding three of a lower rank are
        // skipped here.
        auto appendOnce = [&](CardMask hand) {
            if (!holdsTripsBelow(hand & ~quads, rank)) list.hands.push_back(hand);
            return true;
        };
        forEachCombination(others, n - 4, quads, appendOnce);
        // Exactly three: the suits left out run from spades down to clubs, so the three-card
        // groups come in the order cdh, cds, chs, dhs.
        forEachCombination(others, n - 3, 0, [&](CardMask rest) {
            for (int omitted = kSuits - 1; omitted >= 0; --omitted) {
                appendOnce(rest | (quads & ~cardBit(makeCard(rank, omitted))));
            }
            return true;
        });
    }
    return true;
}

bool expandAllHands(std::wstring_view term, HandList& list) {
    if (term != L"*") return false;
    const int n = list.numCards;
    if (inRange(n, kMinHandCards, kMaxHandCards)) appendLexicographic(list, poolWithout(0), n, 0);
    return true;
}

}  // namespace varnel
