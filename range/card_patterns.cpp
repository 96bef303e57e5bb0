// Card and suit patterns: a single card, card lists with wildcards, partial hands, a card with
// a suited companion, a suit held twice, repeated ranks and all hands.
#include <algorithm>
#include <cstdint>

#include "range/combinations.h"
#include "range/expanders.h"

namespace varnel {
namespace {

constexpr int kMinListCards = 3;     // hand sizes the single card and the card list serve
constexpr int kMinHandCards = 4;     // hand sizes the other expanders serve
constexpr int kMaxMissingCards = 4;  // cards a partial hand may leave open
constexpr int kSuitSize = kRanks;

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

// Appends every k-card completion of `base` from `pool` in ascending mask order. Callers
// reserve the room of all their appends at once.
void appendAscending(HandList& list, const CardPool& pool, int k, CardMask base) {
    forEachCombinationAscending(pool, k, base, [&](CardMask hand) {
        list.hands.push_back(hand);
        return true;
    });
}

// Appends every k-card completion of `base` from `pool`, the lowest card varying slowest.
void appendLexicographic(HandList& list, const CardPool& pool, int k, CardMask base) {
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

// Positions of a card list whose codes stand for the same cards.
struct CodeGroup {
    CardMask cards = 0;
    int count = 0;
};

// The hands a card list names are the n-card sets whose cards can be handed out to the
// positions, each card to a position whose code covers it. The cards of single-card positions
// are in every such set. For the other positions, by Hall's theorem, a set can be handed out
// exactly when every choice of their groups finds among the set's cards at least as many
// covered cards as the choice has positions: one constraint per choice, kept only when some
// set could break it.
class CardListMatcher {
  public:
    CardListMatcher(const CodeGroup* groups, int groupCount) {
        CodeGroup wide[kMaxHoleCards];
        int wideCount = 0;
        for (int g = 0; g < groupCount; ++g) {
            if (cardCount(groups[g].cards) == 1) {
                possible_ = possible_ && groups[g].count == 1;  // one card, two positions
                required_ |= groups[g].cards;
            } else {
                wide[wideCount++] = groups[g];
            }
        }
        for (int g = 0; g < wideCount; ++g) {
            wide[g].cards &= ~required_;
            pool_ |= wide[g].cards;
            open_ += wide[g].count;
        }
        for (unsigned choice = 1; choice < (1u << wideCount); ++choice) {
            Constraint c{0, 0};
            for (int g = 0; g < wideCount; ++g) {
                if (choice & (1u << g)) {
                    c.cards |= wide[g].cards;
                    c.atLeast += wide[g].count;
                }
            }
            if (c.cards != pool_) constraints_[constraintCount_++] = c;  // else always met
        }
    }

    // Appends the named hands in ascending mask order, each once.
    void append(HandList& list) const {
        if (!possible_) return;
        if (constraintCount_ == 0) list.hands.reserve(binomial(cardCount(pool_), open_));
        forEachCombinationAscending(poolWithout(~pool_), open_, required_, [&](CardMask hand) {
            if (matches(hand)) list.hands.push_back(hand);
            return true;
        });
    }

  private:
    struct Constraint {
        CardMask cards;
        int atLeast;
    };

    bool matches(CardMask hand) const {
        for (int i = 0; i < constraintCount_; ++i) {
            if (cardCount(hand & constraints_[i].cards) < constraints_[i].atLeast) return false;
        }
        return true;
    }

    CardMask required_ = 0;  // cards of single-card positions
    CardMask pool_ = 0;      // the other cards some position covers
    int open_ = 0;           // positions besides the single-card ones
    bool possible_ = true;
    Constraint constraints_[1 << kMaxHoleCards];
    int constraintCount_ = 0;
};

// A partial-hand rank character: a rank letter, or a, k, q, j, t in lower case.
int partialRankIndex(wchar_t c) {
    constexpr std::wstring_view kLowerHonours = L"tjqka";  // T, J, Q, K, A in rank order
    const auto pos = kRankChars.find(c);
    if (pos != std::wstring_view::npos) return static_cast<int>(pos);
    const auto low = kLowerHonours.find(c);
    if (low == std::wstring_view::npos) return -1;
    return kRanks - static_cast<int>(kLowerHonours.size()) + static_cast<int>(low);
}

// The four suits of `hand`, each as 13 rank bits.
struct SuitRanks {
    CardMask c, d, h, s;
    explicit SuitRanks(CardMask hand)
        : c(hand & kSuitRanks),
          d((hand >> kRanks) & kSuitRanks),
          h((hand >> (2 * kRanks)) & kSuitRanks),
          s((hand >> (3 * kRanks)) & kSuitRanks) {}
};

// True when at least two cards of `hand` share a rank.
bool holdsPair(CardMask hand) {
    const SuitRanks r(hand);
    return ((r.c & r.d) | (r.c & r.h) | (r.c & r.s) | (r.d & r.h) | (r.d & r.s) | (r.h & r.s)) != 0;
}

// True when `cards` hold three or more of some rank below `rank`.
bool holdsTripsBelow(CardMask cards, int rank) {
    const SuitRanks r(cards);
    const CardMask trips = (r.c & r.d & (r.h | r.s)) | (r.h & r.s & (r.c | r.d));
    return (trips & ((CardMask{1} << rank) - 1)) != 0;
}

}  // namespace

bool expandSingleCard(std::wstring_view term, HandList& list) {
    const int n = list.numCards;
    if (term.size() != 2 || !inRange(n, kMinListCards, kMaxHoleCards)) return false;
    const CardId card = cardIdFromCode(term);
    if (card == kNoCard) return false;
    list.hands.reserve(binomial(kDeckSize - 1, n - 1));
    appendAscending(list, poolWithout(cardBit(card)), n - 1, cardBit(card));
    return true;
}

bool expandCardList(std::wstring_view term, HandList& list) {
    constexpr std::size_t kCodeLength = 2;
    const std::size_t length = term.size();
    if (length % kCodeLength != 0 || length < kMinListCards * kCodeLength ||
        length > kMaxHoleCards * kCodeLength) {
        return false;
    }
    const int n = list.numCards;
    CodeGroup groups[kMaxHoleCards];
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
    if (inRange(n, kMinListCards, kMaxHoleCards)) CardListMatcher(groups, groupCount).append(list);
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
    list.hands.reserve(binomial(kDeckSize - pieceCount, missing));
    appendAscending(list, poolWithout(pieces), missing, pieces);
    return true;
}

bool expandCardWithSuit(std::wstring_view term, HandList& list) {
    if (term.size() != 3) return false;
    const CardId given = cardIdFromCode(term.substr(0, 2));
    const int suit = suitIndex(term[2]);
    if (given == kNoCard || suit < 0) return false;
    const int n = list.numCards;
    if (!inRange(n, kMinHandCards, kMaxHoleCards)) return true;
    // Hands with the given card, less those without another card of the suit.
    const int othersOfSuit = kSuitSize - (suitOf(given) == suit ? 1 : 0);
    list.hands.reserve(binomial(kDeckSize - 1, n - 1) -
                       binomial(kDeckSize - 1 - othersOfSuit, n - 1));
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
    if (!inRange(n, kMinHandCards, kMaxHoleCards)) return true;
    // All hands less those with no card or one card of the suit.
    const int offSuit = kDeckSize - kSuitSize;
    list.hands.reserve(binomial(kDeckSize, n) - binomial(offSuit, n) -
                       kSuitSize * binomial(offSuit, n - 1));
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
    if (!inRange(n, kMinHandCards, kMaxHoleCards)) return true;

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
    if (repeat == 4) list.hands.reserve(kRanks * binomial(kDeckSize - kSuits, n - kSuits));
    for (int rank = 0; rank < kRanks; ++rank) {
        const CardMask quads = rankCards(rank);
        const CardPool others = poolWithout(quads);
        if (repeat == 4) {
            appendLexicographic(list, others, n - kSuits, quads);
            continue;
        }
        // Three or more of `rank`. A hand with three of two ranks (six and seven cards) is
        // listed once, under the lower rank: completions holding three of a lower rank are
        // skipped here.
        auto appendOnce = [&](CardMask hand) {
            if (!holdsTripsBelow(hand & ~quads, rank)) list.hands.push_back(hand);
            return true;
        };
        forEachCombination(others, n - kSuits, quads, appendOnce);
        // Exactly three: the suit left out runs from spades down to clubs, so the three-card
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
    if (!inRange(n, kMinHandCards, kMaxHoleCards)) return true;
    list.hands.reserve(binomial(kDeckSize, n));
    appendLexicographic(list, poolWithout(0), n, 0);
    return true;
}

}  // namespace varnel
