// Monte Carlo runs in blocks of deals. Each block deals from a generator seeded by the run's seed
// and the block's number, threads take blocks in order and a coordinator merges them in order,
// so a seed gives the same deals and the same result whatever the number of threads. Progress,
// the precision target, the time limit and the stop flag are looked at between blocks; within a
// block the dealer looks at the time limit and the stop flag while it discards deals, since a
// block of rare valid deals can take minutes (one of counted deals takes milliseconds).
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "engine/equity_runs.h"

namespace varnel {
namespace {

inline constexpr std::int64_t kBlockDeals = 4096;
// Blocks each thread may run ahead of the merge.
inline constexpr int kBlocksAheadPerThread = 2;
// Longest sleep of the pause after a progress report between two looks at the limits.
inline constexpr std::chrono::milliseconds kPauseSlice{20};

std::uint64_t splitmix64(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15u;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

std::uint32_t blockSeed(std::uint32_t seed, std::int64_t block) {
    return static_cast<std::uint32_t>(
        splitmix64(splitmix64(seed) + static_cast<std::uint64_t>(block)) >> 32);
}

struct Block {
    Tally tally;
    bool discardStop = false;                   // the block ended on a long run of discarded deals
    RunLimits::Cut cut = RunLimits::Cut::None;  // the time limit or a stop flag ended it
    bool failed = false;                        // its thread ran out of memory
    bool done = false;
};

// Deals and counts block `index` of a run of `rounds` deals.
void runBlock(Dealer& dealer, std::uint32_t seed, std::int64_t index, std::int64_t rounds,
              int players, Block& out) {
    out.tally = Tally{};
    dealer.restart(blockSeed(seed, index));
    const std::int64_t want = std::min(kBlockDeals, rounds - index * kBlockDeals);
    DealBatch batch;
    WalkValues values[kDealBatch];
    LowValues lows[kDealBatch];
    const bool hiLo = dealer.hiLo();
    while (out.tally.outcomes < want && !dealer.discardStop() &&
           dealer.cut() == RunLimits::Cut::None) {
        batch.want =
            static_cast<int>(std::min<std::int64_t>(kDealBatch, want - out.tally.outcomes));
        dealer.fill(batch);
        dealer.evaluate(batch, values);
        if (hiLo) dealer.evaluateLows(batch, lows);
        for (int i = 0; i < batch.size; ++i)
            credit(values[i], hiLo ? &lows[i] : nullptr, players, dealer.boardsInPlay(), 1,
                   out.tally);
    }
    out.discardStop = dealer.discardStop();
    out.cut = dealer.cut();
}

// Hands out blocks to helper threads, at most `window` ahead of the merge.
class BlockQueue {
  public:
    BlockQueue(std::int64_t blocks, int window) : m_blocks(blocks), m_slots(window) {
        m_limit = std::min<std::int64_t>(blocks, window);
    }

    // The next block to run, or -1 when the run is over.
    std::int64_t take() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_quit || m_next < m_limit; });
        return m_quit ? -1 : m_next++;
    }
    Block& slot(std::int64_t index) { return m_slots[index % m_slots.size()]; }
    void finished(std::int64_t index, const Block& block) {
        std::lock_guard lock(m_mutex);
        slot(index) = block;
        slot(index).done = true;
        m_changed.notify_all();
    }
    // Waits for block `index` and hands it over, freeing its slot for a later block; a block
    // marked failed when a thread has failed.
    Block merge(std::int64_t index) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return slot(index).done || m_failed; });
        if (!slot(index).done) {
            Block failed;
            failed.failed = true;
            return failed;
        }
        Block b = slot(index);
        slot(index).done = false;
        m_limit =
            std::min<std::int64_t>(m_blocks, index + 1 + static_cast<std::int64_t>(m_slots.size()));
        m_changed.notify_all();
        return b;
    }
    void quit() {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_changed.notify_all();
    }
    // A thread could not go on: the blocks not yet finished never will be.
    void fail() {
        std::lock_guard lock(m_mutex);
        m_failed = m_quit = true;
        m_changed.notify_all();
    }

  private:
    std::int64_t m_blocks;
    std::vector<Block> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::int64_t m_next = 0;
    std::int64_t m_limit = 0;
    bool m_quit = false;
    bool m_failed = false;
};

// Ends the helpers however the coordinator leaves: the queue lets them go and the limits their
// blocks in progress.
struct QuitOnExit {
    BlockQueue& queue;
    std::atomic<bool>& quit;
    ~QuitOnExit() {
        quit.store(true);
        queue.quit();
    }
};

RunEnd endOf(RunLimits::Cut cut) {
    return cut == RunLimits::Cut::Stopped ? RunEnd::Stopped : RunEnd::TimeLimit;
}

}  // namespace

EquityResult runMonteCarlo(const RunContext& run, std::uint32_t seed) {
    const EquityRequest& request = run.request;
    const DealPlan& plan = run.plan;
    const int players = plan.players;
    const int boards = plan.boardsInPlay();
    const std::int64_t rounds = request.rounds;
    const std::int64_t blocks = (rounds + kBlockDeals - 1) / kBlockDeals;
    const int threads = static_cast<int>(
        std::clamp<std::int64_t>(request.threads, 1, std::max<std::int64_t>(blocks, 1)));
    const double target = request.precision / 100;
    EquityResult result;
    result.mode = EquityMode::MonteCarlo;
    result.playerCount = players;

    BlockQueue queue(blocks, threads * kBlocksAheadPerThread);
    std::atomic<bool> quit{false};
    RunLimits limits = run.limits;
    limits.quit = &quit;
    std::vector<std::jthread> helpers;
    const QuitOnExit quitOnExit{queue, quit};  // before the helpers join
    if (threads > 1) {
        for (int t = 0; t < threads; ++t) {
            helpers.emplace_back([&] {
                try {
                    Dealer dealer(plan, seed, request.maxConsecutiveDiscards, limits);
                    Block block;
                    for (std::int64_t i; (i = queue.take()) >= 0;) {
                        runBlock(dealer, seed, i, rounds, players, block);
                        queue.finished(i, block);
                    }
                } catch (const std::bad_alloc&) {
                    queue.fail();
                }
            });
        }
    }
    Dealer dealer(plan, seed, request.maxConsecutiveDiscards, limits);
    const std::int64_t step = rounds / kProgressSteps;
    int reported = -1;
    TallyTotal total;
    auto report = [&](std::int64_t counted) {
        const int stepNumber =
            step == 0
                ? 0
                : static_cast<int>(std::min<std::int64_t>(counted / step, kProgressSteps - 1));
        if (stepNumber <= reported) return;
        reported = stepNumber;
        if (request.progress) request.progress(stepNumber);
        if (request.partial && total.outcomes > 0) {
            EquityResult sofar;
            sofar.deals = total.outcomes;
            sofar.seconds = run.elapsed();
            fillPlayers(total, players, boards, true, plan.hiLo, sofar);
            request.partial(sofar);
        }
        // The pause (up to seconds) is slept in slices and ends early when the run is cut.
        const auto resume = EquityClock::now() + request.pause;
        for (auto now = EquityClock::now(); now < resume && limits.check() == RunLimits::Cut::None;
             now = EquityClock::now())
            std::this_thread::sleep_for(std::min<EquityClock::duration>(resume - now, kPauseSlice));
    };
    RunEnd end = RunEnd::Finished;
    if (rounds > 0) report(0);
    for (std::int64_t i = 0; i < blocks; ++i) {
        Block block;
        if (threads > 1) {
            block = queue.merge(i);
        } else {
            runBlock(dealer, seed, i, rounds, players, block);
        }
        if (block.failed) {
            end = RunEnd::Rejected;
            result.reason = "not enough memory for the sampling threads";
            break;
        }
        total.add(block.tally);
        if (block.discardStop) {
            end = total.outcomes ? RunEnd::TooRare : RunEnd::NoValidDeal;
            break;
        }
        if (block.cut != RunLimits::Cut::None) {
            end = endOf(block.cut);
            break;
        }
        if (total.outcomes >= rounds) break;
        if (target > 0) {
            bool precise = true;
            for (int p = 0; p < players && precise; ++p)
                precise = standardError(total, p, boards) <= target;
            if (precise) {
                end = RunEnd::PrecisionReached;
                break;
            }
        }
        if (const RunLimits::Cut cut = limits.check(); cut != RunLimits::Cut::None) {
            end = endOf(cut);
            break;
        }
        report(total.outcomes);
    }
    result.end = end;
    result.deals = total.outcomes;
    fillPlayers(total, players, boards, true, plan.hiLo, result);
    return result;
}

}  // namespace varnel
