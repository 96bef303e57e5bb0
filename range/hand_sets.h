#pragma once
// Set operations on hand sequences. Hands compare by mask value. Large operands go through a
// membership bitset over all hands of their size, so an operation costs time linear in its
// operands; small ones sort a copy of one side and search it, which is cheaper below the size
// where touching the bitset pays. Both ways give identical results, order and repeats included.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "core/cards.h"
#include "core/game.h"

namespace varnel {

using Hands = std::vector<CardMask>;

// Membership of hands of one size, one bit per hand at its position among all C(52, size)
// hands. The bits are allocated zeroed by
// the system and only the pages that are touched cost anything.
class HandBitset {
  public:
    // A set for hands of `cards` cards, 1 <= cards <= kMaxHoleCards.
    explicit HandBitset(int cards);

    int cards() const { return m_cards; }
    // Number of 64-bit words of a set for hands of `cards` cards: C(52, cards) / 64 rounded up.
    static std::size_t wordsFor(int cards);

    // True when `hand` holds exactly cards() cards of the deck: the only hands the set holds.
    bool fits(CardMask hand) const {
        if (hand & ~kFullDeck) return false;
        for (int i = 0; i < m_cards; ++i) {
            if (hand == 0) return false;
            hand &= hand - 1;
        }
        return hand == 0;
    }
    // Adds a fitting hand; false when it was already present.
    bool insert(CardMask hand);
    // Whether the set holds `hand` (false for a hand that does not fit).
    bool contains(CardMask hand) const;
    // Calls use(hand, held) for every hand of `hands` in order, held = contains(hand). The
    // lookups go in blocks whose memory loads overlap, which matters for large sets.
    template <typename Use>
    void lookUp(const Hands& hands, Use&& use) const {
        forEachIndex(hands.data(), hands.size(), [&](CardMask hand, std::uint32_t index) {
            use(hand, index != kNoIndex &&
                          ((m_words[index / kWordBits] >> (index % kWordBits)) & 1) != 0);
        });
    }
    // Inserts the hands of [first, first + count), which must all fit, and calls
    // use(hand, inserted) for each in order (inserted is false for a hand already present).
    template <typename Use>
    void insertEach(const CardMask* first, std::size_t count, Use&& use) {
        forEachIndex(first, count, [&](CardMask hand, std::uint32_t index) {
            std::uint64_t& word = m_words[index / kWordBits];
            const std::uint64_t bit = std::uint64_t{1} << (index % kWordBits);
            use(hand, (word & bit) == 0);
            word |= bit;
        });
    }

  private:
    struct Free {
        void operator()(std::uint64_t* p) const { std::free(p); }
    };
    static constexpr std::size_t kWordBits = 64;
    static constexpr std::uint32_t kNoIndex = UINT32_MAX;  // a hand that does not fit
    static constexpr std::size_t kLookAhead = 32;          // hands whose lookups overlap

    std::uint32_t indexOf(CardMask hand) const;  // kNoIndex when `hand` does not fit
    // The indices of `count` hands, prefetching the words they fall in.
    void prefetchIndices(const CardMask* hands, std::size_t count, std::uint32_t* indices) const;

    // Calls use(hand, index) for each hand in order, index = kNoIndex for one that does not
    // fit. The words of the next block of hands are fetched while a block is used; each block is
    // copied first, so `use` may overwrite hands it has already been given.
    template <typename Use>
    void forEachIndex(const CardMask* hands, std::size_t count, Use&& use) const {
        CardMask blocks[2][kLookAhead];
        std::uint32_t indices[2][kLookAhead];
        const auto fetch = [&](std::size_t start, int slot) {
            if (start >= count) return std::size_t{0};
            const std::size_t n = std::min(kLookAhead, count - start);
            if (n == kLookAhead) {
                std::memcpy(blocks[slot], hands + start,
                            sizeof blocks[slot]);  // fixed size: inline
            } else {
                std::copy(hands + start, hands + start + n, blocks[slot]);
            }
            prefetchIndices(blocks[slot], n, indices[slot]);
            return n;
        };
        std::size_t n = fetch(0, 0);
        for (std::size_t start = 0, slot = 0; start < count; start += kLookAhead, slot ^= 1) {
            const std::size_t next = fetch(start + kLookAhead, static_cast<int>(slot ^ 1));
            for (std::size_t i = 0; i < n; ++i) use(blocks[slot][i], indices[slot][i]);
            n = next;
        }
    }

    int m_cards;
    std::size_t m_wordCount;
    std::unique_ptr<std::uint64_t[], Free> m_words;
};

// How an operation finds its hands: by operand size, or forced (tests compare the two ways).
enum class SetMethod { automatic, sorted, bitset };

// A running result combined with one operand after another, left to right, as a range
// expression's chain of operators is. Consecutive unions keep the running result's membership,
// so a chain of many unions costs time linear in all its operands together.
class HandsChain {
  public:
    explicit HandsChain(Hands first, SetMethod method = SetMethod::automatic);

    // The running result in its order, then every hand of `right`, in its order, that the
    // running result did not hold before this step (a hand repeated in `right` and absent from
    // the result is appended once per repeat).
    void unite(const Hands& right);
    // The hands both hold, ascending by mask value; a hand m times in one side and n times in
    // the other occurs min(m, n) times.
    void intersect(const Hands& right);
    // The running result's hands, in its order, that `right` does not hold; repeats stay.
    void subtract(const Hands& right);

    const Hands& result() const { return m_result; }
    Hands take() { return std::move(m_result); }

  private:
    std::optional<HandBitset> bitsetOf(const Hands& hands, std::size_t work) const;

    Hands m_result;
    SetMethod m_method;
    std::optional<HandBitset> m_members;  // the running result's hands between unions
    std::size_t m_sortedWork = 0;         // hands handled by sorted unions so far
};

// Single operations, as one step of a chain.
Hands handsDifference(Hands left, const Hands& right, SetMethod method = SetMethod::automatic);
Hands handsUnion(Hands left, const Hands& right, SetMethod method = SetMethod::automatic);
Hands handsIntersection(const Hands& left, const Hands& right,
                        SetMethod method = SetMethod::automatic);

}  // namespace varnel
