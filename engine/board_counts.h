#pragma once
// How many boards of one exact-enumeration item end in each state, so that each state is
// evaluated once and credited for all its boards. Internal to the engine.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "engine/dealing.h"

namespace varnel::exact {

// How many boards of one item end in each key: a finished board's state (and, in a Hi/Lo game,
// its low ranks above it). Boards that end in the same state give every hand the same value, so
// each key is evaluated once and credited for all its boards. Open addressing with linear
// probing, grown at half full; a slot holds its count above its key (0: empty). The slots are
// kept from item to item, as many as the largest item needed unless an item has fewer boards.
class BoardCounts {
  public:
    using Key = std::uint64_t;

    // Starts an item of at most `boards` boards; every count is 0.
    void start(std::int64_t boards) {
        const std::size_t enough =
            std::max(kFirstSlots, std::bit_ceil(2 * static_cast<std::size_t>(boards)));
        if (m_slots.empty()) {
            m_slots.resize(kFirstSlots);
        } else if (enough < m_slots.size()) {
            m_slots.resize(enough);
        }
        m_bits = std::countr_zero(m_slots.size());
        m_mask = m_slots.size() - 1;
    }

    static Key key(BoardState state, LowRanks low) { return Key{low} << 32 | state; }
    static BoardState state(Key key) { return static_cast<BoardState>(key); }
    static LowRanks low(Key key) { return static_cast<LowRanks>(key >> 32); }

    void add(Key key) {
        for (std::size_t i = slot(key);; i = (i + 1) & m_mask) {
            std::uint64_t& s = m_slots[i];
            if (s == 0) {
                s = kOne | key;
                if (++m_used * 2 > m_slots.size()) grow();
                return;
            }
            if ((s & kKeyMask) == key) {
                s += kOne;
                return;
            }
        }
    }

    // f(key, boards) for every key seen, setting every count back to 0.
    template <class F>
    void take(F&& f) {
        for (std::uint64_t& s : m_slots) {
            if (s != 0) f(s & kKeyMask, static_cast<std::int64_t>(s >> kKeyBits));
            s = 0;
        }
        m_used = 0;
    }

  private:
    // A key has 40 bits; the count above it has 24, more than the boards of one item
    // (at most 51 choose 4 = 249,900).
    static constexpr int kKeyBits = 40;
    static constexpr std::uint64_t kKeyMask = (std::uint64_t{1} << kKeyBits) - 1;
    static constexpr std::uint64_t kOne = std::uint64_t{1} << kKeyBits;
    static constexpr std::size_t kFirstSlots = 1024;

    std::size_t slot(Key key) const {
        constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15;  // 2^64 / golden ratio
        return static_cast<std::size_t>((key * kGolden) >> (64 - m_bits));
    }

    void grow() {
        m_spare.assign(m_slots.size() * 2, 0);
        m_spare.swap(m_slots);
        ++m_bits;
        m_mask = m_slots.size() - 1;
        for (const std::uint64_t s : m_spare) {
            if (s == 0) continue;
            std::size_t i = slot(s & kKeyMask);
            while (m_slots[i] != 0) i = (i + 1) & m_mask;
            m_slots[i] = s;
        }
    }

    std::vector<std::uint64_t> m_slots;
    std::vector<std::uint64_t> m_spare;  // the slots before the last growth
    int m_bits = 0;
    std::size_t m_mask = 0;
    std::size_t m_used = 0;
};

}  // namespace varnel::exact
