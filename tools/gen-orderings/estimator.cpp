#include "tools/gen-orderings/estimator.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <numeric>
#include <thread>

#include "tools/gen-orderings/pair_values.h"

namespace varnel::gen_orderings {
namespace {

constexpr int kOffBoard = kDeckSize - kBoardCards;
constexpr int kBoardChunk = 128;
constexpr int kMaxOpponents = 5;
constexpr std::uint64_t kShareUnits = 60;   // divisible by 1..6: a k-way split gets 60 / k
constexpr std::uint64_t kHeadsUpUnits = 2;  // a win 2, a tie 1

std::uint64_t splitmix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Runs fn(i) for i in [0, count) on `threads` threads, the calling thread among them; between
// its items the calling thread reports the share done through `onProgress`.
template <typename Fn, typename Progress>
void parallelFor(int count, int threads, Fn fn, Progress onProgress) {
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) {
        workers.emplace_back([&] {
            for (int i = next++; i < count; i = next++) {
                fn(i);
                ++done;
            }
        });
    }
    for (int i = next++; i < count; i = next++) {
        fn(i);
        onProgress(static_cast<double>(++done) / count);
    }
    for (auto& w : workers) w.join();
}

// Boards of one chunk with what the classes play on them.
struct BoardChunk {
    int count = 0;
    std::vector<CardMask> boards;
    std::vector<PairTable> pairs;
    std::vector<CardMask> poolHands;                    // heads-up: count * poolSize
    std::vector<PairValue> poolValues;                  // heads-up: count * poolSize
    std::vector<std::array<CardId, kOffBoard>> orders;  // several opponents: count * deals
};

void prepareBoard(const EstimateSettings& s, int boardIndex, BoardChunk& chunk, int slot) {
    std::uint64_t seedState =
        s.seed * 0x2545F4914F6CDD1Dull + static_cast<std::uint64_t>(s.numCards);
    Rng rng(splitmix(seedState) ^ static_cast<std::uint64_t>(boardIndex));
    std::array<CardId, kDeckSize> deck;
    std::iota(deck.begin(), deck.end(), 0);
    for (int i = 0; i < kBoardCards; ++i) {
        std::swap(deck[i], deck[i + rng.below(static_cast<std::uint32_t>(kDeckSize - i))]);
    }
    const auto b = static_cast<std::size_t>(slot);
    chunk.boards[b] = 0;
    for (int i = 0; i < kBoardCards; ++i) chunk.boards[b] |= cardBit(deck[i]);
    PairTable& pairs = chunk.pairs[b];
    fillPairTable(deck.data(), pairs);

    std::array<CardId, kOffBoard> rest;
    std::copy(deck.begin() + kBoardCards, deck.end(), rest.begin());
    if (s.opponents == 1) {
        for (int k = 0; k < s.poolSize; ++k) {
            for (int i = 0; i < s.numCards; ++i) {
                std::swap(rest[i], rest[i + rng.below(static_cast<std::uint32_t>(kOffBoard - i))]);
            }
            CardId hand[kMaxHoleCards];
            std::copy(rest.begin(), rest.begin() + s.numCards, hand);
            const auto at = b * static_cast<std::size_t>(s.poolSize) + static_cast<std::size_t>(k);
            chunk.poolHands[at] = maskFromCards(std::span<const CardId>(hand, s.numCards));
            chunk.poolValues[at] = handValue(pairs, hand, s.numCards);
        }
    } else {
        for (int d = 0; d < s.dealsPerBoard; ++d) {
            for (int i = kOffBoard - 1; i > 0; --i) {
                std::swap(rest[i], rest[rng.below(static_cast<std::uint32_t>(i + 1))]);
            }
            chunk.orders[b * static_cast<std::size_t>(s.dealsPerBoard) +
                         static_cast<std::size_t>(d)] = rest;
        }
    }
}

// Plays the classes [first, last) on every board of the chunk.
void playBlock(const EstimateSettings& s, const std::vector<CardMask>& hands, std::size_t first,
               std::size_t last, const BoardChunk& chunk, Tally& totals) {
    const int n = s.numCards;
    const std::size_t size = last - first;
    std::vector<CardId> cards(size * kMaxHoleCards);
    for (std::size_t c = 0; c < size; ++c)
        cardsFromMask(hands[first + c], &cards[c * kMaxHoleCards]);

    for (int b = 0; b < chunk.count; ++b) {
        const auto bi = static_cast<std::size_t>(b);
        const PairTable& pairs = chunk.pairs[bi];
        const CardMask board = chunk.boards[bi];
        for (std::size_t c = 0; c < size; ++c) {
            const CardMask hand = hands[first + c];
            if (hand & board) continue;
            const PairValue hero = handValue(pairs, &cards[c * kMaxHoleCards], n);
            std::uint64_t score = 0, units = 0;
            if (s.opponents == 1) {
                const CardMask* pool = &chunk.poolHands[bi * static_cast<std::size_t>(s.poolSize)];
                const PairValue* values =
                    &chunk.poolValues[bi * static_cast<std::size_t>(s.poolSize)];
                std::uint32_t points = 0, played = 0;
                for (int k = 0; k < s.poolSize; ++k) {
                    const std::uint32_t usable = (pool[k] & hand) == 0;
                    points += usable * (2u * (hero > values[k]) + (hero == values[k]));
                    played += usable;
                }
                score = points;
                units = played * kHeadsUpUnits;
            } else {
                const int needed = s.opponents * n;
                for (int d = 0; d < s.dealsPerBoard; ++d) {
                    const auto& order =
                        chunk.orders[bi * static_cast<std::size_t>(s.dealsPerBoard) +
                                     static_cast<std::size_t>(d)];
                    CardId opp[kMaxOpponents * kMaxHoleCards + 1];
                    int k = 0;
                    for (int i = 0; k < needed; ++i) {
                        opp[k] = order[static_cast<std::size_t>(i)];
                        k += static_cast<int>(((hand >> opp[k]) & 1u) == 0);
                    }
                    PairValue best = 0;
                    int atBest = 0;
                    for (int o = 0; o < s.opponents; ++o) {
                        const PairValue v = handValue(pairs, opp + o * n, n);
                        atBest = v > best ? 1 : atBest + (v == best);
                        best = std::max(best, v);
                    }
                    if (hero > best) score += kShareUnits;
                    if (hero == best) score += kShareUnits / static_cast<std::uint64_t>(atBest + 1);
                    units += kShareUnits;
                }
            }
            totals.score[first + c] += score;
            totals.units[first + c] += units;
        }
    }
}

}  // namespace

Rng::Rng(std::uint64_t seed) {
    for (auto& word : m_s) word = splitmix(seed);
}

std::uint64_t Rng::next() {
    const auto rotl = [](std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); };
    const std::uint64_t result = rotl(m_s[1] * 5, 7) * 9;
    const std::uint64_t t = m_s[1] << 17;
    m_s[2] ^= m_s[0];
    m_s[3] ^= m_s[1];
    m_s[1] ^= m_s[2];
    m_s[0] ^= m_s[3];
    m_s[2] ^= t;
    m_s[3] = rotl(m_s[3], 45);
    return result;
}

std::uint32_t Rng::below(std::uint32_t bound) {
    return static_cast<std::uint32_t>((next() >> 32) * bound >> 32);
}

void playBoards(const std::vector<CardMask>& hands, const EstimateSettings& s, int firstBoard,
                int boardCount, Tally& tally, const ProgressFn& progress) {
    tally.score.resize(hands.size());
    tally.units.resize(hands.size());
    const std::size_t blockSize = std::clamp<std::size_t>(
        hands.size() / (static_cast<std::size_t>(s.threads) * 32), 64, 4096);
    const int blocks = static_cast<int>((hands.size() + blockSize - 1) / blockSize);
    const int chunks = (boardCount + kBoardChunk - 1) / kBoardChunk;

    auto chunk = std::make_unique<BoardChunk>();
    for (int ci = 0; ci < chunks; ++ci) {
        const int chunkStart = ci * kBoardChunk;
        BoardChunk& c = *chunk;
        c.count = std::min(kBoardChunk, boardCount - chunkStart);
        const auto count = static_cast<std::size_t>(c.count);
        c.boards.assign(count, 0);
        c.pairs.resize(count);
        if (s.opponents == 1) {
            c.poolHands.assign(count * static_cast<std::size_t>(s.poolSize), 0);
            c.poolValues.assign(count * static_cast<std::size_t>(s.poolSize), 0);
        } else {
            c.orders.resize(count * static_cast<std::size_t>(s.dealsPerBoard));
        }
        const auto report = [&](double part) {
            if (progress) progress((ci + part) / chunks);
        };
        parallelFor(
            c.count, s.threads, [&](int b) { prepareBoard(s, firstBoard + chunkStart + b, c, b); },
            [](double) {});
        parallelFor(
            blocks, s.threads,
            [&](int block) {
                const std::size_t first = static_cast<std::size_t>(block) * blockSize;
                playBlock(s, hands, first, std::min(hands.size(), first + blockSize), c, tally);
            },
            report);
    }
    if (progress) progress(1.0);
}

double Tally::equity(std::size_t i) const {
    return units[i] ? static_cast<double>(score[i]) / static_cast<double>(units[i]) : 0.0;
}

}  // namespace varnel::gen_orderings
