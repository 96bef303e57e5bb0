// computeEquity against a brute force over every outcome with the reference evaluator, and the
// Monte Carlo against the exact values; reproducibility and the ways a run ends.
#include "engine/equity.h"

#include <atomic>
#include <climits>
#include <cmath>

#include "engine/tally.h"
#include "exact_equity.h"
#include "tests/support/reference_low.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// A spot: each player's hands ("" for a random hand, else hands separated by commas).
struct Spot {
    const char* name;
    int holeCount;
    std::vector<std::wstring> players;
    std::wstring board1 = L"", board2 = L"", dead = L"";
    bool hiLo = false;
};

EquityRequest requestOf(const Spot& s) {
    EquityRequest r;
    r.holeCount = s.holeCount;
    r.playerCount = static_cast<int>(s.players.size());
    for (std::size_t p = 0; p < s.players.size(); ++p) {
        r.random[p] = s.players[p].empty();
        for (std::size_t at = 0; at < s.players[p].size();) {
            const std::size_t end = std::min(s.players[p].find(L',', at), s.players[p].size());
            r.lists[p].hands.push_back(cards(s.players[p].substr(at, end - at)));
            at = end + 1;
        }
    }
    if (!s.board1.empty()) r.boards[0] = cards(s.board1);
    if (!s.board2.empty()) r.boards[1] = cards(s.board2);
    if (!s.dead.empty()) r.deadCards = cards(s.dead);
    r.hiLo = s.hiLo;
    r.pause = std::chrono::milliseconds(0);
    r.seed = 1;
    return r;
}

// Every outcome weighed once: one hand per player, every completion of each board.
EquityResult bruteForce(const EquityRequest& r) {
    const int boards = r.boards[1] ? 2 : 1;
    const int need = kBoardCards - cardCount(r.boards[0]);
    std::vector<double> share(r.playerCount), win(r.playerCount), tie(r.playerCount),
        high(r.playerCount), low(r.playerCount), board1(r.playerCount), board2(r.playerCount);
    double outcomes = 0;
    std::vector<CardMask> hands(r.playerCount);
    std::vector<std::vector<CardId>> held(r.playerCount);
    auto score = [&](CardMask b1, CardMask b2) {
        std::vector<double> s(r.playerCount);
        for (int b = 0; b < boards; ++b) {
            CardId board[kBoardCards];
            cardsFromMask(b == 0 ? b1 : b2, board);
            const std::vector<double> shares = boardShares(hands, b == 0 ? b1 : b2);
            // Hi/Lo: the best lows share half of the board when there is one.
            std::vector<RefLow> lows;
            for (const auto& h : held)
                lows.push_back(r.hiLo ? bestLowOfCards(h, {board, board + kBoardCards})
                                      : kNoRefLow);
            const RefLow best = *std::min_element(lows.begin(), lows.end());
            const auto lowWinners = std::count(lows.begin(), lows.end(), best);
            for (int p = 0; p < r.playerCount; ++p) {
                const double lowShare = best != kNoRefLow && lows[p] == best
                                            ? 1.0 / static_cast<double>(lowWinners)
                                            : 0.0;
                const double boardShare =
                    best == kNoRefLow ? shares[p] : (shares[p] + lowShare) / 2;
                s[p] += boardShare / boards;
                (b == 0 ? board1 : board2)[p] += boardShare;
                high[p] += shares[p] / boards;
                low[p] += lowShare / boards;
            }
        }
        outcomes += 1;
        for (int p = 0; p < r.playerCount; ++p) {
            share[p] += s[p];
            win[p] += s[p] > 1 - 1e-9;
            tie[p] += s[p] > 1e-9 && s[p] < 1 - 1e-9;
        }
    };
    const CardMask fixed = r.boards[0] | r.boards[1] | r.deadCards;
    std::function<void(int, CardMask)> deal = [&](int p, CardMask used) {
        if (p == r.playerCount) {
            for (int q = 0; q < r.playerCount; ++q) held[q] = cardsFromMask(hands[q]);
            forEachSubset(kFullDeck & ~used, need, 0, [&](CardMask b1) {
                if (boards == 1) return score(r.boards[0] | b1, 0);
                forEachSubset(kFullDeck & ~used & ~b1, need, 0,
                              [&](CardMask b2) { score(r.boards[0] | b1, r.boards[1] | b2); });
            });
            return;
        }
        auto take = [&](CardMask h) {
            if (h & used) return;
            hands[p] = h;
            deal(p + 1, used | h);
        };
        if (r.lists[p].hands.empty()) return forEachSubset(kFullDeck & ~used, r.holeCount, 0, take);
        for (CardMask h : r.lists[p].hands) take(h);
    };
    deal(0, fixed);
    EquityResult out;
    out.deals = static_cast<std::int64_t>(outcomes);
    for (int p = 0; p < r.playerCount; ++p) {
        out.players[p] = {share[p] / outcomes, win[p] / outcomes, tie[p] / outcomes};
        out.players[p].board = {board1[p] / outcomes, board2[p] / outcomes};
        if (r.hiLo) {
            out.players[p].high = high[p] / outcomes;
            out.players[p].low = low[p] / outcomes;
            out.players[p].scoop = out.players[p].win;
        }
    }
    return out;
}

// clang-format off
const std::vector<Spot>& spots() {
    static const std::vector<Spot> list = {
        {"flop, heads-up", 4, {L"AhAdKsQs", L"JhTh9c8c"}, L"Qh7c2d"},
        {"mirrored hands tie often", 4, {L"AhKhQc2d", L"AdKdQs2c"}, L"9s7c3h"},
        {"flop, four players", 4, {L"AsKsQhJh", L"8c8d7c6d", L"AdAcTs9s", L"5h4h3c2c"}, L"Kh9h2d"},
        {"turn, three 5-card hands, dead cards", 5, {L"AsKsQsJs2h", L"AhAd7c6c5d", L"9h8h7h6h5s"},
         L"Kh9d4c3s", L"", L"2c2d"},
        {"turn, 6 cards", 6, {L"AsKsQsJsTs9s", L"AhAdKhKd7c6c"}, L"2c3c8h4d"},
        {"turn, 7 cards", 7, {L"AsKsQsJsTs9s8s", L"AhAdKhKd7c6c5c"}, L"2c3c8h4d"},
        {"two boards on the turn", 4, {L"AhAdKsQs", L"JhTh9c8c"}, L"Qh7c2d3s", L"Kd6c5h4s"},
        {"a range, colliding hand", 4, {L"AhAdKsQs", L"JhTh9c8c,AhJc9d8d,KhKcQd2s"}, L"Qh7c2d3s"},
        {"a random player on the river", 4, {L"AhAdKsQs", L""}, L"Qh7c2d3s9h"},
        {"a random player on two full boards", 4, {L"AhAdKsQs", L""}, L"Qh7c2d3s9h", L"Kd6c5h4s8d"},
        {"two random 2-card hands, dead cards", 2, {L"AhKh", L"", L""}, L"Qh7c2d3s9h", L"",
         L"2h3h4h5h6h7h8hThJhAc"},
        {"a random 2-card hand on the turn", 2, {L"AhKh", L"QcQd", L""}, L"Qh7c2d3s"},
        {"a short hand in a 5-card game", 5, {L"AhAdKs", L"JhTh9c8c7d"}, L"Qh7c2d3s"},
        {"hi/lo flop", 4, {L"As2d3hKs", L"KcKdQhJh"}, L"4c5d9h", L"", L"", true},
        {"hi/lo turn, both nut low", 4, {L"As2d3hKs", L"Ah2c3dKh"}, L"4c5d9hTs", L"", L"", true},
        {"hi/lo turn, no low", 5, {L"As2d3hKsQc", L"8c7c6d5dJh"}, L"KcQdJsTh", L"", L"", true},
        {"hi/lo turn, 6 cards, three players", 6,
         {L"As2d3h4sKsKd", L"Ah2c8d8h9s9c", L"7c6c5cTdJdQd"}, L"4c5d9hTs", L"", L"", true},
        {"hi/lo two boards", 4, {L"As2d3hKs", L"8c7c6d5s"}, L"4c5d9hTs", L"2h3c7hKd", L"", true},
        {"hi/lo random, river", 4, {L"As2d3hKs", L""}, L"4c5d9hTsJc", L"", L"", true},
        {"preflop, three players, 16 cards left", 4, {L"AhAdKsQs", L"JhTh9c8c", L"7d6d5c4c"}, L"",
         L"", L"2c2d2s3c3d3s4d4h4s5d5h5s6c6h6s7c7s8d9dTcTdJcQcKd"},
        {"hi/lo preflop, 16 cards left", 4, {L"As2d3hKs", L"8c7c6d5s"}, L"", L"",
         L"2c2s3d3s4h4s5c5d6c6s7d7s8d8s9h9sTdThTsJcJdJsQcQhQsKdKhAd", true},
    };
    return list;
}
// clang-format on

// Two ranges large enough that each board's pair values pay off: every four of seven ranks,
// in hearts and diamonds for one player, spades and clubs for the other.
Spot rangesSpot() {
    Spot s{"ranges", 4, {L"", L""}, L"6h5d4s2c"};
    const std::wstring ranks = L"AKQJT98";
    forEachSubset((CardMask{1} << ranks.size()) - 1, 4, 0, [&](CardMask chosen) {
        for (int p = 0; p < 2; ++p) {
            std::wstring hand;
            int k = 0;
            for (CardMask m = chosen; m; m &= m - 1, ++k)
                hand += {ranks[std::countr_zero(m)], (p ? L"sc" : L"hd")[k % 2]};
            s.players[p] += (s.players[p].empty() ? L"" : L",") + hand;
        }
    });
    return s;
}

// The spot of that name (a test that names none fails).
const Spot& spot(std::string_view name) {
    for (const Spot& s : spots())
        if (s.name == name) return s;
    ADD_FAILURE() << "no spot named " << name;
    return spots().front();
}

class Equity : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(loadTable()) << "omaha-7.bin not found in VARNEL_DATA_DIR";
    }
};

TEST_F(Equity, ExactEqualsBruteForce) {
    std::vector<Spot> all = spots();
    all.push_back(rangesSpot());
    for (const Spot& s : all) {
        EquityRequest request = requestOf(s);
        request.mode = EquityMode::Exact;
        const EquityResult exact = computeEquity(request);
        const EquityResult brute = bruteForce(request);
        ASSERT_EQ(exact.end, RunEnd::Finished) << s.name;
        EXPECT_EQ(exact.mode, EquityMode::Exact) << s.name;
        EXPECT_EQ(exact.deals, brute.deals) << s.name;
        double total = 0;
        for (int p = 0; p < request.playerCount; ++p) {
            const PlayerEquity &e = exact.players[p], &b = brute.players[p];
            EXPECT_NEAR(e.equity, b.equity, 1e-12) << s.name << " player " << p;
            EXPECT_NEAR(e.win, b.win, 1e-12) << s.name << " player " << p;
            EXPECT_NEAR(e.tie, b.tie, 1e-12) << s.name << " player " << p;
            EXPECT_NEAR(e.high, b.high, 1e-12) << s.name << " player " << p;
            EXPECT_NEAR(e.low, b.low, 1e-12) << s.name << " player " << p;
            EXPECT_NEAR(e.scoop, b.scoop, 1e-12) << s.name << " player " << p;
            EXPECT_NEAR(e.board[0], b.board[0], 1e-12) << s.name << " player " << p;
            EXPECT_NEAR(e.board[1], b.board[1], 1e-12) << s.name << " player " << p;
            EXPECT_EQ(e.stdError, 0.0);
            total += e.equity;
        }
        EXPECT_NEAR(total, 1.0, 1e-12) << s.name;
    }
}

TEST_F(Equity, MonteCarloLiesWithinFourStandardErrorsOfExact) {
    for (const Spot& s :
         {spot("flop, four players"), spot("two boards on the turn"),
          spot("a range, colliding hand"), spot("a random player on the river"),
          spot("hi/lo turn, 6 cards, three players"), spot("hi/lo two boards"), rangesSpot()}) {
        EquityRequest request = requestOf(s);
        request.mode = EquityMode::Exact;
        const EquityResult exact = computeEquity(request);
        request.mode = EquityMode::MonteCarlo;
        request.rounds = 60000;
        request.threads = 2;
        const EquityResult mc = computeEquity(request);
        ASSERT_EQ(mc.end, RunEnd::Finished) << s.name;
        EXPECT_EQ(mc.deals, 60000);
        for (int p = 0; p < request.playerCount; ++p) {
            const PlayerEquity &m = mc.players[p], &e = exact.players[p];
            EXPECT_GT(m.stdError, 0.0) << s.name;
            EXPECT_NEAR(m.equity, e.equity, 4 * m.stdError) << s.name << " player " << p;
            // A board's share lies in [0, 1]: its standard error is at most 0.5 / sqrt(deals).
            for (int b = 0; b < kMaxBoards; ++b)
                EXPECT_NEAR(m.board[b], e.board[b], 4 * 0.5 / std::sqrt(60000.0)) << s.name;
        }
    }
}

// The running figures of a seeded run are those of a run of as many deals with the same seed.
TEST_F(Equity, PartialFiguresAreThoseOfTheDealsCountedSoFar) {
    EquityRequest request = requestOf(spot("two boards on the turn"));
    request.mode = EquityMode::MonteCarlo;
    request.rounds = 40 * 4096;
    request.threads = 2;
    std::vector<EquityResult> partials;
    request.partial = [&](const EquityResult& r) { partials.push_back(r); };
    const EquityResult whole = computeEquity(request);
    ASSERT_GE(partials.size(), 10u);
    for (std::size_t i = 1; i < partials.size(); ++i)
        EXPECT_GT(partials[i].deals, partials[i - 1].deals);
    EXPECT_LT(partials.back().deals, whole.deals);
    EquityRequest shorter = requestOf(spot("two boards on the turn"));
    shorter.mode = EquityMode::MonteCarlo;
    shorter.rounds = partials[partials.size() / 2].deals;
    const EquityResult same = computeEquity(shorter);
    for (int p = 0; p < 2; ++p) {
        const PlayerEquity &a = same.players[p], &b = partials[partials.size() / 2].players[p];
        EXPECT_EQ(a.equity, b.equity);
        EXPECT_EQ(a.stdError, b.stdError);
        EXPECT_EQ(a.board, b.board);
    }
    request.mode = EquityMode::Exact;  // an enumeration reports no running figures
    partials.clear();
    computeEquity(request);
    EXPECT_TRUE(partials.empty());
}

TEST_F(Equity, SeedGivesTheSameResultForAnyThreadCount) {
    EquityRequest request = requestOf(spot("a random player on the river"));
    request.mode = EquityMode::MonteCarlo;
    request.rounds = 30000;
    request.seed = 7;
    auto run = [&](int threads) {
        request.threads = threads;
        return computeEquity(request);
    };
    const EquityResult one = run(1);
    for (int threads : {2, 3}) {
        const EquityResult other = run(threads);
        EXPECT_EQ(other.deals, one.deals);
        for (int p = 0; p < 2; ++p) {
            EXPECT_EQ(other.players[p].equity, one.players[p].equity) << threads;
            EXPECT_EQ(other.players[p].win, one.players[p].win) << threads;
            EXPECT_EQ(other.players[p].stdError, one.players[p].stdError) << threads;
        }
    }
    request.seed = 8;
    EXPECT_NE(run(2).players[0].equity, one.players[0].equity);
}

TEST_F(Equity, ExactIsTheSameForAnyThreadCount) {
    EquityRequest request = requestOf(rangesSpot());
    request.mode = EquityMode::Exact;
    const EquityResult one = computeEquity(request);
    request.threads = 3;
    const EquityResult three = computeEquity(request);
    EXPECT_EQ(three.deals, one.deals);
    for (int p = 0; p < 2; ++p) EXPECT_EQ(three.players[p].equity, one.players[p].equity);
}

TEST_F(Equity, AutoEnumeratesCheapSpotsAndSamplesTheOthers) {
    struct Case {
        Spot spot;
        EquityMode mode;
    };
    const Case cases[] = {
        {{"fixed hands preflop", 4, {L"AhAdKsKh", L"9s8s7c6d"}}, EquityMode::Exact},
        {{"fixed hand against random on the flop", 4, {L"AhAdKsQs", L""}, L"Qh7c2d"},
         EquityMode::Exact},
        {{"fixed hand against random preflop", 4, {L"AhAdKsQs", L""}}, EquityMode::MonteCarlo},
        {{"three random hands on the flop", 4, {L"AhAdKsQs", L"", L""}, L"Qh7c2d"},
         EquityMode::MonteCarlo},
    };
    for (const Case& c : cases) {
        EquityRequest request = requestOf(c.spot);
        request.rounds = 1000;
        if (c.mode == EquityMode::Exact) request.seconds = 1e-9;  // ends at once: mode only
        EXPECT_EQ(computeEquity(request).mode, c.mode) << c.spot.name;
    }
}

TEST_F(Equity, RunsEndAsTheyShould) {
    EquityRequest request = requestOf(spot("a random player on the river"));
    request.mode = EquityMode::MonteCarlo;
    request.rounds = kMaxRounds;
    request.precision = 0.5;
    EquityResult r = computeEquity(request);
    EXPECT_EQ(r.end, RunEnd::PrecisionReached);
    EXPECT_LT(r.deals, request.rounds);
    for (int p = 0; p < 2; ++p) EXPECT_LE(r.players[p].stdError, 0.005);

    request.precision = 0;
    request.seconds = 0.05;
    r = computeEquity(request);
    EXPECT_EQ(r.end, RunEnd::TimeLimit);
    EXPECT_GT(r.deals, 0);

    const std::atomic<bool> stop{true};
    request.stop = &stop;
    EXPECT_EQ(computeEquity(request).end, RunEnd::Stopped);
    request.mode = EquityMode::Exact;
    r = computeEquity(request);
    EXPECT_EQ(r.end, RunEnd::Stopped);
    EXPECT_EQ(r.mode, EquityMode::Exact);

    // Lists that collide half the time, with a short cap of discards in a row.
    request = requestOf({"", 4, {L"AhAdKsQs,2c3c4c5c", L"AhAcKhQh,2d3d4d5h"}});
    request.mode = EquityMode::MonteCarlo;
    request.maxConsecutiveDiscards = 3;
    r = computeEquity(request);
    EXPECT_EQ(r.end, RunEnd::TooRare);
    EXPECT_GT(r.deals, 0);
    EXPECT_LT(r.deals, request.rounds);

    // Lists that share a card in every combination, with nothing to tell them apart before.
    request = requestOf({"", 4, {L"AhAdKsQs,AhAcKsQh", L"AhAcKhQh,AdKsQd2c"}});
    request.mode = EquityMode::MonteCarlo;
    request.maxConsecutiveDiscards = 1000;
    EXPECT_EQ(computeEquity(request).end, RunEnd::NoValidDeal);
}

// A clock that advances 10 ms on every read and raises `fakeStop` from read `stopAt` on.
std::atomic<int> fakeReads{0};
std::atomic<bool> fakeStop{false};
int stopAt = INT_MAX;
std::chrono::steady_clock::time_point fakeNow() {
    const int read = ++fakeReads;
    if (read >= stopAt) fakeStop = true;
    return std::chrono::steady_clock::time_point{} + read * std::chrono::milliseconds(10);
}
EquityResult onFakeClock(EquityRequest request, double seconds, int stopRead = INT_MAX) {
    fakeReads = 0;
    fakeStop = false;
    stopAt = stopRead;
    request.now = fakeNow;
    request.stop = &fakeStop;
    request.seconds = seconds;
    return computeEquity(request);
}

TEST_F(Equity, TimeLimitAndStopEndTheWorkInProgress) {
    // Three random players on a flop: each item of the enumeration takes hours.
    EquityRequest exact = requestOf({"", 4, {L"", L"", L""}, L"AsKsQs"});
    exact.mode = EquityMode::Exact;
    // One deal in 1,141 valid: each block of 4,096 deals takes millions.
    EquityRequest sampled = requestOf({"", 4, {L"AsKsQsJs,AsKhQhJh", L"2c3c4c5c"}});
    forEachSubset(cards(L"2d3d4d5d6d7d8d9dTdJdQdKdAd6c7c8c9cTcJcQc"), 3, cards(L"As"),
                  [&](CardMask hand) { sampled.lists[1].hands.push_back(hand); });
    sampled.mode = EquityMode::MonteCarlo;
    sampled.rounds = 2 * 4096;  // two blocks, one for each thread
    for (EquityRequest* request : {&exact, &sampled}) {
        request->threads = 2;
        // 100 reads to the limit; the set-up of the enumeration takes about 50 of them.
        EquityResult r = onFakeClock(*request, 1.0);
        EXPECT_EQ(r.end, RunEnd::TimeLimit);
        EXPECT_GT(r.deals, 0);
        EXPECT_LE(fakeReads, 110);
        EXPECT_EQ(onFakeClock(*request, 1000, 60).end, RunEnd::Stopped);
        EXPECT_LE(fakeReads, 70);
    }
}

TEST_F(Equity, RoundsAreBoundedAndTheirSumsExact) {
    EquityRequest request = requestOf(spot("a random player on the river"));
    request.mode = EquityMode::MonteCarlo;
    for (std::int64_t rounds : {kMaxRounds + 1, std::int64_t{LLONG_MAX}}) {
        request.rounds = rounds;
        const EquityResult r = computeEquity(request);
        EXPECT_EQ(r.end, RunEnd::Rejected);
        EXPECT_EQ(r.reason, "rounds must be from 0 to 1000000000000");
    }
    request.rounds = kMaxRounds;
    const EquityResult r = onFakeClock(request, 0.05);
    EXPECT_EQ(r.end, RunEnd::TimeLimit);
    EXPECT_EQ(r.deals % 4096, 0);
    EXPECT_NEAR(r.players[0].equity + r.players[1].equity, 1, 1e-12);
    // 2^40 outcomes of 5,040 units, in tallies of 2^30: the sum of squares passes 64 bits.
    Tally part;
    creditWinners(Winners{{1}, {}}, 2, 1, std::int64_t{1} << 30, part);
    TallyTotal total;
    for (int i = 0; i < 1024; ++i) total.add(part);
    EXPECT_TRUE(total.squares[0] == static_cast<unsigned __int128>(5040 * 5040) << 40);
    EXPECT_TRUE(total.units[0] == static_cast<__int128>(5040) << 40);
}

TEST_F(Equity, EnumerationsThatNeedTooMuchMemoryAreNotStarted) {
    // Two 5-card random players held as lists of 1,906,884 hands (16 bytes each) and valued
    // again on each of 16 threads (24 bytes each): 1,455 MB and a little.
    EquityRequest request = requestOf({"", 5, {L"", L"", L""}, L"AsKsQs"});
    request.mode = EquityMode::Exact;
    const std::atomic<bool> stop{true};
    request.stop = &stop;
    EXPECT_EQ(computeEquity(request).end, RunEnd::Stopped);
    request.threads = 16;
    EquityResult r = computeEquity(request);
    EXPECT_EQ(r.end, RunEnd::Rejected);
    EXPECT_EQ(r.reason, "the enumeration needs about 1456 MB, more than the 1024 MB it may take");
    request.mode = EquityMode::Auto;
    request.rounds = 100;
    r = computeEquity(request);
    EXPECT_EQ(r.mode, EquityMode::MonteCarlo);
}

}  // namespace
}  // namespace varnel::test
