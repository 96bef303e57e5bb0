// Hand classes on a flop or a turn. The made hand is the best two-plus-three combination (five
// cards evaluated by the plain five-card ranking), refined by which of its cards are hole cards.
// Straights are worked out on ranks alone: a hand makes the straight of a five-rank window when
// it holds the window's ranks missing from the board (at most two) and two of the window's ranks
// in all; so per board and per rank that can come, each window keeps its missing ranks, and a
// hand's straight outs are a few mask tests per rank.

#include "engine/hand_classes.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "engine/breakdown.h"
#include "eval/five_card.h"
#include "eval/hand_category.h"

namespace varnel {
namespace {

constexpr unsigned kNoWindow = ~0u;
constexpr unsigned kRankBits = (1u << kRanks) - 1;

// The ranks of window `w`: A-2-3-4-5 for 0, then 2-3-4-5-6 ... T-J-Q-K-A.
constexpr unsigned windowRanks(int w) {
    return w == 0 ? (1u << (kRanks - 1)) | 0xFu : 0x1Fu << (w - 1);
}
constexpr int windowTop(int w) {
    return w + 3;  // the five for the wheel, else the window's highest rank
}

constexpr CardMask suitCards(int suit) {
    return CardMask{(1u << kRanks) - 1} << (kRanks * suit);
}

unsigned rankSet(CardMask cards) {
    unsigned ranks = 0;
    for (int s = 0; s < kSuits; ++s) ranks |= static_cast<unsigned>(cards >> (kRanks * s));
    return ranks & kRankBits;
}

// Whether `hand` holds the highest card of `suit` that is not on `board`.
bool holdsTopOfSuit(CardMask hand, CardMask board, int suit) {
    const CardMask open = suitCards(suit) & ~board;
    return open != 0 && (hand & cardBit(63 - std::countl_zero(open))) != 0;
}

}  // namespace

std::string_view madeClassName(MadeClass made) {
    static constexpr std::string_view kNames[kMadeClasses] = {
        "straight flush", "quads",    "full house", "nut flush", "flush",
        "nut straight",   "straight", "set",        "trips",     "two pair",
        "overpair",       "top pair", "pair",       "nothing"};
    return kNames[static_cast<int>(made)];
}

std::string_view drawClassName(DrawClass draw) {
    static constexpr std::string_view kNames[kDrawClasses + 1] = {
        "nut flush draw", "flush draw",  "nut wrap", "wrap", "nut straight draw",
        "straight draw",  "nut gutshot", "gutshot",  ""};
    return kNames[static_cast<int>(draw)];
}

BoardClassifier::BoardClassifier(CardMask board)
    : m_board(board), m_boardCount(cardsFromMask(board, m_cards)) {
    for (int i = 0; i < m_boardCount; ++i) {
        ++m_suitCount[suitOf(m_cards[i])];
        ++m_rankCount[rankOf(m_cards[i])];
        m_topBoardRank = std::max(m_topBoardRank, rankOf(m_cards[i]));
    }
    const unsigned boardRanks = rankSet(board);
    for (int next = 0; next <= kRanks; ++next) {
        const unsigned ranks = boardRanks | (next < kRanks ? 1u << next : 0u);
        m_nutTop[next] = -1;
        for (int w = 0; w < kWindows; ++w) {
            const unsigned missing = windowRanks(w) & ~ranks;
            m_missing[next][w] = std::popcount(missing) <= 2 ? missing : kNoWindow;
            if (m_missing[next][w] != kNoWindow) m_nutTop[next] = windowTop(w);
        }
    }
}

int BoardClassifier::straightTop(unsigned holeRanks, int next) const {
    for (int w = kWindows - 1; w >= 0; --w) {
        const unsigned missing = m_missing[next][w];
        if (missing != kNoWindow && (missing & ~holeRanks) == 0 &&
            std::popcount(holeRanks & windowRanks(w)) >= 2)
            return windowTop(w);
    }
    return -1;
}

HandClass BoardClassifier::classify(CardMask hand) const {
    const five_card::ClassRanks& ranks = five_card::classRanks();
    CardId hole[kRanks];
    const int n = cardsFromMask(hand, hole);
    static constexpr int kTriples[4][3] = {{0, 1, 2}, {0, 1, 3}, {0, 2, 3}, {1, 2, 3}};
    const int triples = m_boardCount == 3 ? 1 : 4;

    // The best combination: its value, and its cards with the two hole cards first.
    int best = 0;
    CardId five[5] = {};
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            for (int t = 0; t < triples; ++t) {
                const CardId c[5] = {hole[i], hole[j], m_cards[kTriples[t][0]],
                                     m_cards[kTriples[t][1]], m_cards[kTriples[t][2]]};
                bool suited = true;
                unsigned set = 0;
                for (CardId x : c) {
                    suited = suited && suitOf(x) == suitOf(c[0]);
                    set |= 1u << rankOf(x);
                }
                const int v = suited ? ranks.flush(set)
                                     : ranks.plain(rankOf(c[0]), rankOf(c[1]), rankOf(c[2]),
                                                   rankOf(c[3]), rankOf(c[4]));
                if (v > best) {
                    best = v;
                    std::copy(c, c + 5, five);
                }
            }
        }
    }

    HandClass out;
    const unsigned holeRanks = rankSet(hand);
    int count[kRanks] = {};
    for (CardId x : five) ++count[rankOf(x)];
    // The rank of the combination's largest group (its pair or its three of a kind).
    const int group = static_cast<int>(std::max_element(count, count + kRanks) - count);
    const int holeInGroup = (rankOf(five[0]) == group) + (rankOf(five[1]) == group);
    const HandCategory category = categoryOf(best);
    switch (category) {
        case HandCategory::StraightFlush:
            out.made = MadeClass::StraightFlush;
            break;
        case HandCategory::Quads:
            out.made = MadeClass::Quads;
            break;
        case HandCategory::FullHouse:
            out.made = MadeClass::FullHouse;
            break;
        case HandCategory::Flush:
            out.made = holdsTopOfSuit(hand, m_board, suitOf(five[0])) ? MadeClass::NutFlush
                                                                      : MadeClass::Flush;
            break;
        case HandCategory::Straight:
            out.made = straightTop(holeRanks, kRanks) == m_nutTop[kRanks] ? MadeClass::NutStraight
                                                                          : MadeClass::Straight;
            break;
        case HandCategory::Trips:
            out.made = holeInGroup == 2 ? MadeClass::Set : MadeClass::Trips;
            break;
        case HandCategory::TwoPair:
            out.made = MadeClass::TwoPair;
            break;
        case HandCategory::OnePair:
            if (holeInGroup == 2) {
                out.made = group > m_topBoardRank ? MadeClass::Overpair : MadeClass::Pair;
            } else if (holeInGroup == 1) {
                out.made = group == m_topBoardRank ? MadeClass::TopPair : MadeClass::Pair;
            } else {
                out.made = MadeClass::Nothing;  // the board's pair only
            }
            break;
        case HandCategory::HighCard:
            out.made = MadeClass::Nothing;
            break;
    }
    if (category >= HandCategory::Straight) return out;

    bool flushDraw = false, nutFlushDraw = false;
    for (int s = 0; s < kSuits; ++s) {
        if (m_suitCount[s] != 2 || std::popcount(hand & suitCards(s)) < 2) continue;
        flushDraw = true;
        nutFlushDraw = nutFlushDraw || holdsTopOfSuit(hand, m_board, s);
    }
    const CardMask seen = m_board | hand;
    bool allNut = true;
    for (int r = 0; r < kRanks; ++r) {
        const int top = straightTop(holeRanks, r);
        if (top < 0) continue;
        int open = 0;
        for (int s = 0; s < kSuits; ++s) open += (seen & cardBit(makeCard(r, s))) == 0;
        if (open == 0) continue;
        out.straightOuts += open;
        allNut = allNut && top == m_nutTop[r];
    }
    const int outs = out.straightOuts;
    if (flushDraw) {
        out.draw = nutFlushDraw ? DrawClass::NutFlushDraw : DrawClass::FlushDraw;
    } else if (outs >= kWrapOuts) {
        out.draw = allNut ? DrawClass::NutWrap : DrawClass::Wrap;
    } else if (outs >= kStraightDrawOuts) {
        out.draw = allNut ? DrawClass::NutStraightDraw : DrawClass::StraightDraw;
    } else if (outs >= kGutshotOuts) {
        out.draw = allNut ? DrawClass::NutGutshot : DrawClass::Gutshot;
    }
    return out;
}

std::vector<ClassShare> classShares(const Breakdown& breakdown, CardMask board, int /*holeCount*/) {
    const int onBoard = cardCount(board);
    if (onBoard != 3 && onBoard != 4) return {};
    struct Sum {
        std::int64_t hands = 0;
        double equity = 0;  // equity times outcomes
        double outcomes = 0;
    };
    Sum made[kMadeClasses], draw[kDrawClasses];
    std::int64_t live = 0;
    const BoardClassifier classifier(board);
    for (const HandEquity& h : breakdown.hands) {
        if (h.outcomes <= 0 || (h.hand & board)) continue;
        ++live;
        const HandClass c = classifier.classify(h.hand);
        for (Sum* sum : {&made[static_cast<int>(c.made)],
                         c.draw == DrawClass::None ? nullptr : &draw[static_cast<int>(c.draw)]}) {
            if (!sum) continue;
            ++sum->hands;
            sum->equity += h.equity * static_cast<double>(h.outcomes);
            sum->outcomes += static_cast<double>(h.outcomes);
        }
    }
    std::vector<ClassShare> rows;
    auto add = [&](std::string_view name, const Sum& sum) {
        if (sum.hands == 0) return;
        rows.push_back({std::string(name), sum.hands,
                        static_cast<double>(sum.hands) / static_cast<double>(live),
                        sum.equity / sum.outcomes});
    };
    for (int m = 0; m < kMadeClasses; ++m) add(madeClassName(static_cast<MadeClass>(m)), made[m]);
    for (int d = 0; d < kDrawClasses; ++d) add(drawClassName(static_cast<DrawClass>(d)), draw[d]);
    return rows;
}

}  // namespace varnel
