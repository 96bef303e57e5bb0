// Hand classes on a flop or turn against chosen hands and a brute-force classifier, the class
// table's counting, and next-card equities against the aggregate exact equity.

#include "engine/hand_classes.h"

#include "engine/breakdown.h"
#include "tests/support/reference_eval.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

std::string ascii(std::wstring_view text) {
    return std::string(text.begin(), text.end());
}

std::string classText(const HandClass& c) {
    return std::string(madeClassName(c.made)) + "/" + std::string(drawClassName(c.draw));
}

TEST(HandClasses, ChosenHandsOnChosenBoards) {
    struct Case {
        const wchar_t *board, *hand;
        const char* classes;
        int outs;  // -1: not checked
    };
    const Case cases[] = {
        {L"Kh9h2d", L"AsKsQhJh", "top pair/flush draw", -1},
        {L"Kh9h2d", L"AhAd7h3c", "overpair/nut flush draw", 0},
        {L"Kh9h2d", L"9c9s5d4d", "set/", 0},
        {L"Kh9h2d", L"7c7d4s3s", "pair/", 0},
        {L"Kh9h2d", L"9c8d4s3s", "pair/", 0},
        {L"Kh9h2d", L"KdQc2cJs", "two pair/nut gutshot", 4},  // only a ten: K-Q-J-T-9
        {L"8h7d6c", L"Th9c5s4d", "nut straight/", -1},
        {L"8h7d6c", L"9s5d4c3h", "straight/", -1},
        {L"9s8d2c", L"JcTh7s6d", "nothing/wrap", 20},  // on a jack the straight is not the best
        {L"9s8d2c", L"QcJhTs2h", "pair/nut wrap", 13},
        {L"KcKd5h", L"5s5c3d4d", "full house/", -1},
        {L"7c7d7h", L"AsKd2c3c", "trips/", -1},
        {L"KcKd5h", L"AsQd7c3s", "nothing/", 0},  // the board's pair only
        {L"KcKd5h", L"KsQd7c3s", "trips/", -1},
        {L"9c9d2s", L"9h9s4c5c", "quads/", -1},
        {L"9h8h7h", L"ThJh2c3c", "straight flush/", -1},
        {L"Kh9h2h", L"Ah3h4c5c", "nut flush/", -1},
        {L"Kh9h2h", L"QhJh4c5c", "flush/", -1},
        {L"Kh9h2d5c", L"AsKsQcJd", "top pair/nut gutshot", 4},
        {L"9h8h2c", L"AhKhQhJhTh", "nothing/nut flush draw", -1},
    };
    for (const Case& c : cases) {
        const HandClass got = BoardClassifier(cards(c.board)).classify(cards(c.hand));
        const std::string where = ascii(c.hand) + " on " + ascii(c.board);
        EXPECT_EQ(classText(got), c.classes) << where;
        if (c.outs >= 0) {
            EXPECT_EQ(got.straightOuts, c.outs) << where;
        }
    }
}

// The classes written out from their definitions, by trying every combination of two hole cards
// and three board cards and every rank that can come.
class PlainClassifier {
  public:
    explicit PlainClassifier(CardMask board) : m_board(cardsFromMask(board)) {
        for (CardId c : m_board) m_boardRanks.push_back(rankOf(c));
        for (int next = 0; next <= kRanks; ++next) {
            std::vector<int> b = m_boardRanks;
            if (next < kRanks) b.push_back(next);
            for (int x = 0; x < kRanks; ++x)
                for (int y = x + 1; y < kRanks; ++y)
                    m_nutTop[next] = std::max(m_nutTop[next], straightTop({x, y}, b));
        }
    }

    std::string classify(CardMask hand, int& outs) const {
        const std::vector<CardId> hole = cardsFromMask(hand);
        std::vector<int> holeRanks;
        for (CardId c : hole) holeRanks.push_back(rankOf(c));
        // The best combination's description and how many of its hole cards share the rank of
        // its largest group.
        Description best{};
        int holeInGroup = 0;
        forEachCombination(hole, [&](const std::array<CardId, 5>& five) {
            std::array<int, 5> r{};
            bool oneSuit = true;
            for (int i = 0; i < 5; ++i) {
                r[i] = rankOf(five[i]);
                oneSuit = oneSuit && suitOf(five[i]) == suitOf(five[0]);
            }
            std::sort(r.begin(), r.end());
            const Description d = describe(r, oneSuit);
            if (d > best) {
                best = d;
                holeInGroup = (rankOf(five[0]) == d[1]) + (rankOf(five[1]) == d[1]);
            }
        });
        const int topBoard = *std::max_element(m_boardRanks.begin(), m_boardRanks.end());
        std::string made;
        switch (best[0]) {
            case kStraightFlush:
                made = "straight flush";
                break;
            case kQuads:
                made = "quads";
                break;
            case kFullHouse:
                made = "full house";
                break;
            case kFlush:
                made = holdsTopOpenCard(hand, flushSuit(hand), kNoCard) ? "nut flush" : "flush";
                break;
            case kStraight:
                made = straightTop(holeRanks, m_boardRanks) == m_nutTop[kRanks] ? "nut straight"
                                                                                : "straight";
                break;
            case kTrips:
                made = holeInGroup == 2 ? "set" : "trips";
                break;
            case kTwoPair:
                made = "two pair";
                break;
            case kPair:
                made = holeInGroup == 2   ? (best[1] > topBoard ? "overpair" : "pair")
                       : holeInGroup == 1 ? (best[1] == topBoard ? "top pair" : "pair")
                                          : "nothing";
                break;
            default:
                made = "nothing";
        }
        outs = 0;
        if (best[0] >= kStraight) return made + "/";
        // A flush draw: some card that can come gives five cards of one suit.
        bool flushDraw = false, nut = true, straightNut = true;
        const CardMask seen = hand | maskFromCards(m_board);
        for (CardId c = 0; c < kDeckSize; ++c) {
            if (seen & cardBit(c)) continue;
            std::vector<CardId> board = m_board;
            board.push_back(c);
            bool flush = false;
            forEachCombination(hole, board, [&](const std::array<CardId, 5>& five) {
                flush = flush || std::all_of(five.begin(), five.end(), [&](CardId x) {
                            return suitOf(x) == suitOf(five[0]);
                        });
            });
            if (flush) nut = nut && holdsTopOpenCard(hand, suitOf(c), c);
            flushDraw = flushDraw || flush;
            std::vector<int> ranks = m_boardRanks;
            ranks.push_back(rankOf(c));
            const int top = straightTop(holeRanks, ranks);
            if (top >= 0) {
                ++outs;
                straightNut = straightNut && top == m_nutTop[rankOf(c)];
            }
        }
        std::string draw;
        if (flushDraw) {
            draw = nut ? "nut flush draw" : "flush draw";
        } else if (outs >= 4) {
            draw = std::string(straightNut ? "nut " : "") + (outs >= 13  ? "wrap"
                                                             : outs >= 8 ? "straight draw"
                                                                         : "gutshot");
        }
        return made + "/" + draw;
    }

  private:
    // Top rank of the best straight of two of `hole` and three of `board` ranks, or -1.
    static int straightTop(const std::vector<int>& hole, const std::vector<int>& board) {
        int top = -1;
        for (std::size_t i = 0; i < hole.size(); ++i)
            for (std::size_t j = i + 1; j < hole.size(); ++j)
                for (std::size_t x = 0; x < board.size(); ++x)
                    for (std::size_t y = x + 1; y < board.size(); ++y)
                        for (std::size_t z = y + 1; z < board.size(); ++z) {
                            std::array<int, 5> r = {hole[i], hole[j], board[x], board[y], board[z]};
                            std::sort(r.begin(), r.end());
                            if (std::adjacent_find(r.begin(), r.end()) != r.end()) continue;
                            if (r[4] - r[0] == 4) top = std::max(top, r[4]);
                            if (r == std::array<int, 5>{0, 1, 2, 3, 12}) top = std::max(top, 3);
                        }
        return top;
    }

    template <class F>
    void forEachCombination(const std::vector<CardId>& hole, F&& f) const {
        forEachCombination(hole, m_board, f);
    }
    template <class F>
    static void forEachCombination(const std::vector<CardId>& hole,
                                   const std::vector<CardId>& board, F&& f) {
        for (std::size_t i = 0; i < hole.size(); ++i)
            for (std::size_t j = i + 1; j < hole.size(); ++j)
                for (std::size_t x = 0; x < board.size(); ++x)
                    for (std::size_t y = x + 1; y < board.size(); ++y)
                        for (std::size_t z = y + 1; z < board.size(); ++z)
                            f(std::array<CardId, 5>{hole[i], hole[j], board[x], board[y],
                                                    board[z]});
    }

    // The suit of which the board holds three or more and the hand two or more.
    int flushSuit(CardMask hand) const {
        for (int s = 0; s < kSuits; ++s) {
            int onBoard = 0, inHand = 0;
            for (CardId c : m_board) onBoard += suitOf(c) == s;
            for (CardId c : cardsFromMask(hand)) inHand += suitOf(c) == s;
            if (onBoard >= 3 && inHand >= 2) return s;
        }
        return -1;
    }

    // Whether `hand` holds the highest card of `suit` on neither the board nor `extra`.
    bool holdsTopOpenCard(CardMask hand, int suit, CardId extra) const {
        for (int r = kRanks - 1; r >= 0; --r) {
            const CardId c = makeCard(r, suit);
            if (c != extra && std::find(m_board.begin(), m_board.end(), c) == m_board.end())
                return (hand & cardBit(c)) != 0;
        }
        return false;
    }

    std::vector<CardId> m_board;
    std::vector<int> m_boardRanks;
    std::array<int, kRanks + 1> m_nutTop = [] {
        std::array<int, kRanks + 1> a{};
        a.fill(-1);
        return a;
    }();
};

TEST(HandClasses, AgreeWithThePlainClassifierOnRandomBoards) {
    std::mt19937_64 rng(24);
    std::vector<CardId> deck(kDeckSize);
    std::iota(deck.begin(), deck.end(), 0);
    std::map<std::string, int> seen;
    for (int holeCount = 4; holeCount <= 7; ++holeCount) {
        for (int onBoard = 3; onBoard <= 4; ++onBoard) {
            for (int deal = 0; deal < 12; ++deal) {
                std::shuffle(deck.begin(), deck.end(), rng);
                const CardMask board = maskFromCards(std::span(deck.data(), onBoard));
                const BoardClassifier classifier(board);
                const PlainClassifier plain(board);
                for (int h = 0; h < 6; ++h) {
                    std::shuffle(deck.begin() + onBoard, deck.end(), rng);
                    const CardMask hand =
                        maskFromCards(std::span(deck.data() + onBoard, holeCount));
                    int outs = 0;
                    const std::string expected = plain.classify(hand, outs);
                    const HandClass got = classifier.classify(hand);
                    EXPECT_EQ(classText(got), expected) << hand << " on " << board;
                    EXPECT_EQ(got.straightOuts, outs) << hand << " on " << board;
                    ++seen[expected];
                }
            }
        }
    }
    EXPECT_GE(seen.size(), 12u);  // the deals reach many classes
}

TEST(HandClasses, SharesCountLiveHandsAndWeighTheirOutcomes) {
    Breakdown b;
    const auto hand = [](const wchar_t* codes, double equity, std::int64_t outcomes) {
        return HandEquity{.hand = cards(codes), .equity = equity, .outcomes = outcomes};
    };
    b.hands = {hand(L"AhAd7h3c", 0.8, 100), hand(L"AcAs8d3d", 0.6, 300),
               hand(L"9c9s5d4d", 0.9, 200), hand(L"7c7d4s3s", 0.2, 0)};  // the last is dead
    const std::vector<ClassShare> rows = classShares(b, cards(L"Kh9h2d"), 4);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "set");
    EXPECT_EQ(rows[0].hands, 1);
    EXPECT_DOUBLE_EQ(rows[0].share, 1.0 / 3);
    EXPECT_EQ(rows[1].name, "overpair");
    EXPECT_EQ(rows[1].hands, 2);
    EXPECT_DOUBLE_EQ(rows[1].equity, (0.8 * 100 + 0.6 * 300) / 400);
    EXPECT_EQ(rows[2].name, "nut flush draw");  // made classes first, then draws
    EXPECT_DOUBLE_EQ(rows[2].equity, 0.8);
    EXPECT_TRUE(classShares(b, cards(L"Kh9h2d5c3c"), 4).empty());  // a river has no draws
}

TEST(NextCards, WeightsAndEquitiesAverageBackToTheExactEquity) {
    ASSERT_TRUE(loadTable()) << "omaha-7.bin not found in VARNEL_DATA_DIR";
    for (const wchar_t* board : {L"Kh9h2d", L"Kh9h2d5c"}) {
        EquityRequest request;
        request.mode = EquityMode::Exact;
        request.boards[0] = cards(board);
        request.lists[0].numCards = request.lists[1].numCards = 4;
        request.lists[0].hands = {cards(L"AsKsQhJh")};
        request.lists[1].hands = {cards(L"8c8d7c6d"), cards(L"AhAd3c4d"), cards(L"Ts9s8h7h")};
        const EquityResult whole = computeEquity(request);
        const NextCards next = computeNextCards(request);
        ASSERT_EQ(next.end, RunEnd::Finished) << next.reason;
        EXPECT_EQ(next.mode, EquityMode::Exact);
        // Every card off the board and the fixed hand can come; the range's cards can too.
        EXPECT_EQ(next.cards.size(), std::size_t(kDeckSize - cardCount(request.boards[0]) - 4));
        double weight = 0, equity[2] = {};
        std::int64_t outcomes = 0;
        for (const NextCard& c : next.cards) {
            weight += c.weight;
            outcomes += c.outcomes;
            for (int p = 0; p < 2; ++p) equity[p] += c.weight * c.equity[p];
        }
        EXPECT_NEAR(weight, 1, 1e-12);
        // Each completion of the flop is counted once per order of its two cards.
        EXPECT_EQ(outcomes, whole.deals * (5 - cardCount(request.boards[0])));
        for (int p = 0; p < 2; ++p) EXPECT_NEAR(equity[p], whole.players[p].equity, 1e-12);
    }
    EquityRequest river;
    river.boards[0] = cards(L"Kh9h2d5c3c");
    EXPECT_EQ(computeNextCards(river).end, RunEnd::Rejected);
}

}  // namespace
}  // namespace varnel::test
