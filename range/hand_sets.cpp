#include "range/hand_sets.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <iterator>
#include <new>
#include <utility>

#include "range/combinations.h"

namespace varnel {
namespace {

// A hand's position among all hands of its size counts its cards from the top of the deck:
// card c is 51 - c, and the (i + 1)-th highest card weighs binomial(51 - c, i + 1). Hands
// enumerated lowest card slowest, as the patterns list them, then take consecutive positions,
// so that large operands walk the bitset in order instead of jumping across it.
// kWeight[c][i] is that weight.
constexpr auto kWeight = [] {
    std::array<std::array<std::uint32_t, kMaxHoleCards>, kDeckSize> table{};
    for (int c = 0; c < kDeckSize; ++c) {
        for (int i = 0; i < kMaxHoleCards; ++i) {
            table[c][i] = static_cast<std::uint32_t>(binomial(kDeckSize - 1 - c, i + 1));
        }
    }
    return table;
}();

// A bitset pays once the operands hold at least one hand per this many of its words; below
// that, sorting the operands is cheaper than touching the bitset's pages.
constexpr std::size_t kWordsPerOperandHand = 16;

// Sorts hands of the deck (masks below 2^52) ascending in time linear in their number: a radix
// sort over four 13-bit digits. Below one hand per bucket, clearing the buckets costs more than
// a comparison sort.
void sortHands(Hands& hands) {
    constexpr int kDigitBits = 13, kDigits = 4;
    static_assert(kDigitBits * kDigits >= kDeckSize);
    constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
    if (hands.size() < kBuckets) {
        std::sort(hands.begin(), hands.end());
        return;
    }
    Hands spare(hands.size());
    std::vector<std::size_t> start(kBuckets);
    for (int digit = 0; digit < kDigits; ++digit) {
        const int shift = digit * kDigitBits;
        std::fill(start.begin(), start.end(), 0);
        for (CardMask hand : hands) ++start[(hand >> shift) & (kBuckets - 1)];
        std::size_t total = 0;
        for (std::size_t& s : start) total += std::exchange(s, total);
        for (CardMask hand : hands) spare[start[(hand >> shift) & (kBuckets - 1)]++] = hand;
        hands.swap(spare);
    }
}

Hands sortedCopy(const Hands& hands) {
    Hands sorted = hands;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

Hands sortedDifference(Hands left, const Hands& right) {
    const Hands excluded = sortedCopy(right);
    std::erase_if(left, [&](CardMask hand) {
        return std::binary_search(excluded.begin(), excluded.end(), hand);
    });
    return left;
}

Hands sortedUnion(Hands left, const Hands& right) {
    const Hands present = sortedCopy(left);
    std::copy_if(right.begin(), right.end(), std::back_inserter(left), [&](CardMask hand) {
        return !std::binary_search(present.begin(), present.end(), hand);
    });
    return left;
}

Hands sortedIntersection(const Hands& left, const Hands& right) {
    const Hands a = sortedCopy(left), b = sortedCopy(right);
    Hands out;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

}  // namespace

std::size_t HandBitset::wordsFor(int cards) {
    return static_cast<std::size_t>((binomial(kDeckSize, cards) + kWordBits - 1) / kWordBits);
}

HandBitset::HandBitset(int cards)
    : m_cards(cards),
      m_wordCount(wordsFor(cards)),
      m_words(static_cast<std::uint64_t*>(std::calloc(m_wordCount, sizeof(std::uint64_t)))) {
    assert(cards >= 1 && cards <= kMaxHoleCards);
    if (!m_words) throw std::bad_alloc();
}

std::uint32_t HandBitset::indexOf(CardMask hand) const {
    if (hand & ~kFullDeck) return kNoIndex;
    std::uint32_t index = 0;
    // From the lowest card up, the (m_cards - i)-th highest.
    for (int i = m_cards - 1; i >= 0; --i) {
        if (hand == 0) return kNoIndex;
        index += kWeight[std::countr_zero(hand)][i];
        hand &= hand - 1;
    }
    return hand == 0 ? index : kNoIndex;
}

void HandBitset::prefetchIndices(const CardMask* hands, std::size_t count,
                                 std::uint32_t* indices) const {
    for (std::size_t i = 0; i < count; ++i) {
        indices[i] = indexOf(hands[i]);
        if (indices[i] != kNoIndex) __builtin_prefetch(&m_words[indices[i] / kWordBits]);
    }
}

bool HandBitset::insert(CardMask hand) {
    const std::uint32_t index = indexOf(hand);
    assert(index != kNoIndex);
    std::uint64_t& word = m_words[index / kWordBits];
    const std::uint64_t bit = std::uint64_t{1} << (index % kWordBits);
    if (word & bit) return false;
    word |= bit;
    return true;
}

bool HandBitset::contains(CardMask hand) const {
    const std::uint32_t index = indexOf(hand);
    if (index == kNoIndex) return false;
    return (m_words[index / kWordBits] >> (index % kWordBits)) & 1;
}

HandsChain::HandsChain(Hands first, SetMethod method)
    : m_result(std::move(first)), m_method(method) {}

// An empty bitset for the size of `hands` when the bitset way applies: every hand of the
// indexed side has the same size, and (unless forced) the operation handles enough hands.
std::optional<HandBitset> HandsChain::bitsetOf(const Hands& hands, std::size_t work) const {
    if (m_method == SetMethod::sorted || hands.empty()) return std::nullopt;
    const int cards = cardCount(hands.front());
    if (cards < 1 || cards > kMaxHoleCards) return std::nullopt;
    if (m_method == SetMethod::automatic &&
        work * kWordsPerOperandHand < HandBitset::wordsFor(cards)) {
        return std::nullopt;
    }
    HandBitset set(cards);
    if (!std::all_of(hands.begin(), hands.end(), [&](CardMask h) { return set.fits(h); })) {
        return std::nullopt;
    }
    return set;
}

void HandsChain::unite(const Hands& right) {
    if (!m_members) {
        m_sortedWork += m_result.size() + right.size();
        m_members = bitsetOf(m_result, m_sortedWork);
        if (!m_members) {
            m_result = sortedUnion(std::move(m_result), right);
            return;
        }
        m_members->insertEach(m_result.data(), m_result.size(), [](CardMask, bool) {});
    }
    const std::size_t before = m_result.size();
    m_result.reserve(before + right.size());  // no copies while growing
    m_members->lookUp(right, [&](CardMask hand, bool held) {
        if (!held) m_result.push_back(hand);
    });
    const auto added = m_result.begin() + static_cast<std::ptrdiff_t>(before);
    if (!std::all_of(added, m_result.end(), [&](CardMask h) { return m_members->fits(h); })) {
        m_members.reset();  // a hand of another size: the next union decides afresh
        return;
    }
    m_members->insertEach(m_result.data() + before, m_result.size() - before,
                          [](CardMask, bool) {});
}

void HandsChain::subtract(const Hands& right) {
    m_members.reset();
    std::optional<HandBitset> excluded = bitsetOf(right, m_result.size() + right.size());
    if (!excluded) {
        m_result = sortedDifference(std::move(m_result), right);
        return;
    }
    excluded->insertEach(right.data(), right.size(), [](CardMask, bool) {});
    std::size_t kept = 0;
    excluded->lookUp(m_result, [&](CardMask hand, bool held) {
        if (!held) m_result[kept++] = hand;
    });
    m_result.resize(kept);
}

void HandsChain::intersect(const Hands& right) {
    m_members.reset();
    std::optional<HandBitset> inRight = bitsetOf(right, m_result.size() + right.size());
    if (!inRight) {
        m_result = sortedIntersection(m_result, right);
        return;
    }
    // The hands of the running result that `right` holds, each as often as the result holds
    // it, ascending; a hand repeated on the right allows as many copies as it has there.
    Hands repeatsRight;
    inRight->insertEach(right.data(), right.size(), [&](CardMask hand, bool inserted) {
        if (!inserted) repeatsRight.push_back(hand);
    });
    Hands matched;
    inRight->lookUp(m_result, [&](CardMask hand, bool held) {
        if (held) matched.push_back(hand);
    });
    sortHands(matched);
    sortHands(repeatsRight);
    m_result.clear();
    auto repeat = repeatsRight.begin();
    for (auto run = matched.begin(); run != matched.end();) {
        const auto runEnd = std::find_if(run, matched.end(), [&](CardMask h) { return h != *run; });
        while (repeat != repeatsRight.end() && *repeat < *run) ++repeat;
        std::size_t allowed = 1;
        for (; repeat != repeatsRight.end() && *repeat == *run; ++repeat) ++allowed;
        const auto copies = std::min<std::size_t>(allowed, static_cast<std::size_t>(runEnd - run));
        m_result.insert(m_result.end(), copies, *run);
        run = runEnd;
    }
}

Hands handsDifference(Hands left, const Hands& right, SetMethod method) {
    HandsChain chain(std::move(left), method);
    chain.subtract(right);
    return chain.take();
}

Hands handsUnion(Hands left, const Hands& right, SetMethod method) {
    HandsChain chain(std::move(left), method);
    chain.unite(right);
    return chain.take();
}

Hands handsIntersection(const Hands& left, const Hands& right, SetMethod method) {
    HandsChain chain(left, method);
    chain.intersect(right);
    return chain.take();
}

}  // namespace varnel
