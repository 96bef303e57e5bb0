// The heads-up sweep against a plain triple loop (hand, hand, board) with the reference
// evaluator: every hand's wins, ties and outcomes, on flops and turns, 4 and 5 cards; and
// computeBreakdown through its routes (sweep, sampled boards, one run per hand) against the
// triple loop and against computeEquity runs of single hands and of the whole request.
#include "engine/sweep.h"

#include "engine/breakdown.h"
#include "exact_equity.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// `count` hands of k cards drawn from `pool` (duplicates kept).
std::vector<CardMask> drawHands(std::mt19937& rng, CardMask pool, int k, int count) {
    const std::vector<CardId> cards = cardsFromMask(pool);
    std::vector<CardMask> hands;
    while (static_cast<int>(hands.size()) < count) {
        CardMask h = 0;
        while (cardCount(h) < k) h |= cardBit(cards[rng() % cards.size()]);
        hands.push_back(h);
    }
    return hands;
}

struct Counts {
    std::int64_t wins = 0, ties = 0, outcomes = 0;
};

// Each side's counts hand by hand: every pair of live hands sharing no card, every completion.
std::array<std::vector<Counts>, 2> tripleLoop(const std::array<std::vector<CardMask>, 2>& hands,
                                              CardMask board, CardMask dead) {
    const CardMask known = board | dead;
    std::array<std::vector<Counts>, 2> out{std::vector<Counts>(hands[0].size()),
                                           std::vector<Counts>(hands[1].size())};
    forEachSubset(kFullDeck & ~known, kBoardCards - cardCount(board), board, [&](CardMask full) {
        const std::vector<CardId> b = cardsFromMask(full);
        std::array<std::vector<int>, 2> value;
        for (int s = 0; s < 2; ++s)
            for (CardMask h : hands[s]) {
                const std::vector<CardId> c = cardsFromMask(h);
                value[s].push_back(h & (full | dead)
                                       ? -1
                                       : reference().bestOmaha(c.data(), int(c.size()), b.data()));
            }
        for (std::size_t i = 0; i < hands[0].size(); ++i)
            for (std::size_t j = 0; j < hands[1].size(); ++j) {
                const int a = value[0][i], o = value[1][j];
                if (a < 0 || o < 0 || (hands[0][i] & hands[1][j])) continue;
                out[0][i] = {out[0][i].wins + (a > o), out[0][i].ties + (a == o),
                             out[0][i].outcomes + 1};
                out[1][j] = {out[1][j].wins + (o > a), out[1][j].ties + (a == o),
                             out[1][j].outcomes + 1};
            }
    });
    return out;
}

void expectSame(const std::array<std::vector<CardMask>, 2>& hands, CardMask board, CardMask dead,
                int k, const char* name) {
    SCOPED_TRACE(name);
    SweepRequest r;
    r.holeCount = k;
    r.board = board;
    r.dead = dead;
    r.hands = {&hands[0], &hands[1]};
    r.threads = 2;
    const SweepResult got = sweepExact(r);
    const auto want = tripleLoop(hands, board, dead);
    ASSERT_EQ(got.end, RunEnd::Finished);
    for (int s = 0; s < 2; ++s) {
        Counts total;
        ASSERT_EQ(got.hands[s].size(), hands[s].size());
        for (std::size_t h = 0; h < hands[s].size(); ++h) {
            const Counts& w = want[s][h];
            const SweepCounts& g = got.hands[s][h];
            EXPECT_EQ(g.wins, w.wins) << "side " << s << " hand " << h;
            EXPECT_EQ(g.ties, w.ties) << "side " << s << " hand " << h;
            EXPECT_EQ(g.outcomes, w.outcomes) << "side " << s << " hand " << h;
            total = {total.wins + w.wins, total.ties + w.ties, total.outcomes + w.outcomes};
        }
        EXPECT_EQ(got.total[s].wins, total.wins);
        EXPECT_EQ(got.total[s].ties, total.ties);
        EXPECT_EQ(got.total[s].outcomes, total.outcomes);
    }
    // One side alone gives the same counts, and the other's totals.
    r.wanted = {false, true};
    r.threads = 1;
    const SweepResult one = sweepExact(r);
    EXPECT_TRUE(one.hands[0].empty());
    for (std::size_t h = 0; h < hands[1].size(); ++h)
        EXPECT_EQ(one.hands[1][h].wins, want[1][h].wins);
    EXPECT_EQ(one.total[0].wins, got.total[0].wins);
    EXPECT_EQ(one.total[0].ties, got.total[0].ties);
}

class SweepTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(loadTable()) << "omaha-7.bin not found in VARNEL_DATA_DIR";
    }
};

TEST_F(SweepTest, RangesMatchTheTripleLoop) {
    std::mt19937 rng(11);
    const CardMask all = kFullDeck;
    // Small pools give ties, shared cards and duplicates everywhere.
    const CardMask pool = cards(L"AsKsQsJsTs9hAhKd8c7c");
    for (int k : {4, 5, 6}) {
        struct Case {
            const char* name;
            std::wstring board, dead;
            CardMask pool;
            int count;
        };
        for (const Case& c : {Case{"flop, wide", L"Qh7c2d", L"", all, 40},
                              Case{"turn, pool", L"Qd7c2h3s", L"", pool, 60},
                              Case{"monotone flop, pool", L"2s5s6s", L"Ac", pool, 50},
                              Case{"paired flop, dead", L"QhQc2d", L"Js8d", all, 30}}) {
            const std::array<std::vector<CardMask>, 2> hands{drawHands(rng, c.pool, k, c.count),
                                                             drawHands(rng, c.pool, k, c.count)};
            expectSame(hands, cards(c.board), c.dead.empty() ? 0 : cards(c.dead), k, c.name);
            // A range against itself.
            expectSame({hands[0], hands[0]}, cards(c.board), 0, k, "itself");
        }
    }
}

TEST_F(SweepTest, SingleHandsAndBlockedHandsMatchTheTripleLoop) {
    std::mt19937 rng(5);
    const std::vector<CardMask> range = drawHands(rng, kFullDeck, 4, 50);
    // A fixed hand (with a blocked copy before it) on either side; hands holding its cards die.
    const std::vector<CardMask> fixed{cards(L"AhKhQs7d"), cards(L"AhAdKsQs")};
    expectSame({fixed, range}, cards(L"Qh7c2d"), 0, 4, "fixed v range");
    expectSame({range, fixed}, cards(L"Qd7c2h3s"), 0, 4, "range v fixed");
    const std::vector<CardMask> other{cards(L"JcTc9h8h")};
    expectSame({fixed, other}, cards(L"Qh7c2d"), 0, 4, "two hands");
}

EquityRequest headsUp(int k, std::vector<CardMask> hero, std::vector<CardMask> opponent,
                      std::wstring_view board) {
    EquityRequest r;
    r.holeCount = k;
    r.lists[0].hands = std::move(hero);
    r.lists[1].hands = std::move(opponent);
    r.random[1] = r.lists[1].hands.empty();
    r.boards[0] = board.empty() ? 0 : cards(board);
    r.threads = 2;
    r.seed = 7;
    return r;
}

// The hands' outcome-weighted mean equity.
double weightedMean(const std::vector<HandEquity>& hands) {
    double sum = 0, n = 0;
    for (const HandEquity& h : hands) sum += h.equity * double(h.outcomes), n += double(h.outcomes);
    return sum / n;
}

TEST_F(SweepTest, BreakdownOfTwoRangesIsExactHandByHand) {
    std::mt19937 rng(3);
    const std::vector<CardMask> hero = drawHands(rng, cards(L"AsKsQsJsTs9hAhKd8c7c"), 4, 30);
    std::vector<CardMask> opponent = drawHands(rng, kFullDeck, 4, 40);
    opponent.push_back(cards(L"Qh2c3c4c"));  // dead: holds a board card
    const EquityRequest r = headsUp(4, hero, opponent, L"Qh7c2d");
    const Breakdown b = computeBreakdown(r, 1);  // the hero is the second player
    ASSERT_EQ(b.result.end, RunEnd::Finished);
    EXPECT_EQ(b.result.mode, EquityMode::Exact);
    const auto want = tripleLoop({opponent, hero}, cards(L"Qh7c2d"), 0);
    ASSERT_EQ(b.hands.size(), opponent.size());
    ASSERT_EQ(b.opponentHands.size(), hero.size());
    std::int64_t outcomes = 0;
    double units = 0;
    for (int s = 0; s < 2; ++s) {
        const std::vector<HandEquity>& got = s == 0 ? b.hands : b.opponentHands;
        for (std::size_t h = 0; h < got.size(); ++h) {
            const Counts& w = want[s][h];
            EXPECT_EQ(got[h].outcomes, w.outcomes);
            if (w.outcomes == 0) continue;
            EXPECT_NEAR(got[h].equity, (w.wins + w.ties / 2.0) / double(w.outcomes), 1e-12);
            EXPECT_NEAR(got[h].tie, w.ties / double(w.outcomes), 1e-12);
            if (s == 0) outcomes += w.outcomes, units += w.wins + w.ties / 2.0;
        }
    }
    EXPECT_EQ(b.hands.back().outcomes, 0);
    EXPECT_EQ(b.result.deals, outcomes);
    EXPECT_NEAR(b.result.players[1].equity, units / double(outcomes), 1e-12);
    EXPECT_NEAR(weightedMean(b.hands), b.result.players[1].equity, 1e-12);
    EXPECT_NEAR(weightedMean(b.opponentHands), b.result.players[0].equity, 1e-12);
    // computeEquity gives the same aggregate exactly (through the sweep when it is cheaper).
    EquityRequest two = r;
    two.mode = EquityMode::Exact;
    const EquityResult e = computeEquity(two);
    EXPECT_EQ(e.deals, outcomes);
    EXPECT_NEAR(e.players[1].equity, b.result.players[1].equity, 1e-12);
}

TEST_F(SweepTest, BreakdownAgainstARandomHandMatchesSingleHandRuns) {
    // On the turn: every opponent hand of the deck, each hero hand's equity as the enumeration
    // of that hand alone gives it.
    const std::vector<CardMask> hero{cards(L"AhAdKsQs"), cards(L"9h8h7d6d"), cards(L"2c3c4c5d")};
    EquityRequest r = headsUp(4, hero, {}, L"Qh7c2dTs");
    const Breakdown b = computeBreakdown(r, 0);
    ASSERT_EQ(b.result.end, RunEnd::Finished);
    ASSERT_EQ(b.hands.size(), hero.size());
    for (std::size_t h = 0; h < hero.size(); ++h) {
        EquityRequest one = r;
        one.lists[0].hands = {hero[h]};
        one.mode = EquityMode::Exact;
        const EquityResult e = computeEquity(one);
        EXPECT_EQ(b.hands[h].outcomes, e.deals);
        EXPECT_NEAR(b.hands[h].equity, e.players[0].equity, 1e-12);
        EXPECT_NEAR(b.hands[h].win, e.players[0].win, 1e-12);
    }
    EXPECT_NEAR(weightedMean(b.hands), b.result.players[0].equity, 1e-12);
    EXPECT_EQ(b.opponentHands.size(), everyHoleSet(4, cards(L"Qh7c2dTs")).size());
    EXPECT_NEAR(weightedMean(b.opponentHands), b.result.players[1].equity, 1e-12);
}

TEST_F(SweepTest, BreakdownsOutsideTheSweepAddUpToTheWholeEnumeration) {
    // Three players, and Hi/Lo heads-up: one enumeration per hand.
    std::mt19937 rng(9);
    EquityRequest three =
        headsUp(4, drawHands(rng, kFullDeck, 4, 5), {cards(L"AsKsQdJd")}, L"Qh7c2dTs");
    three.playerCount = 3;
    three.lists[2].hands = drawHands(rng, kFullDeck, 4, 4);
    EquityRequest hiLo =
        headsUp(4, drawHands(rng, kFullDeck, 4, 4), drawHands(rng, kFullDeck, 4, 3), L"Ah7c2d3s");
    hiLo.hiLo = true;
    for (const EquityRequest& r : {three, hiLo}) {
        const Breakdown b = computeBreakdown(r, 0);
        ASSERT_EQ(b.result.end, RunEnd::Finished);
        EXPECT_EQ(b.result.mode, EquityMode::Exact);
        EquityRequest whole = r;
        whole.mode = EquityMode::Exact;
        const EquityResult e = computeEquity(whole);
        EXPECT_EQ(b.result.deals, e.deals);
        for (int p = 0; p < r.playerCount; ++p)
            EXPECT_NEAR(b.result.players[p].equity, e.players[p].equity, 1e-12);
        EXPECT_NEAR(weightedMean(b.hands), e.players[0].equity, 1e-12);
    }
    EXPECT_EQ(computeBreakdown(three, 3).result.end, RunEnd::Rejected);
}

TEST_F(SweepTest, PreflopBreakdownSamplesBoardsWithinTheirErrors) {
    // A fixed hand against three hands preflop: each opponent hand's sampled equity within four
    // standard errors of its exact value, and the run reproducible for any number of threads.
    const std::vector<CardMask> opponent{cards(L"KcKdQhJh"), cards(L"9s8s7c6c"),
                                         cards(L"AcAs2d3h")};
    EquityRequest r = headsUp(4, {cards(L"AhAdKsQs")}, opponent, L"");
    r.rounds = 2000;
    const Breakdown b = computeBreakdown(r, 0);
    EXPECT_EQ(b.result.mode, EquityMode::MonteCarlo);
    ASSERT_EQ(b.opponentHands.size(), opponent.size());
    for (std::size_t h = 0; h < opponent.size(); ++h) {
        EquityRequest one = r;
        one.lists[1].hands = {opponent[h]};
        one.mode = EquityMode::Exact;
        const double exact = computeEquity(one).players[1].equity;
        const HandEquity& got = b.opponentHands[h];
        EXPECT_GT(got.stdError, 0);
        EXPECT_NEAR(got.equity, exact, 4 * got.stdError) << h;
    }
    EXPECT_NEAR(b.result.players[0].equity, 1 - b.result.players[1].equity, 1e-12);
    r.threads = 1;
    EXPECT_EQ(computeBreakdown(r, 0).opponentHands[1].equity, b.opponentHands[1].equity);
}

}  // namespace
}  // namespace varnel::test
