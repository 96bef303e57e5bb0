// The sweep of engine/sweep.h. For one complete board:
//  - the board's pair table (TableWalk::pairValues) is renumbered densely: the values that occur
//    among pairs of live cards become 1..V in their order (V stays near a hundred), so that
//    both lists are counting-sorted by value into V + 1 buckets (0: the hand holds a card of
//    the board);
//  - walking the values upwards, each hand of value v is queried against the counters of the
//    other list's hands inserted so far, then the other list's hands of value v are inserted,
//    then the hand is queried again: the first query counts the lower hands sharing no card
//    with it, the second the lower and equal ones;
//  - the counters hold, for every set of fewer than K cards, how many inserted hands contain
//    it; the alternating sum over the subsets of a hand's cards is the number of inserted hands
//    sharing no card with it, less (K even) or plus (K odd) its copies, which have its value
//    and so only reach the second query. Copies are counted once per run.
// A hand's outcomes need no per-board work: every pair of hands sharing no card has the same
// number of completions. A list with a single live hand is compared directly instead.
// Boards are independent: threads take them in turn, each with its own sums, merged at the end.
#include "engine/sweep.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <type_traits>

#include "core/game.h"
#include "engine/exact_internal.h"
#include "engine/mersenne_twister.h"
#include "eval/table_walk.h"

namespace varnel {
namespace {

inline constexpr int kMaxValue = 7462;   // class ranks 1..7462
inline constexpr int kPairCount = 1326;  // pairs of 52 cards: at most this many values
inline constexpr int kSampleBlock = 8;   // boards of one sampled block, drawn from one seed
inline constexpr int kWaveBlocks = 16;   // blocks between two looks at the precision
// Costs on one core (seconds): the pair table and renumbering of one board, one hand's value
// and place in the sorted order (per 6 pairs), one counter term of a query or insert, one
// comparison with a single hand.
inline constexpr double kSweepBoardSeconds = 1e-5;
inline constexpr double kSweepValueSeconds = 5e-9;
inline constexpr double kSweepTermSeconds = 0.45e-9;
inline constexpr double kSweepCompareSeconds = 1e-9;

// The counter indices of a hand of K cards.
template <int K>
struct Subsets {
    static constexpr int kTerms = (1 << K) - 2;  // non-empty sets of fewer than K cards
    using Index = std::conditional_t<K == 4, std::uint16_t, std::uint32_t>;
    // Index 0 counts every hand; sets of s cards follow those of s - 1 cards.
    static constexpr std::array<std::uint32_t, K + 1> kOffset = [] {
        std::array<std::uint32_t, K + 1> o{};
        o[1] = 1;
        for (int s = 1; s < K; ++s) o[s + 1] = o[s] + static_cast<std::uint32_t>(binomial(52, s));
        return o;
    }();
    static constexpr std::uint32_t kCounters = kOffset[K];
    // Sets of s cards of a hand: C(K, s).
    static constexpr std::array<int, K> kPerSize = [] {
        std::array<int, K> n{};
        for (int s = 1; s < K; ++s) n[s] = static_cast<int>(binomial(K, s));
        return n;
    }();
    // Sign of the copies in a query: the term of the whole hand left out is +copies for K even.
    static constexpr int kCopySign = K % 2 == 0 ? 1 : -1;

    // The counters of the subsets of `cards` (ascending), by size.
    static void indices(const std::uint8_t* cards, Index* out) {
        int n = 0;
        for (int s = 1; s < K; ++s) {
            for (unsigned m = 1; m < (1u << K) - 1; ++m) {
                if (std::popcount(m) != s) continue;
                std::uint32_t index = kOffset[s];
                int k = 0;
                for (int i = 0; i < K; ++i)
                    if (m >> i & 1) index += static_cast<std::uint32_t>(binomial(cards[i], ++k));
                out[n++] = static_cast<Index>(index);
            }
        }
    }

    // Inserted hands sharing no card with the hand of `idx`, less kCopySign times its copies.
    [[gnu::always_inline]] static std::int32_t query(const std::int32_t* c, const Index* idx) {
        std::int32_t sum = c[0];
        int n = 0;
        for (int s = 1; s < K; ++s) {
            std::int32_t part = 0;
            for (int j = 0; j < kPerSize[s]; ++j) part += c[idx[n++]];
            sum += s % 2 ? -part : part;
        }
        return sum;
    }

    [[gnu::always_inline]] static void insert(std::int32_t* c, const Index* idx, int by) {
        c[0] += by;
        for (int j = 0; j < kTerms; ++j) c[idx[j]] += by;
    }
};

// Per-hand sums of a sampled run over its boards.
struct Moments {
    std::int64_t wins = 0, ties = 0, x = 0, yy = 0, xx = 0, xy = 0;
    void add(const Moments& o) {
        wins += o.wins, ties += o.ties, x += o.x, yy += o.yy, xx += o.xx, xy += o.xy;
    }
};

// The same over all hands of a side: the per-board totals overflow 64-bit squares.
struct TotalMoments {
    __int128 wins = 0, ties = 0, x = 0, yy = 0, xx = 0, xy = 0;
    void add(const TotalMoments& o) {
        wins += o.wins, ties += o.ties, x += o.x, yy += o.yy, xx += o.xx, xy += o.xy;
    }
};

// Standard error of (y / x) / 2 from the sums over m boards (x, y per board; y in half units).
double ratioError(long double y, long double x, long double yy, long double xx, long double xy,
                  std::int64_t m) {
    if (m < 2 || x <= 0) return 0;
    const long double r = y / x;
    const long double s2 = std::max(0.0L, (yy - 2 * r * xy + r * r * xx) / (m - 1));
    return static_cast<double>(std::sqrt(s2 * m) / x / 2);
}

// One side's live hands: those that avoid the fixed board and the dead cards (and the other
// side's hand when that is single).
template <int K>
struct Side {
    using S = Subsets<K>;
    std::vector<std::uint32_t> list;  // index in the request's list
    std::vector<CardMask> mask;
    std::vector<std::uint8_t> cards;         // K per hand, ascending
    std::vector<typename S::Index> indices;  // kTerms per hand
    std::vector<std::int32_t> copies;        // live hands of the other side with the same mask
    std::vector<std::int64_t> disjoint;      // live hands of the other side sharing no card
    CardMask common = 0;                     // cards every live hand holds
    std::size_t size() const { return mask.size(); }
    const std::uint8_t* cardsOf(std::size_t h) const { return &cards[h * K]; }
    const typename S::Index* indexOf(std::size_t h) const { return &indices[h * S::kTerms]; }
};

template <int K>
struct Setup {
    std::array<Side<K>, 2> sides;
    std::array<bool, 2> compute{};  // sides whose hands are counted one by one
    int single = -1;                // a side with one live hand, compared directly
    bool mirror = false;            // both sides hold the same list: side 1's hands are side 0's
    CardMask fixed = 0;             // the fixed board cards
    CardMask deck = 0;              // cards the board is completed from
    int need = 0;                   // cards to come
    std::int64_t perPair = 0;       // completions for two hands sharing no card
    BoardState fixedState = 0;
};

// Every set of `k` cards of `deck`, ascending.
std::vector<CardMask> everySet(CardMask deck, int k) {
    const exact::CardList cards(deck);
    std::vector<CardMask> out;
    out.reserve(static_cast<std::size_t>(binomial(cards.n, k)));
    exact::forEachSubset(cards.cards, cards.n, k, 0, 0, [&](CardMask m) {
        out.push_back(m);
        return false;
    });
    return out;
}

template <int K>
void fillSide(const std::vector<CardMask>& hands, CardMask known, Side<K>& side) {
    side.common = kFullDeck;
    for (std::size_t i = 0; i < hands.size(); ++i) {
        if (hands[i] & known) continue;
        side.list.push_back(static_cast<std::uint32_t>(i));
        side.mask.push_back(hands[i]);
        side.common &= hands[i];
    }
    if (side.mask.empty()) side.common = 0;
}

template <int K>
void indexSide(Side<K>& side) {
    using S = Subsets<K>;
    side.cards.resize(side.size() * K);
    side.indices.resize(side.size() * S::kTerms);
    for (std::size_t h = 0; h < side.size(); ++h) {
        std::uint8_t* c = &side.cards[h * K];
        int n = 0;
        for (CardMask m = side.mask[h]; m; m &= m - 1)
            c[n++] = static_cast<std::uint8_t>(std::countr_zero(m));
        S::indices(c, &side.indices[h * S::kTerms]);
    }
}

// Copies and hands sharing no card of side s's hands among the other side's.
template <int K>
void countPairs(Setup<K>& setup, int s) {
    using S = Subsets<K>;
    Side<K>& me = setup.sides[s];
    const Side<K>& other = setup.sides[1 - s];
    std::vector<CardMask> sorted = other.mask;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::int32_t> counters(S::kCounters, 0);
    for (std::size_t h = 0; h < other.size(); ++h) S::insert(counters.data(), other.indexOf(h), 1);
    me.copies.resize(me.size());
    me.disjoint.resize(me.size());
    for (std::size_t h = 0; h < me.size(); ++h) {
        const auto [lo, hi] = std::equal_range(sorted.begin(), sorted.end(), me.mask[h]);
        me.copies[h] = static_cast<std::int32_t>(hi - lo);
        me.disjoint[h] = S::query(counters.data(), me.indexOf(h)) + S::kCopySign * me.copies[h];
    }
}

template <int K>
void prepare(const SweepRequest& r, Setup<K>& setup) {
    const CardMask known = r.board | r.dead;
    for (int s = 0; s < 2; ++s) fillSide(*r.hands[s], known, setup.sides[s]);
    for (int s = 0; s < 2; ++s) {
        if (setup.sides[s].size() != 1 || setup.sides[1 - s].size() == 1) continue;
        // The single hand's cards are out of play: the other side's hands holding one are dead.
        setup.single = s;
        Side<K> kept;
        fillSide(*r.hands[1 - s], known | setup.sides[s].mask[0], kept);
        setup.sides[1 - s] = std::move(kept);
        break;
    }
    if (setup.sides[0].size() == 1 && setup.sides[1].size() == 1) setup.single = 1;
    setup.fixed = r.board;
    setup.deck = kFullDeck & ~known & ~setup.sides[0].common & ~setup.sides[1].common;
    setup.need = kBoardCards - cardCount(r.board);
    const int free = cardCount(setup.deck) - 2 * K + cardCount(setup.sides[0].common) +
                     cardCount(setup.sides[1].common);
    setup.perPair = static_cast<std::int64_t>(binomial(free, setup.need));
    if (setup.single >= 0) {
        const int list = 1 - setup.single;
        setup.compute[list] = true;
        indexSide(setup.sides[list]);
        setup.sides[list].copies.assign(setup.sides[list].size(), 0);
        setup.sides[list].disjoint.assign(setup.sides[list].size(), 1);
        indexSide(setup.sides[setup.single]);
    } else {
        const int primary = r.wanted[0] || !r.wanted[1] ? 0 : 1;
        setup.compute[primary] = true;
        setup.mirror = r.wanted[0] && r.wanted[1] && *r.hands[0] == *r.hands[1];
        setup.compute[1 - primary] = r.wanted[1 - primary] && !setup.mirror;
        for (int s = 0; s < 2; ++s) indexSide(setup.sides[s]);
        for (int s = 0; s < 2; ++s)
            if (setup.compute[s]) countPairs(setup, s);
    }
    const TableWalk walk;
    BoardState state = walk.boardStart();
    for (CardMask m = r.board; m; m &= m - 1)
        state = walk.advanceBoard(state, walkCard(std::countr_zero(m)));
    setup.fixedState = state;
}

// One thread's work: the boards it sweeps and its sums.
template <int K>
class Sweeper {
  public:
    using S = Subsets<K>;
    using Index = typename S::Index;

    Sweeper(const Setup<K>& setup, bool sampled) : m_setup(setup), m_sampled(sampled) {
        m_rankOf.assign(kMaxValue + 1, 0);
        for (int s = 0; s < 2; ++s) {
            const std::size_t n = side(s).size();
            m_value[s].resize(n);
            m_order[s].resize(n);
            m_sorted[s].resize(n * S::kTerms);
            m_first[s].resize(n);
            if (sampled) m_tie[s].resize(n);
            m_start[s].resize(kPairCount + 2);
            if (setup.compute[1 - s] && setup.single < 0) m_counters[s].assign(S::kCounters, 0);
            if (!setup.compute[s]) continue;
            if (sampled) {
                m_moments[s].resize(n);
            } else {
                m_packed[s].assign(n, 0);
                m_wins[s].assign(n, 0);
                m_ties[s].assign(n, 0);
            }
        }
        // Packed win and tie counts of a hand grow by at most the other side's hands per board.
        const std::size_t most =
            std::max<std::size_t>({std::size_t{1}, side(0).size(), side(1).size()});
        m_flushEvery = std::max<std::int64_t>(1, std::int64_t{0xFFFFFFFF} / std::int64_t(most));
    }

    // Sweeps the board completed by `cards`.
    void board(CardMask cards) {
        BoardState state = m_setup.fixedState;
        for (CardMask m = cards; m; m &= m - 1)
            state = m_walk.advanceBoard(state, walkCard(std::countr_zero(m)));
        rankPairs(state, m_setup.fixed | cards);
        if (m_setup.single >= 0) {
            compareSingle(cards);
        } else {
            for (int s = 0; s < 2; ++s) sortSide(s, cards);
            sweep();
        }
        ++m_boards;
        if (!m_sampled && ++m_sinceFlush >= m_flushEvery) flush();
    }

    // Moves the packed counts into the 64-bit sums.
    void flush() {
        for (int s = 0; s < 2; ++s) {
            for (std::size_t h = 0; h < m_packed[s].size(); ++h) {
                m_wins[s][h] += static_cast<std::int64_t>(m_packed[s][h] & 0xFFFFFFFF);
                m_ties[s][h] += static_cast<std::int64_t>(m_packed[s][h] >> 32);
                m_packed[s][h] = 0;
            }
        }
        m_sinceFlush = 0;
    }

    std::int64_t boards() const { return m_boards; }
    const std::vector<std::int64_t>& wins(int s) const { return m_wins[s]; }
    const std::vector<std::int64_t>& ties(int s) const { return m_ties[s]; }
    const std::vector<Moments>& moments(int s) const { return m_moments[s]; }
    const TotalMoments& total(int s) const { return m_total[s]; }

  private:
    const Side<K>& side(int s) const { return m_setup.sides[s]; }

    // The pair table of the finished board, renumbered to 1..V over the pairs of live cards.
    void rankPairs(BoardState state, CardMask full) {
        m_walk.pairValues(state, m_pairs);
        const exact::CardList live(kFullDeck & ~full);
        std::uint64_t seen[kMaxValue / 64 + 1] = {};
        for (int i = 0; i < live.n; ++i)
            for (int j = i + 1; j < live.n; ++j) {
                const auto v = static_cast<unsigned>(m_pairs[live.cards[i]][live.cards[j]]);
                seen[v >> 6] |= std::uint64_t{1} << (v & 63);
            }
        int rank = 0;
        for (int w = 0; w <= kMaxValue / 64; ++w)
            for (std::uint64_t bits = seen[w]; bits; bits &= bits - 1)
                m_rankOf[w * 64 + std::countr_zero(bits)] = static_cast<std::uint16_t>(++rank);
        m_values = rank;
        for (int i = 0; i < live.n; ++i)
            for (int j = i + 1; j < live.n; ++j) {
                const int a = live.cards[i], b = live.cards[j];
                m_rank[a * kDeckSize + b] = m_rank[b * kDeckSize + a] = m_rankOf[m_pairs[a][b]];
            }
    }

    // Values of side s's hands (0: dead on this board) and their order by value, with a copy of
    // the live hands' counter indices in that order so that the sweep reads them in sequence.
    [[gnu::noinline]] void sortSide(int s, CardMask cards) {
        const Side<K>& sd = side(s);
        const std::size_t n = sd.size();
        std::uint32_t* start = m_start[s].data();
        std::fill_n(start, m_values + 2, 0);
        std::uint16_t* value = m_value[s].data();
        for (std::size_t h = 0; h < n; ++h) {
            const std::uint16_t v = valueOf(sd, h, cards);
            value[h] = v;
            ++start[v + 1];
        }
        for (int v = 1; v <= m_values + 1; ++v) start[v] += start[v - 1];
        // start[v] is now the first position of value v; fill while moving it, then move back.
        std::uint32_t* order = m_order[s].data();
        Index* sorted = m_sorted[s].data();
        for (std::size_t h = 0; h < n; ++h) {
            const std::uint32_t p = start[value[h]]++;
            order[p] = static_cast<std::uint32_t>(h);
            if (value[h])
                std::memcpy(sorted + p * S::kTerms, sd.indexOf(h), sizeof(Index) * S::kTerms);
        }
        for (int v = m_values; v > 0; --v) start[v] = start[v - 1];
        start[0] = 0;
    }

    // One board's sums over the hands of a side.
    struct BoardSums {
        std::int64_t wins = 0, ties = 0, x = 0;
    };

    // Credits hand h of side s with w wins and t ties among x outcomes of this board.
    void credit(int s, std::size_t h, std::int64_t w, std::int64_t t, std::int64_t x,
                BoardSums& board) {
        if (!m_sampled) {
            m_packed[s][h] += static_cast<std::uint64_t>(w) | static_cast<std::uint64_t>(t) << 32;
            return;
        }
        Moments& m = m_moments[s][h];
        const std::int64_t y = 2 * w + t;
        m.wins += w, m.ties += t, m.x += x, m.yy += y * y, m.xx += x * x, m.xy += x * y;
        board.wins += w, board.ties += t, board.x += x;
    }

    void creditBoard(int s, const BoardSums& b) {
        if (!m_sampled) return;
        TotalMoments& t = m_total[s];
        const __int128 y = 2 * b.wins + b.ties, x = b.x;
        t.wins += b.wins, t.ties += b.ties, t.x += x, t.yy += y * y, t.xx += x * x, t.xy += x * y;
    }

    // The value of hand h of side s on the board completed by `cards`; 0 when it holds one.
    [[gnu::always_inline]] std::uint16_t valueOf(const Side<K>& sd, std::size_t h,
                                                 CardMask cards) const {
        std::uint16_t v = 0;
        if (sd.mask[h] & cards) return v;
        const std::uint8_t* c = sd.cardsOf(h);
        for (int i = 0; i < K; ++i) {
            const std::uint16_t* row = &m_rank[c[i] * kDeckSize];
            for (int j = i + 1; j < K; ++j) v = std::max(v, row[c[j]]);
        }
        return v;
    }

    // Against a single hand (never dead: its cards are not dealt) each hand is compared alone.
    [[gnu::noinline]] void compareSingle(CardMask cards) {
        const int d = m_setup.single, l = 1 - d;
        const int single = valueOf(side(d), 0, cards);
        const Side<K>& list = side(l);
        BoardSums b;
        if (!m_sampled) {
            for (std::size_t h = 0; h < list.size(); ++h) {
                const int v = valueOf(list, h, cards);
                if (v) credit(l, h, v > single, v == single, 1, b);
            }
            return;
        }
        // One outcome per board at most: the squares follow from the counts (see collect).
        Moments* moments = m_moments[l].data();
        for (std::size_t h = 0; h < list.size(); ++h) {
            const int v = valueOf(list, h, cards);
            if (!v) continue;
            Moments& m = moments[h];
            m.wins += v > single, m.ties += v == single, ++m.x;
            b.wins += v > single, b.ties += v == single, ++b.x;
        }
        creditBoard(l, b);
    }

    // Queries the hands of side s at positions [from, to) against `counters` into `out`.
    [[gnu::noinline]] static void queries(const std::int32_t* counters, const Index* sorted,
                                          std::uint32_t from, std::uint32_t to, std::int32_t* out) {
        for (std::uint32_t p = from; p < to; ++p)
            out[p] = S::query(counters, sorted + p * S::kTerms);
    }

    [[gnu::noinline]] static void inserts(std::int32_t* counters, const Index* sorted,
                                          std::uint32_t from, std::uint32_t to, int by) {
        for (std::uint32_t p = from; p < to; ++p) S::insert(counters, sorted + p * S::kTerms, by);
    }

    // Wins and ties of side s's hands of one value: first queries in m_first, the second ones
    // now; exact runs add them to the packed sums, sampled runs keep them for the last pass.
    [[gnu::noinline]] void seconds(int s, std::uint32_t from, std::uint32_t to) {
        const std::int32_t* c = m_counters[1 - s].data();
        const Index* sorted = m_sorted[s].data();
        const std::uint32_t* order = m_order[s].data();
        const std::int32_t* copies = side(s).copies.data();
        std::int32_t* first = m_first[s].data();
        std::uint64_t* packed = m_packed[s].data();
        for (std::uint32_t p = from; p < to; ++p) {
            const std::uint32_t h = order[p];
            const std::int32_t w = first[p];
            const std::int32_t t =
                S::query(c, sorted + p * S::kTerms) + S::kCopySign * copies[h] - w;
            if (m_sampled) {
                m_tie[s][p] = t;
            } else {
                packed[h] += static_cast<std::uint32_t>(w) |
                             std::uint64_t{static_cast<std::uint32_t>(t)} << 32;
            }
        }
    }

    void sweep() {
        const Setup<K>& st = m_setup;
        for (int v = 1; v <= m_values; ++v) {
            for (int s = 0; s < 2; ++s)
                if (st.compute[s])
                    queries(m_counters[1 - s].data(), m_sorted[s].data(), m_start[s][v],
                            m_start[s][v + 1], m_first[s].data());
            for (int s = 0; s < 2; ++s)
                if (st.compute[1 - s])
                    inserts(m_counters[s].data(), m_sorted[s].data(), m_start[s][v],
                            m_start[s][v + 1], 1);
            for (int s = 0; s < 2; ++s)
                if (st.compute[s]) seconds(s, m_start[s][v], m_start[s][v + 1]);
        }
        // A sampled board also needs each hand's outcomes on it: one more query once every hand
        // is inserted.
        for (int s = 0; m_sampled && s < 2; ++s) {
            if (!st.compute[s]) continue;
            const std::int32_t* c = m_counters[1 - s].data();
            const Side<K>& sd = side(s);
            BoardSums b;
            for (std::uint32_t p = m_start[s][1]; p < m_start[s][m_values + 1]; ++p) {
                const std::uint32_t h = m_order[s][p];
                const std::int64_t x =
                    S::query(c, m_sorted[s].data() + p * S::kTerms) + S::kCopySign * sd.copies[h];
                credit(s, h, m_first[s][p], m_tie[s][p], x, b);
            }
            creditBoard(s, b);
        }
        // Empty the counters for the next board.
        for (int s = 0; s < 2; ++s) {
            if (!st.compute[1 - s]) continue;
            const std::uint32_t from = m_start[s][1], to = m_start[s][m_values + 1];
            if (std::size_t{to - from} * (S::kTerms + 1) * 8 < S::kCounters) {
                inserts(m_counters[s].data(), m_sorted[s].data(), from, to, -1);
            } else {
                std::fill(m_counters[s].begin(), m_counters[s].end(), 0);
            }
        }
    }

    const Setup<K>& m_setup;
    const bool m_sampled;
    TableWalk m_walk;
    PairValues m_pairs;
    std::uint16_t m_rank[kDeckSize * kDeckSize] = {};
    std::vector<std::uint16_t> m_rankOf;
    int m_values = 0;
    std::array<std::vector<std::int32_t>, 2> m_counters;
    std::array<std::vector<std::uint16_t>, 2> m_value;
    std::array<std::vector<std::uint32_t>, 2> m_order;
    std::array<std::vector<Index>, 2> m_sorted;  // counter indices in value order
    std::array<std::vector<std::uint32_t>, 2> m_start;
    std::array<std::vector<std::int32_t>, 2> m_first;  // first query, then wins
    std::array<std::vector<std::int32_t>, 2> m_tie;
    std::array<std::vector<std::uint64_t>, 2> m_packed;
    std::array<std::vector<std::int64_t>, 2> m_wins, m_ties;
    std::array<std::vector<Moments>, 2> m_moments;
    std::array<TotalMoments, 2> m_total;
    std::int64_t m_boards = 0;
    std::int64_t m_sinceFlush = 0;
    std::int64_t m_flushEvery = 1;
};

// Why the limits cut a run, as a run end.
RunEnd endOf(RunLimits::Cut cut) {
    return cut == RunLimits::Cut::TimeLimit ? RunEnd::TimeLimit : RunEnd::Stopped;
}

// Runs work(t) on `threads` threads, the calling thread being thread 0.
template <class F>
void onThreads(int threads, F&& work) {
    std::vector<std::jthread> helpers;
    for (int t = 1; t < threads; ++t) helpers.emplace_back(work, t);
    work(0);
}

// The per-hand figures of both sides from their sums: computed sides hand by hand, the other
// side's totals (and its hand, when it has a single one) from the computed side's.
template <int K>
SweepResult collect(const SweepRequest& r, const Setup<K>& st,
                    const std::vector<std::unique_ptr<Sweeper<K>>>& workers, bool sampled,
                    std::int64_t done, std::int64_t boards) {
    SweepResult out;
    out.boardsDone = done;
    out.boards = boards;
    std::array<TotalMoments, 2> total;
    for (int s = 0; s < 2; ++s) {
        if (!st.compute[s]) continue;
        const Side<K>& sd = st.sides[s];
        if (r.wanted[s]) out.hands[s].resize(r.hands[s]->size());
        for (std::size_t h = 0; h < sd.size(); ++h) {
            Moments m;
            for (const auto& w : workers) {
                if (sampled) {
                    m.add(w->moments(s)[h]);
                } else {
                    m.wins += w->wins(s)[h];
                    m.ties += w->ties(s)[h];
                }
            }
            if (sampled && st.single >= 0) {
                // Against a single hand y is 2, 1 or 0 and x is 1 on every board the hand lives.
                m.yy = 4 * m.wins + m.ties, m.xx = m.x, m.xy = 2 * m.wins + m.ties;
            }
            if (!sampled) {
                // A run cut short counts the share of the boards it finished.
                m.x = static_cast<std::int64_t>(static_cast<__int128>(sd.disjoint[h]) * st.perPair *
                                                done / std::max<std::int64_t>(1, boards));
            }
            total[s].wins += m.wins, total[s].ties += m.ties, total[s].x += m.x;
            if (!r.wanted[s]) continue;
            SweepCounts& c = out.hands[s][sd.list[h]];
            c = {m.wins, m.ties, m.x, 0};
            if (sampled) c.stdError = ratioError(2 * m.wins + m.ties, m.x, m.yy, m.xx, m.xy, done);
        }
        if (sampled) {
            TotalMoments t;
            for (const auto& w : workers) t.add(w->total(s));
            total[s].yy = t.yy, total[s].xx = t.xx, total[s].xy = t.xy;
        }
    }
    for (int s = 0; s < 2; ++s) {
        if (st.compute[s]) continue;
        const TotalMoments& o = total[1 - s];
        TotalMoments& t = total[s];
        t.wins = o.x - o.wins - o.ties;
        t.ties = o.ties;
        t.x = o.x;
        t.yy = 4 * o.xx - 4 * o.xy + o.yy;  // y = 2x - y of the other side
        t.xx = o.xx;
        t.xy = 2 * o.xx - o.xy;
    }
    for (int s = 0; s < 2; ++s) {
        const TotalMoments& t = total[s];
        SweepCounts& c = out.total[s];
        c = {static_cast<std::int64_t>(t.wins), static_cast<std::int64_t>(t.ties),
             static_cast<std::int64_t>(t.x), 0};
        if (sampled) {
            c.stdError =
                ratioError(static_cast<long double>(2 * t.wins + t.ties),
                           static_cast<long double>(t.x), static_cast<long double>(t.yy),
                           static_cast<long double>(t.xx), static_cast<long double>(t.xy), done);
        }
        if (r.wanted[s] && !st.compute[s] && st.sides[s].size() == 1) {
            out.hands[s].resize(r.hands[s]->size());
            out.hands[s][st.sides[s].list[0]] = c;
        }
    }
    if (st.mirror) out.hands[1] = out.hands[0];
    return out;
}

template <int K>
std::vector<std::unique_ptr<Sweeper<K>>> makeWorkers(const Setup<K>& st, int threads,
                                                     bool sampled) {
    std::vector<std::unique_ptr<Sweeper<K>>> workers;
    for (int t = 0; t < threads; ++t) workers.push_back(std::make_unique<Sweeper<K>>(st, sampled));
    return workers;
}

template <int K>
SweepResult exactSweep(const SweepRequest& r) {
    Setup<K> st;
    prepare(r, st);
    const std::vector<CardMask> boards = everySet(st.deck, st.need);
    const auto n = static_cast<std::int64_t>(boards.size());
    const int threads =
        static_cast<int>(std::clamp<std::int64_t>(r.threads, 1, std::max<std::int64_t>(n, 1)));
    auto workers = makeWorkers(st, threads, false);
    std::atomic<std::int64_t> next{0}, done{0};
    std::atomic<bool> quit{false};
    std::atomic<int> cut{0};
    onThreads(threads, [&](int t) {
        int reported = -1;
        Sweeper<K>& w = *workers[t];
        while (!quit.load(std::memory_order_relaxed)) {
            if (r.limits) {
                if (const auto c = r.limits->check(); c != RunLimits::Cut::None) {
                    cut.store(static_cast<int>(c));
                    quit.store(true);
                    break;
                }
            }
            const std::int64_t i = next++;
            if (i >= n) break;
            w.board(boards[i]);
            const std::int64_t d = ++done;
            const int step = static_cast<int>(d * kProgressSteps / (n + 1));
            if (t == 0 && r.progress && step > reported) r.progress(reported = step);
        }
        w.flush();
    });
    SweepResult out = collect(r, st, workers, false, done.load(), n);
    if (cut.load()) out.end = endOf(static_cast<RunLimits::Cut>(cut.load()));
    return out;
}

template <int K>
SweepResult sampledSweep(const SweepRequest& r) {
    Setup<K> st;
    prepare(r, st);
    const exact::CardList deck(st.deck);
    // Every sum of squares stays within 64 bits.
    const auto most = static_cast<std::int64_t>(
        2 * std::max<std::size_t>({1, st.sides[0].size(), st.sides[1].size()}));
    const std::int64_t target = std::min(r.boards, INT64_MAX / (most * most) / 2);
    const int threads = std::max(1, r.threads);
    auto workers = makeWorkers(st, threads, true);
    std::atomic<bool> quit{false};
    std::atomic<int> cut{0};
    std::int64_t done = 0;
    int reported = -1;
    const std::int64_t blocks = (target + kSampleBlock - 1) / kSampleBlock;
    for (std::int64_t wave = 0; wave * kWaveBlocks < blocks && !quit.load(); ++wave) {
        const std::int64_t last = std::min(blocks, (wave + 1) * kWaveBlocks);
        std::atomic<std::int64_t> next{wave * kWaveBlocks};
        std::atomic<std::int64_t> waveDone{0};
        onThreads(threads, [&](int t) {
            for (std::int64_t b; !quit.load(std::memory_order_relaxed) && (b = next++) < last;) {
                MersenneTwister rng(r.seed ^
                                    static_cast<std::uint32_t>(b * 0x9E3779B97F4A7C15u >> 32));
                const std::int64_t end = std::min(target, (b + 1) * kSampleBlock);
                for (std::int64_t i = b * kSampleBlock; i < end; ++i) {
                    CardMask cards = 0;
                    while (cardCount(cards) < st.need) cards |= cardBit(deck.cards[rng() % deck.n]);
                    if (r.limits) {
                        if (const auto c = r.limits->check(); c != RunLimits::Cut::None) {
                            cut.store(static_cast<int>(c));
                            quit.store(true);
                            return;
                        }
                    }
                    workers[t]->board(cards);
                    ++waveDone;
                }
            }
        });
        done += waveDone.load();
        const int step = static_cast<int>(std::min<std::int64_t>(
            done * kProgressSteps / std::max<std::int64_t>(target, 1), kProgressSteps - 1));
        if (r.progress && step > reported) r.progress(reported = step);
        if (r.precision > 0 && done >= 2) {
            const SweepResult now = collect(r, st, workers, true, done, 0);
            bool precise = true;
            for (int s = 0; s < 2 && precise; ++s) {
                if (!st.compute[s] || !r.wanted[s]) continue;
                const Side<K>& sd = st.sides[s];
                for (std::size_t h = 0; h < sd.size() && precise; ++h) {
                    const SweepCounts& c = now.hands[s][sd.list[h]];
                    precise = sd.disjoint[h] == 0 || (c.outcomes > 0 && c.stdError <= r.precision);
                }
            }
            if (precise) {
                SweepResult out = now;
                out.end = RunEnd::PrecisionReached;
                return out;
            }
        }
    }
    SweepResult out = collect(r, st, workers, true, done, 0);
    if (cut.load()) out.end = endOf(static_cast<RunLimits::Cut>(cut.load()));
    return out;
}

template <class F>
SweepResult withSweepCards(int holeCount, F&& f) {
    switch (holeCount) {
        case 5:
            return f(std::integral_constant<int, 5>{});
        case 6:
            return f(std::integral_constant<int, 6>{});
        default:
            return f(std::integral_constant<int, 4>{});
    }
}

}  // namespace

bool sweepFits(int holeCount, const std::vector<CardMask>& a, const std::vector<CardMask>& b) {
    if (holeCount < kSweepMinCards || holeCount > kSweepMaxCards) return false;
    auto full = [&](CardMask h) { return cardCount(h) == holeCount; };
    return std::all_of(a.begin(), a.end(), full) && std::all_of(b.begin(), b.end(), full);
}

double sweepSeconds(const SweepRequest& r) {
    const CardMask known = r.board | r.dead;
    double live[2] = {};
    for (int s = 0; s < 2; ++s)
        for (CardMask h : *r.hands[s]) live[s] += (h & known) == 0;
    const int k = r.holeCount;
    const bool single = live[0] == 1 || live[1] == 1;
    const int deck = kDeckSize - cardCount(known) - (live[0] == 1 ? k : 0) - (live[1] == 1 ? k : 0);
    const auto boards = static_cast<double>(binomial(deck, kBoardCards - cardCount(r.board)));
    double perBoard =
        kSweepBoardSeconds + (live[0] + live[1]) * kSweepValueSeconds * k * (k - 1) / 12;
    if (single) {
        perBoard += (live[0] + live[1]) * kSweepCompareSeconds;
    } else {
        const bool both = r.wanted[0] && r.wanted[1];
        const double hands = live[0] + live[1];
        // Two queries of every counted hand and an insert of every hand it is counted against.
        const double lookups = both ? 3 * hands
                                    : 2 * live[r.wanted[0] || !r.wanted[1] ? 0 : 1] +
                                          live[r.wanted[0] || !r.wanted[1] ? 1 : 0];
        perBoard += lookups * ((1 << k) - 1) * kSweepTermSeconds;
    }
    return boards * perBoard;
}

double sweepBytes(const SweepRequest& r) {
    const int k = r.holeCount;
    const double index = k == 4 ? 2 : 4;
    // Per hand: its cards, counter indices, mask and counts; per thread its value, order, first
    // query and sums; per thread and side the counters.
    const double shared = k + ((1 << k) - 2) * index + 8 + 4 + 4 + 8;
    const double perThread = 2 + 4 + 4 + 4 + 8 + 16 + sizeof(Moments);
    const double hands = static_cast<double>(r.hands[0]->size() + r.hands[1]->size());
    const double threads = std::max(1, r.threads);
    const double counters = static_cast<double>(binomial(kDeckSize, k - 1)) * 4 * 2 * 1.1;
    return hands * (shared + threads * perThread) + threads * counters;
}

SweepResult sweepExact(const SweepRequest& request) {
    return withSweepCards(request.holeCount,
                          [&](auto k) { return exactSweep<decltype(k)::value>(request); });
}

SweepResult sweepSampled(const SweepRequest& request) {
    return withSweepCards(request.holeCount,
                          [&](auto k) { return sampledSweep<decltype(k)::value>(request); });
}

std::vector<CardMask> everyHoleSet(int holeCount, CardMask known) {
    std::vector<CardMask> hands = everySet(kFullDeck & ~known, holeCount);
    std::sort(hands.begin(), hands.end());
    return hands;
}

}  // namespace varnel
