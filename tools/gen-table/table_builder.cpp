// How the table is built.
//
// Cards are numbered by evalIndex e = 4 * rank + suit. Board states are keyed by what decides
// every later hand: the count of each rank, plus the rank set of each suit that can still reach
// the three board cards a flush needs. Every valid board prefix is enumerated once; it marks
// which cards may follow its key (the others are never read by valid input and lead to the
// zero sink), and each full board marks which (first, second) hole cards may follow it: the
// second card has the higher CardId and neither is on the board. Cells that no valid input
// reads are "don't care".
//
// A row after the first hole card maps the second card to the best two-plus-three hand. When
// the first card has the board's flush suit f, the second card's suit is f or higher, so the
// row is stored in a frame shifted down by f: the flush column at suit 0, the plain columns at
// 1..3, and the pointer one level up is the stored row's offset minus f. Rows with equal
// values merge; rows that agree wherever both are read merge greedily, most-read first. Board
// levels then merge the same way, from five board cards down to none: identical rows of child
// codes, and rows of keys with equal rank counts and kept suits that agree wherever both are read.
//
// Layout: entries 0..51 are a zero sink, the start row is at 52, every other row is placed at
// the lowest offset near the end of the table where its read cells agree with what is there.
// Every row lies fully inside the table, so any entry (a state or a value) plus 51 stays inside.

#include "tools/gen-table/table_builder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <stdexcept>

#include "core/cards.h"
#include "eval/omaha_eval.h"

namespace varnel::gen_table {
namespace {

constexpr int kCards = kDeckSize;
constexpr int kSuitCount = kSuits;
constexpr std::uint64_t kAllCards = (std::uint64_t{1} << kCards) - 1;
constexpr int kFlushBoardCards = 3;  // a flush uses exactly three board cards of its suit
constexpr int kCountBits = 3;        // per-rank count field of a board key
constexpr int kSuitFieldBits = kRanks + 1;
constexpr std::uint64_t kKeptBit = std::uint64_t{1} << kRanks;
constexpr std::uint64_t kRankSetBits = kKeptBit - 1;
constexpr std::uint64_t kSuitField = (std::uint64_t{1} << kSuitFieldBits) - 1;
constexpr std::uint32_t kNone = ~std::uint32_t{0};

// The greedy merge of rows that agree wherever both are read: an item joins the first of the
// representatives of its bucket (at most kMaxProbes of them are tried) that `agrees` with it, and
// `absorb`s it there; with none, `create` makes it a representative of its own, added to the
// bucket. Returns the item's representative.
template <class Agrees, class Absorb, class Create>
std::uint32_t joinOrCreate(std::vector<std::uint32_t>& bucket, Agrees&& agrees, Absorb&& absorb,
                           Create&& create) {
    constexpr std::size_t kMaxProbes = 512;
    for (std::size_t i = 0; i < bucket.size() && i < kMaxProbes; ++i) {
        if (agrees(bucket[i])) {
            absorb(bucket[i]);
            return bucket[i];
        }
    }
    const std::uint32_t rep = create();
    bucket.push_back(rep);
    return rep;
}
constexpr int kShiftCodes = kSuitCount;                    // a row code is stored row * 4 + shift
constexpr std::uint32_t kFirstRow = kStartState + kCards;  // rows after the start row
constexpr int kRankPairs = kRanks * kRanks;

constexpr int rankOfIndex(int e) {
    return e >> 2;
}
constexpr int suitOfIndex(int e) {
    return e & 3;
}
constexpr int cell(int rank, int suit) {
    return 4 * rank + suit;
}
constexpr std::uint64_t bit(int e) {
    return std::uint64_t{1} << e;
}

// Fixed-width rows of 32-bit words, each stored once and numbered in order of arrival.
class RowInterner {
  public:
    explicit RowInterner(std::size_t width) : m_width(width), m_slots(1u << 10, kNone) {}

    std::uint32_t intern(const std::uint32_t* row, bool* added = nullptr) {
        std::size_t slot = probe(row);
        if (m_slots[slot] != kNone) {
            if (added) *added = false;
            return m_slots[slot];
        }
        const auto id = static_cast<std::uint32_t>(m_count++);
        m_rows.insert(m_rows.end(), row, row + m_width);
        m_slots[slot] = id;
        if (added) *added = true;
        if (2 * m_count > m_slots.size()) grow();
        return id;
    }

    std::uint32_t find(const std::uint32_t* row) const { return m_slots[probe(row)]; }
    std::size_t size() const { return m_count; }
    const std::uint32_t* row(std::uint32_t id) const { return &m_rows[id * m_width]; }

  private:
    std::uint64_t hash(const std::uint32_t* row) const {
        std::uint64_t h = 0x243F6A8885A308D3ull;
        for (std::size_t i = 0; i < m_width; ++i) {
            h = (h ^ row[i]) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        return h ^ (h >> 32);
    }

    std::size_t probe(const std::uint32_t* row) const {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t slot = hash(row) & mask;
        while (m_slots[slot] != kNone &&
               !std::equal(row, row + m_width, &m_rows[m_slots[slot] * m_width])) {
            slot = (slot + 1) & mask;
        }
        return slot;
    }

    void grow() {
        m_slots.assign(m_slots.size() * 2, kNone);
        const std::size_t mask = m_slots.size() - 1;
        for (std::uint32_t id = 0; id < m_count; ++id) {
            std::size_t slot = hash(row(id)) & mask;
            while (m_slots[slot] != kNone) slot = (slot + 1) & mask;
            m_slots[slot] = id;
        }
    }

    std::size_t m_width;
    std::size_t m_count = 0;
    std::vector<std::uint32_t> m_rows;
    std::vector<std::uint32_t> m_slots;
};

// Rank counts (3 bits per rank) and, per suit, a kept flag with the suit's board rank set.
struct BoardKey {
    std::uint64_t counts = 0;
    std::uint64_t suits = 0;

    static constexpr std::size_t kWords = 4;
    std::array<std::uint32_t, kWords> words() const {
        return {static_cast<std::uint32_t>(counts), static_cast<std::uint32_t>(counts >> 32),
                static_cast<std::uint32_t>(suits), static_cast<std::uint32_t>(suits >> 32)};
    }
    static BoardKey fromWords(const std::uint32_t* w) {
        return {w[0] | std::uint64_t{w[1]} << 32, w[2] | std::uint64_t{w[3]} << 32};
    }
    std::uint64_t suitField(int s) const { return suits >> (kSuitFieldBits * s) & kSuitField; }
    int rankCount(int r) const { return static_cast<int>(counts >> (kCountBits * r) & 7u); }
};

BoardKey startKey() {
    BoardKey k;
    for (int s = 0; s < kSuitCount; ++s) k.suits |= kKeptBit << (kSuitFieldBits * s);
    return k;
}

// The key after adding card e as the board's `cardsAfter`-th card. A suit is kept while its
// board cards plus the cards still to come can reach three.
BoardKey addCard(BoardKey k, int cardsAfter, int e) {
    const int r = rankOfIndex(e), s = suitOfIndex(e);
    k.counts += std::uint64_t{1} << (kCountBits * r);
    if (k.suitField(s) & kKeptBit) k.suits |= bit(kSuitFieldBits * s + r);
    const int toCome = kBoardCards - cardsAfter;
    for (int t = 0; t < kSuitCount; ++t) {
        const std::uint64_t field = k.suitField(t);
        if ((field & kKeptBit) && std::popcount(field & kRankSetBits) + toCome < kFlushBoardCards)
            k.suits &= ~(kSuitField << (kSuitFieldBits * t));
    }
    return k;
}

// Cells of a row (second cards) whose CardId is above that of the first card `e`.
std::array<std::uint64_t, kCards> cardsAboveByIndex() {
    std::array<std::uint64_t, kCards> above{};
    for (int e = 0; e < kCards; ++e) {
        const CardId id = makeCard(rankOfIndex(e), suitOfIndex(e));
        for (int e2 = 0; e2 < kCards; ++e2) {
            if (makeCard(rankOfIndex(e2), suitOfIndex(e2)) > id) above[e] |= bit(e2);
        }
    }
    return above;
}

// A stored row after the first hole card: its values and the cells valid input reads.
struct HoleRow {
    std::array<std::uint16_t, kCards> values{};
    std::uint64_t cared = 0;

    bool agrees(const HoleRow& other) const {
        for (std::uint64_t m = cared & other.cared; m; m &= m - 1) {
            const int e = std::countr_zero(m);
            if (values[e] != other.values[e]) return false;
        }
        return true;
    }
    void absorb(const HoleRow& other) {
        for (std::uint64_t m = other.cared & ~cared; m; m &= m - 1) {
            const int e = std::countr_zero(m);
            values[e] = other.values[e];
        }
        cared |= other.cared;
    }
};

// Places rows into the table, each overlapping the end of the table where it can.
class Packer {
  public:
    explicit Packer(std::size_t reserve) {
        m_entries.reserve(reserve);
        m_used.reserve(reserve);
        m_entries.assign(kFirstRow, 0);
        m_used.assign(kFirstRow, 1);  // the sink and the start row
    }

    std::uint32_t place(const std::uint32_t* values, std::uint64_t cared) {
        const std::size_t end = m_entries.size();
        std::size_t base = std::max<std::size_t>(kFirstRow, end - (kCards - 1));
        while (!fits(base, values, cared)) ++base;
        if (base + kCards > end) {
            m_entries.resize(base + kCards, 0);
            m_used.resize(base + kCards, 0);
        }
        for (std::uint64_t m = cared; m; m &= m - 1) {
            const int e = std::countr_zero(m);
            m_entries[base + e] = values[e];
            m_used[base + e] = 1;
        }
        return static_cast<std::uint32_t>(base);
    }

    void setStartRow(const std::uint32_t* values) {
        std::copy(values, values + kCards, m_entries.begin() + kStartState);
    }

    std::vector<std::uint32_t> take() { return std::move(m_entries); }

  private:
    bool fits(std::size_t base, const std::uint32_t* values, std::uint64_t cared) const {
        for (std::uint64_t m = cared; m; m &= m - 1) {
            const int e = std::countr_zero(m);
            if (base + e >= m_entries.size()) return true;
            if (m_used[base + e] && m_entries[base + e] != values[e]) return false;
        }
        return true;
    }

    std::vector<std::uint32_t> m_entries;
    std::vector<std::uint8_t> m_used;
};

class Builder {
  public:
    Builder(const five_card::ClassRanks& ranks,
            const std::function<void(const std::string&)>& progress)
        : m_ranks(ranks), m_progress(progress), m_above(cardsAboveByIndex()) {
        for (int level = 0; level <= kBoardCards; ++level) m_keys.emplace_back(BoardKey::kWords);
    }

    BuildResult run() {
        enumerateBoards(0, startKey(), 0, 0);
        linkBoardLevels();
        report("board keys");
        groupHoleRows();
        report("first-hole rows grouped");
        mergeHoleRows();
        report("first-hole rows merged");
        mergeBoardLevels();
        report("board levels merged");
        BuildResult result;
        result.entries = layout();
        for (int level = 0; level <= kBoardCards; ++level) result.states[level] = m_nodes[level];
        result.states[kBoardCards + 1] = m_reps.size();
        report("laid out");
        return result;
    }

  private:
    void report(const std::string& stage) {
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        char line[160];
        std::snprintf(line, sizeof line, "%6.2f s  %s", s, stage.c_str());
        m_progress(line);
    }

    // Visits every set of up to five cards once; records keys, the cards that may follow each
    // key, and for full boards the hole cards that may follow.
    void enumerateBoards(int level, const BoardKey& key, std::uint64_t board, int next) {
        bool added = false;
        const std::uint32_t id = m_keys[level].intern(key.words().data(), &added);
        const std::uint64_t free = ~board & kAllCards;
        if (level == kBoardCards) {
            if (added) m_care.resize(m_care.size() + kCards, 0);
            std::uint64_t* care = &m_care[std::size_t{id} * kCards];
            for (std::uint64_t m = free; m; m &= m - 1) {
                const int c1 = std::countr_zero(m);
                care[c1] |= free & m_above[c1];
            }
            return;
        }
        if (added) m_possible[level].push_back(0);
        m_possible[level][id] |= free;
        for (int e = next; e < kCards; ++e)
            enumerateBoards(level + 1, addCard(key, level + 1, e), board | bit(e), e + 1);
    }

    void linkBoardLevels() {
        for (int level = 0; level < kBoardCards; ++level) {
            const std::size_t n = m_keys[level].size();
            m_child[level].assign(n * kCards, kNone);
            for (std::uint32_t id = 0; id < n; ++id) {
                const BoardKey key = BoardKey::fromWords(m_keys[level].row(id));
                for (std::uint64_t m = m_possible[level][id]; m; m &= m - 1) {
                    const int e = std::countr_zero(m);
                    const std::uint32_t child =
                        m_keys[level + 1].find(addCard(key, level + 1, e).words().data());
                    if (child == kNone) throw std::logic_error("board key without a board");
                    m_child[level][id * kCards + e] = child;
                }
            }
        }
    }

    // Board rank multiset id, its best plain values for every pair of hole ranks.
    std::uint32_t multisetId(std::uint64_t counts) {
        const std::uint32_t w[2] = {static_cast<std::uint32_t>(counts),
                                    static_cast<std::uint32_t>(counts >> 32)};
        bool added = false;
        const std::uint32_t id = m_multisets.intern(w, &added);
        if (added) {
            int ranks[kBoardCards], n = 0;
            for (int r = 0; r < kRanks; ++r)
                for (int c = 0; c < static_cast<int>(counts >> (kCountBits * r) & 7u); ++c)
                    ranks[n++] = r;
            m_plainBest.resize(m_plainBest.size() + kRankPairs, 0);
            std::uint16_t* out = &m_plainBest[std::size_t{id} * kRankPairs];
            for (int a = 0; a < kBoardCards; ++a)
                for (int b = a + 1; b < kBoardCards; ++b)
                    for (int c = b + 1; c < kBoardCards; ++c)
                        for (int r1 = 0; r1 < kRanks; ++r1)
                            for (int r2 = 0; r2 < kRanks; ++r2) {
                                std::uint16_t& v = out[r1 * kRanks + r2];
                                v = std::max(v,
                                             m_ranks.plain(ranks[a], ranks[b], ranks[c], r1, r2));
                            }
        }
        return id;
    }

    // Best flush from two hole ranks and three ranks of the board's flush suit.
    std::uint16_t bestFlush(unsigned flushSet, int r1, int r2) const {
        const unsigned hole = 1u << r1 | 1u << r2;
        if (r1 == r2 || (flushSet & hole)) return 0;
        std::uint16_t best = 0;
        for (unsigned t = flushSet; t; t = (t - 1) & flushSet) {
            if (std::popcount(t) == kFlushBoardCards)
                best = std::max(best, m_ranks.flush(t | hole));
        }
        return best;
    }

    // Every (full board key, first hole card) that valid input reaches becomes a group keyed
    // by what decides its values: board ranks, first rank, and the flush set when the first
    // card has the flush suit. Groups with equal values form one class.
    void groupHoleRows() {
        const std::size_t boards = m_keys[kBoardCards].size();
        RowInterner groups(3);
        std::vector<std::uint64_t> groupCared;
        std::vector<std::array<std::uint32_t, 3>> groupKeys;
        m_holeCode.assign(boards * kCards, kNone);
        for (std::uint32_t id = 0; id < boards; ++id) {
            const BoardKey key = BoardKey::fromWords(m_keys[kBoardCards].row(id));
            int flushSuit = -1;
            unsigned flushSet = 0;
            for (int s = 0; s < kSuitCount; ++s) {
                if (key.suitField(s) & kKeptBit) {
                    flushSuit = s;
                    flushSet = static_cast<unsigned>(key.suitField(s) & kRankSetBits);
                }
            }
            const std::uint32_t ms = multisetId(key.counts);
            for (int c1 = 0; c1 < kCards; ++c1) {
                const std::uint64_t care = m_care[std::size_t{id} * kCards + c1];
                if (!care) continue;
                const bool flush = suitOfIndex(c1) == flushSuit;
                const std::array<std::uint32_t, 3> gk = {
                    ms, static_cast<std::uint32_t>(rankOfIndex(c1)),
                    flush ? flushSet | static_cast<std::uint32_t>(kKeptBit) : 0u};
                bool added = false;
                const std::uint32_t g = groups.intern(gk.data(), &added);
                if (added) {
                    groupCared.push_back(0);
                    groupKeys.push_back(gk);
                }
                const int shift = flush ? flushSuit : 0;
                groupCared[g] |= care >> shift;
                m_holeCode[std::size_t{id} * kCards + c1] = g * kShiftCodes + shift;
            }
        }
        m_care = {};

        // Values of a group: column 0 holds the flush suit's values, columns 1..3 plain ones.
        constexpr std::size_t kClassWords = kRanks;  // 26 values, two per word
        RowInterner classes(kClassWords);
        m_groupClass.resize(groupKeys.size());
        for (std::uint32_t g = 0; g < groupKeys.size(); ++g) {
            const auto& [ms, r1, flushField] = groupKeys[g];
            const std::uint16_t* plain = &m_plainBest[std::size_t{ms} * kRankPairs + r1 * kRanks];
            std::array<std::uint32_t, kClassWords> w{};
            for (int r2 = 0; r2 < kRanks; ++r2) {
                std::uint16_t col0 = plain[r2];
                if (flushField)
                    col0 = std::max(col0,
                                    bestFlush(flushField & kRankSetBits, static_cast<int>(r1), r2));
                w[r2] = col0 | std::uint32_t{plain[r2]} << 16;
            }
            bool added = false;
            const std::uint32_t c = classes.intern(w.data(), &added);
            if (added) {
                HoleRow row;
                for (int r2 = 0; r2 < kRanks; ++r2) {
                    row.values[cell(r2, 0)] = static_cast<std::uint16_t>(w[r2]);
                    for (int s = 1; s < kSuitCount; ++s)
                        row.values[cell(r2, s)] = static_cast<std::uint16_t>(w[r2] >> 16);
                }
                m_classRows.push_back(row);
            }
            m_classRows[c].cared |= groupCared[g];
            m_groupClass[g] = c;
        }
    }

    // Greedy merge of classes whose values agree wherever both are read. Candidates share the
    // plain columns (a class reads nearly all of them), so they are looked up by those values.
    void mergeHoleRows() {
        std::vector<std::uint32_t> order(m_classRows.size());
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return std::popcount(m_classRows[a].cared) > std::popcount(m_classRows[b].cared);
        });
        constexpr std::size_t kPlainWords = (kRanks + 1) / 2;
        RowInterner buckets(kPlainWords);
        std::vector<std::vector<std::uint32_t>> bucketReps;
        m_classRep.assign(m_classRows.size(), kNone);
        for (std::uint32_t c : order) {
            const HoleRow& row = m_classRows[c];
            std::array<std::uint32_t, kPlainWords> plain{};
            for (int r = 0; r < kRanks; ++r)
                plain[r / 2] |= std::uint32_t{row.values[cell(r, 1)]} << (16 * (r % 2));
            bool added = false;
            const std::uint32_t b = buckets.intern(plain.data(), &added);
            if (added) bucketReps.emplace_back();
            m_classRep[c] = joinOrCreate(
                bucketReps[b], [&](std::uint32_t rep) { return m_reps[rep].agrees(row); },
                [&](std::uint32_t rep) { m_reps[rep].absorb(row); },
                [&] {
                    m_reps.push_back(row);
                    return static_cast<std::uint32_t>(m_reps.size() - 1);
                });
        }
    }

    // Child code of a cell: 0 for the sink, else 1 + the child's node (or stored row code).
    void mergeBoardLevels() {
        const std::size_t boards = m_keys[kBoardCards].size();
        std::vector<std::uint32_t> rows(boards * kCards);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::uint32_t code = m_holeCode[i];
            rows[i] = code == kNone
                          ? 0
                          : 1 + m_classRep[m_groupClass[code / kShiftCodes]] * kShiftCodes +
                                code % kShiftCodes;
        }
        mergeLevel(kBoardCards, rows);
        for (int level = kBoardCards - 1; level >= 0; --level) {
            rows.assign(m_keys[level].size() * kCards, 0);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const std::uint32_t child = m_child[level][i];
                if (child != kNone) rows[i] = 1 + m_keyNode[level + 1][child];
            }
            mergeLevel(level, rows);
        }
        if (m_nodes[0] != 1) throw std::logic_error("more than one start state");
    }

    // Merges the rows of one level's keys: identical rows, then rows that agree wherever both
    // are read (code 0 is never read) among keys with the same rank counts and kept suits,
    // greedily from the most-read row.
    void mergeLevel(int level, const std::vector<std::uint32_t>& keyRows) {
        const std::size_t keys = m_keys[level].size();
        RowInterner unique(kCards);
        std::vector<std::uint32_t> keyUnique(keys);
        RowInterner buckets(3);
        std::vector<std::uint32_t> uniqueBucket;
        for (std::uint32_t id = 0; id < keys; ++id) {
            bool added = false;
            keyUnique[id] = unique.intern(&keyRows[std::size_t{id} * kCards], &added);
            if (added) {
                const BoardKey key = BoardKey::fromWords(m_keys[level].row(id));
                std::uint32_t kept = 0;
                for (int s = 0; s < kSuitCount; ++s)
                    kept |= static_cast<std::uint32_t>(key.suitField(s) >> kRanks) << s;
                const std::uint32_t bk[3] = {static_cast<std::uint32_t>(key.counts),
                                             static_cast<std::uint32_t>(key.counts >> 32), kept};
                uniqueBucket.push_back(buckets.intern(bk));
            }
        }
        auto readCount = [&](std::uint32_t u) {
            const std::uint32_t* r = unique.row(u);
            return kCards - static_cast<int>(std::count(r, r + kCards, 0u));
        };
        std::vector<std::uint32_t> order(unique.size());
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return readCount(a) > readCount(b);
        });
        std::vector<std::vector<std::uint32_t>> bucketNodes(buckets.size());
        std::vector<std::uint32_t>& nodeRows = m_nodeRows[level];
        nodeRows.clear();
        std::vector<std::uint32_t> uniqueNode(unique.size());
        for (std::uint32_t u : order) {
            const std::uint32_t* row = unique.row(u);
            uniqueNode[u] = joinOrCreate(
                bucketNodes[uniqueBucket[u]],
                [&](std::uint32_t node) {
                    const std::uint32_t* rep = &nodeRows[std::size_t{node} * kCards];
                    for (int e = 0; e < kCards; ++e)
                        if (row[e] != 0 && rep[e] != 0 && row[e] != rep[e]) return false;
                    return true;
                },
                [&](std::uint32_t node) {
                    std::uint32_t* rep = &nodeRows[std::size_t{node} * kCards];
                    for (int e = 0; e < kCards; ++e)
                        if (rep[e] == 0) rep[e] = row[e];
                },
                [&] {
                    nodeRows.insert(nodeRows.end(), row, row + kCards);
                    return static_cast<std::uint32_t>(nodeRows.size() / kCards - 1);
                });
        }
        m_keyNode[level].resize(keys);
        for (std::uint32_t id = 0; id < keys; ++id)
            m_keyNode[level][id] = uniqueNode[keyUnique[id]];
        m_nodes[level] = nodeRows.size() / kCards;
    }

    std::vector<std::uint32_t> layout() {
        std::size_t estimate = 0;
        for (int level = 1; level <= kBoardCards; ++level) estimate += m_nodeRows[level].size();
        estimate += m_reps.size() * kCards + kFirstRow;
        Packer packer(estimate);
        std::array<std::uint32_t, kCards> values{};

        std::vector<std::uint32_t> repBase(m_reps.size());
        for (std::size_t i = 0; i < m_reps.size(); ++i) {
            std::copy(m_reps[i].values.begin(), m_reps[i].values.end(), values.begin());
            repBase[i] = packer.place(values.data(), m_reps[i].cared);
        }
        // Level 5 cells hold stored row codes; lower levels hold node numbers.
        std::vector<std::uint32_t> childBase;
        for (int level = kBoardCards; level >= 0; --level) {
            const std::vector<std::uint32_t>& rows = m_nodeRows[level];
            std::vector<std::uint32_t> base(m_nodes[level]);
            for (std::size_t node = 0; node < base.size(); ++node) {
                std::uint64_t cared = 0;
                for (int e = 0; e < kCards; ++e) {
                    const std::uint32_t code = rows[node * kCards + e];
                    values[e] = 0;
                    if (code == 0) continue;
                    cared |= bit(e);
                    values[e] = level == kBoardCards
                                    ? repBase[(code - 1) / kShiftCodes] - (code - 1) % kShiftCodes
                                    : childBase[code - 1];
                }
                if (level == 0) {
                    packer.setStartRow(values.data());
                    base[node] = kStartState;
                } else {
                    base[node] = packer.place(values.data(), cared);
                }
            }
            childBase = std::move(base);
        }
        return packer.take();
    }

    const five_card::ClassRanks& m_ranks;
    const std::function<void(const std::string&)>& m_progress;
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    const std::array<std::uint64_t, kCards> m_above;

    std::vector<RowInterner> m_keys;                                 // board keys per level
    std::array<std::vector<std::uint64_t>, kBoardCards> m_possible;  // cards that may follow
    std::array<std::vector<std::uint32_t>, kBoardCards> m_child;     // key x card -> child key
    std::vector<std::uint64_t> m_care;  // full board key x first card -> second cards read

    RowInterner m_multisets{2};
    std::vector<std::uint16_t> m_plainBest;  // multiset x r1 x r2 -> best plain class
    std::vector<std::uint32_t> m_holeCode;   // full board key x first card -> group * 4 + shift
    std::vector<std::uint32_t> m_groupClass;
    std::vector<HoleRow> m_classRows;
    std::vector<std::uint32_t> m_classRep;
    std::vector<HoleRow> m_reps;

    std::array<std::vector<std::uint32_t>, kBoardCards + 1> m_keyNode;   // key -> merged node
    std::array<std::vector<std::uint32_t>, kBoardCards + 1> m_nodeRows;  // node rows of codes
    std::size_t m_nodes[kBoardCards + 1] = {};
};

}  // namespace

BuildResult buildOmahaTable(const five_card::ClassRanks& ranks,
                            const std::function<void(const std::string&)>& progress) {
    return Builder(ranks, progress).run();
}

}  // namespace varnel::gen_table
