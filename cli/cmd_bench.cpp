// varnel-cli bench [--seconds S]: counted deals per second of the simulation, against a baseline
// simulation that evaluates every 2-hole x 3-board combination with a plain 5-card evaluator;
// then the CPU seconds of exact enumerations.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/cards.h"
#include "core/game.h"
#include "engine/breakdown.h"
#include "engine/equity.h"
#include "engine/mersenne_twister.h"
#include "eval/five_card.h"
#include "eval/omaha_eval.h"

namespace varnel::cli {
namespace {

using Clock = std::chrono::steady_clock;

// CPU seconds used by the calling thread: rates stay comparable when other processes share the
// cores.
double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Player texts: card codes for a fixed hand, "" for a random hand, "any" for a list of random
// hands (the first player needs a list; a long list of random hands plays like a random hand).
struct Scenario {
    const char* name;
    int holeCount;
    std::vector<std::wstring> hands;
    std::wstring board;   // fixed cards of board 1
    std::wstring board2;  // fixed cards of board 2 (as many as board 1), "" for one board
};

constexpr int kAnyHands = 1 << 12;

const std::vector<Scenario>& scenarios() {
    static const std::vector<Scenario> list = {
        {"hu4-random", 4, {L"any", L""}, L"", L""},
        {"4way4-flop", 4, {L"AsKsQhJh", L"8c8d7c6d", L"AdAcTs9s", L"5h4h3c2c"}, L"Kh9h2d", L""},
        {"hu6-random", 6, {L"any", L""}, L"", L""},
        {"hu7-random", 7, {L"any", L""}, L"", L""},
        {"hu4-twoboards", 4, {L"any", L""}, L"Kh9h2d", L"Qc8s3d"},
    };
    return list;
}

// Random hand of `holeCount` cards, drawn card by card.
CardMask randomHand(std::mt19937& rng, int holeCount) {
    CardMask hand = 0;
    while (cardCount(hand) < holeCount) hand |= cardBit(static_cast<CardId>(rng() % kDeckSize));
    return hand;
}

// The hand lists of a scenario's players.
std::vector<HandList> scenarioLists(const Scenario& s) {
    std::mt19937 rng(7);
    std::vector<HandList> lists(s.hands.size());
    for (std::size_t p = 0; p < s.hands.size(); ++p) {
        lists[p].numCards = s.holeCount;
        if (s.hands[p] == L"any") {
            for (int i = 0; i < kAnyHands; ++i)
                lists[p].hands.push_back(randomHand(rng, s.holeCount));
        } else if (CardMask hand = 0; !s.hands[p].empty() && parseCardRun(s.hands[p], hand)) {
            lists[p].hands.push_back(hand);
        }
    }
    return lists;
}

using five_card::BoardTriples;
using five_card::ClassRanks;

// Baseline simulation: the engine's deals (random hands card by card around the cards in play,
// discarded deals on list conflicts), values by trying every hole pair with every board triple.
class BaselineSimulation {
  public:
    BaselineSimulation(const ClassRanks& eval, const Scenario& s,
                       const std::vector<HandList>& lists, std::uint32_t seed)
        : m_eval(eval),
          m_holeCount(s.holeCount),
          m_players(static_cast<int>(s.hands.size())),
          m_boards(s.board2.empty() ? 1 : 2),
          m_lists(lists),
          m_rng(seed) {
        const std::wstring* texts[kMaxBoards] = {&s.board, &s.board2};
        for (int b = 0; b < m_boards; ++b) {
            CardMask board = 0;
            parseCardRun(*texts[b], board);
            m_fixedCount = cardsFromMask(board, m_fixedCards[b]);
            m_fixedBoards |= board;
        }
    }

    // Runs until `seconds` have passed; returns the counted deals.
    std::int64_t run(double seconds) {
        const auto start = Clock::now();
        const auto end = start + std::chrono::duration<double>(seconds);
        std::int64_t counted = 0;
        double sums[kMaxPlayers] = {};
        do {
            if (!dealAndCredit(sums)) continue;
            ++counted;
        } while (Clock::now() < end);
        m_sink = sums[0];
        return counted;
    }

  private:
    bool dealAndCredit(double* sums) {
        CardMask dealt = m_fixedBoards;
        CardMask hands[kMaxPlayers];
        for (int p = 0; p < m_players; ++p) {
            const std::vector<CardMask>& list = m_lists[p].hands;
            CardMask hand = 0;
            if (list.size() == 1) {
                hand = list[0];
            } else if (!list.empty()) {
                hand = list[m_rng() % list.size()];
            } else {
                for (int n = 0; n < m_holeCount; ++n) {
                    CardMask bit;
                    do bit = cardBit(static_cast<CardId>(m_rng() % kDeckSize));
                    while ((hand | dealt) & bit);
                    hand |= bit;
                }
            }
            if (hand & dealt) return false;
            dealt |= hand;
            hands[p] = hand;
        }
        CardId board[kMaxBoards][kBoardCards];
        for (int b = 0; b < m_boards; ++b) std::copy_n(m_fixedCards[b], m_fixedCount, board[b]);
        for (int pos = m_fixedCount; pos < kBoardCards; ++pos) {
            for (int b = 0; b < m_boards; ++b) {
                CardId card;
                do card = static_cast<CardId>(m_rng() % kDeckSize);
                while (dealt & cardBit(card));
                dealt |= cardBit(card);
                board[b][pos] = card;
            }
        }
        int values[kMaxBoards][kMaxPlayers];
        for (int b = 0; b < m_boards; ++b) {
            const BoardTriples triples(board[b]);
            for (int p = 0; p < m_players; ++p) values[b][p] = handValue(hands[p], triples);
        }
        for (int b = 0; b < m_boards; ++b) {
            const int best = *std::max_element(values[b], values[b] + m_players);
            const int winners =
                static_cast<int>(std::count(values[b], values[b] + m_players, best));
            for (int p = 0; p < m_players; ++p) {
                if (values[b][p] == best) sums[p] += 1.0 / winners / m_boards;
            }
        }
        return true;
    }

    int handValue(CardMask hand, const BoardTriples& triples) const {
        CardId hole[kMaxHoleCards];
        return m_eval.evaluate(triples, hole, cardsFromMask(hand, hole));
    }

    const ClassRanks& m_eval;
    int m_holeCount;
    int m_players;
    int m_boards;
    const std::vector<HandList>& m_lists;
    CardMask m_fixedBoards = 0;
    CardId m_fixedCards[kMaxBoards][kBoardCards] = {};
    int m_fixedCount = 0;
    MersenneTwister m_rng;  // the engine's generator, so that only the evaluation differs
    double m_sink = 0;      // keeps the crediting alive
};

// Counted deals per CPU second of the engine's Monte Carlo run on one scenario, single-threaded,
// no pauses (an empty list is a random hand).
double engineRate(const Scenario& s, const std::vector<HandList>& lists, int seconds) {
    EquityRequest request;
    request.holeCount = s.holeCount;
    request.playerCount = static_cast<int>(lists.size());
    for (std::size_t p = 0; p < lists.size(); ++p) {
        request.lists[p] = lists[p];
        request.random[p] = lists[p].hands.empty();
    }
    parseCardRun(s.board, request.boards[0]);
    if (!s.board2.empty()) parseCardRun(s.board2, request.boards[1]);
    request.mode = EquityMode::MonteCarlo;
    request.seed = 1;
    request.rounds = kMaxRounds;
    request.seconds = seconds;
    const double start = threadCpuSeconds();
    const EquityResult result = computeEquity(request);
    return static_cast<double>(result.deals) / (threadCpuSeconds() - start);
}

// Runs of computeEquity timed on one thread: exact enumerations (heads-up preflop between two
// fixed hands, a fixed hand against a random hand on the flop) and Hi/Lo Monte Carlo.
struct EquityScenario {
    const char* name;
    std::vector<std::wstring> hands;  // "" for a random hand
    std::wstring board;
    bool hiLo = false;
    EquityMode mode = EquityMode::Exact;
};

const std::vector<EquityScenario>& equityScenarios() {
    static const std::vector<EquityScenario> list = {
        {"hu4-preflop-exact", {L"AhAdKsKh", L"9s8s7c6d"}, L""},
        {"hu4-flop-vs-random-exact", {L"AhAdKsQs", L""}, L"Qh7c2d"},
        {"hu4-hilo-preflop-exact", {L"Ah2h3dKd", L"9s8s7c6d"}, L"", true},
        {"hu4-hilo-random", {L"", L""}, L"", true, EquityMode::MonteCarlo},
    };
    return list;
}

void benchEquity(const EquityScenario& s, int seconds) {
    EquityRequest request;
    request.holeCount = 4;
    request.playerCount = static_cast<int>(s.hands.size());
    for (std::size_t p = 0; p < s.hands.size(); ++p) {
        CardMask hand = 0;
        request.random[p] = !parseCardRun(s.hands[p], hand) || hand == 0;
        if (!request.random[p]) request.lists[p].hands.push_back(hand);
    }
    parseCardRun(s.board, request.boards[0]);
    request.hiLo = s.hiLo;
    request.mode = s.mode;
    request.seed = 1;
    request.rounds = kMaxRounds;
    request.seconds = seconds;
    const double start = threadCpuSeconds();
    const EquityResult result = computeEquity(request);
    const double cpu = threadCpuSeconds() - start;
    if (s.mode == EquityMode::Exact) {
        std::printf("%s outcomes=%lld seconds=%.4f\n", s.name, static_cast<long long>(result.deals),
                    cpu);
    } else {
        std::printf("%s table=%.0f\n", s.name, static_cast<double>(result.deals) / cpu);
    }
    std::fflush(stdout);
}

// A range of about the size of a 15% range: every 4-card hand holding two cards of one rank from
// `low` (8 by default) to `low` + 6 (47,971 hands from 8 to ace, 17.7%; the percentage ranges
// need the generated orderings). For 5 and 6 cards, 40,000 hands drawn at random.
std::vector<CardMask> benchRange(int holeCount, int low = 6) {
    std::vector<CardMask> hands;
    if (holeCount != 4) {
        std::mt19937 rng(3 + low);
        while (hands.size() < 40000) hands.push_back(randomHand(rng, holeCount));
        return hands;
    }
    for (CardMask h = 0xF; h < (CardMask{1} << kDeckSize);) {
        int count[kRanks] = {};
        for (CardMask m = h; m; m &= m - 1) ++count[rankOf(std::countr_zero(m))];
        if (std::any_of(count + low, count + low + 7, [](int c) { return c >= 2; }))
            hands.push_back(h);
        const CardMask low = h & -h, up = h + low;  // next mask of four bits
        h = up | (((h ^ up) >> 2) / low);
    }
    return hands;
}

// Breakdowns (and the aggregate runs they compare with), timed on `threads` threads: CPU
// seconds of the calling thread for one thread, wall seconds otherwise.
struct BreakdownScenario {
    const char* name;
    int holeCount;
    std::wstring hero;  // a hand, or "" for the range
    std::wstring board;
    int threads = 1;
    bool aggregate = false;  // computeEquity instead of computeBreakdown
    double precision = 0;    // points, for sampled boards
    EquityMode mode = EquityMode::Auto;
    int opponentLow = 6;       // lowest pair rank of the opponent's range (see benchRange)
    bool withOpponent = true;  // the opponent's hands too
};

const std::vector<BreakdownScenario>& breakdownScenarios() {
    static const std::vector<BreakdownScenario> list = {
        {"hu4-flop-hand-vs-range-exact", 4, L"AhAdKsQs", L"Qh7c2d", 1, true, 0, EquityMode::Exact},
        {"hu4-flop-hand-vs-range-breakdown", 4, L"AhAdKsQs", L"Qh7c2d"},
        {"hu4-flop-range-vs-range-exact", 4, L"", L"Qh7c2d", 1, true, 0, EquityMode::Exact},
        {"hu4-flop-range-vs-range-breakdown", 4, L"", L"Qh7c2d"},
        {"hu4-flop-range-vs-range-breakdown-2threads", 4, L"", L"Qh7c2d", 2},
        {"hu4-flop-range-vs-other-range-breakdown", 4, L"", L"Qh7c2d", 1, false, 0,
         EquityMode::Auto, 5},
        {"hu4-turn-range-vs-other-range-breakdown", 4, L"", L"Qh7c2dTs", 1, false, 0,
         EquityMode::Auto, 5},
        {"hu4-flop-range-vs-other-range-hero", 4, L"", L"Qh7c2d", 1, false, 0, EquityMode::Auto, 5,
         false},
        {"hu4-turn-range-vs-other-range-hero", 4, L"", L"Qh7c2dTs", 1, false, 0, EquityMode::Auto,
         5, false},
        {"hu4-turn-range-vs-range-breakdown", 4, L"", L"Qh7c2dTs"},
        {"hu4-preflop-hand-vs-range-breakdown", 4, L"AhAdKsQs", L"", 1, false, 0.51},
        {"hu5-flop-range-vs-range-breakdown", 5, L"", L"Qh7c2d"},
        {"hu6-flop-range-vs-range-breakdown", 6, L"", L"Qh7c2d"},
    };
    return list;
}

void benchBreakdown(const BreakdownScenario& s) {
    EquityRequest request;
    request.holeCount = s.holeCount;
    request.playerCount = 2;
    const std::vector<CardMask> range = benchRange(s.holeCount);
    CardMask hand = 0;
    if (!s.hero.empty() && parseCardRun(s.hero, hand)) {
        request.lists[0].hands.push_back(hand);
    } else {
        request.lists[0].hands = range;
    }
    request.lists[1].hands = benchRange(s.holeCount, s.opponentLow);
    parseCardRun(s.board, request.boards[0]);
    request.mode = s.mode;
    request.seed = 1;
    request.rounds = kMaxRounds;
    request.precision = s.precision;
    request.seconds = 0;
    request.threads = s.threads;
    const auto wall = Clock::now();
    const std::clock_t clockStart = std::clock();
    const double start = threadCpuSeconds();
    EquityResult result;
    double worst = 0;
    if (s.aggregate) {
        result = computeEquity(request);
    } else {
        const Breakdown b = computeBreakdown(request, 0, s.withOpponent);
        result = b.result;
        for (const auto* hands : {&b.hands, &b.opponentHands})
            for (const HandEquity& h : *hands) worst = std::max(worst, h.stdError);
    }
    const double cpu = threadCpuSeconds() - start;
    const double elapsed = std::chrono::duration<double>(Clock::now() - wall).count();
    if (s.threads > 1)
        std::printf("%s process-cpu=%.4f ", s.name,
                    static_cast<double>(std::clock() - clockStart) / CLOCKS_PER_SEC);
    std::printf("%s mode=%s outcomes=%lld seconds=%.4f equity=%.6f", s.name,
                std::string(modeText(result.mode)).c_str(), static_cast<long long>(result.deals),
                s.threads == 1 ? cpu : elapsed, result.players[0].equity);
    if (s.precision > 0) std::printf(" worst-stderr=%.4f", worst * 100);
    if (result.end != RunEnd::Finished && result.end != RunEnd::PrecisionReached)
        std::printf(" ended=\"%s\"", std::string(runEndText(result.end)).c_str());
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace

void addBenchCommand(CLI::App& app, CliContext& ctx) {
    auto seconds = std::make_shared<int>(2);
    auto only = std::make_shared<std::vector<std::string>>();
    CLI::App* cmd = app.add_subcommand(
        "bench",
        "Counted deals per CPU second of the simulation (table) and of a baseline "
        "simulation with a plain 5-card evaluator, per scenario, single-threaded");
    cmd->add_option("--seconds", *seconds, "Seconds per scenario and evaluator")
        ->check(CLI::Range(1, 3600));
    cmd->add_option("--scenario", *only, "Run only these scenarios (default: all)");
    cmd->callback([seconds, only, &ctx] {
        if (!loadTableOrComplain(ctx)) {
            ctx.exitCode = 2;
            return;
        }
        const ClassRanks plain;
        for (const Scenario& s : scenarios()) {
            if (!only->empty() && std::find(only->begin(), only->end(), s.name) == only->end())
                continue;
            const std::vector<HandList> lists = scenarioLists(s);
            const double table = engineRate(s, lists, *seconds);
            BaselineSimulation baseline(plain, s, lists, 1);
            const double start = threadCpuSeconds();
            const std::int64_t deals = baseline.run(*seconds);
            const double baselineRate = deals / (threadCpuSeconds() - start);
            std::printf("%s table=%.0f baseline=%.0f\n", s.name, table, baselineRate);
            std::fflush(stdout);
        }
        for (const EquityScenario& s : equityScenarios()) {
            if (only->empty() || std::find(only->begin(), only->end(), s.name) != only->end())
                benchEquity(s, *seconds);
        }
        for (const BreakdownScenario& s : breakdownScenarios()) {
            if (only->empty() || std::find(only->begin(), only->end(), s.name) != only->end())
                benchBreakdown(s);
        }
    });
}

}  // namespace varnel::cli
