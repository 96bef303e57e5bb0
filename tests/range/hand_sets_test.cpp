// Set operations through the membership bitset against the sorting way, on random operands and
// on random range expressions; the bitset's positions checked on every hand of small sizes.
#include "range/hand_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "oracle.h"
#include "range/hand_pattern.h"
#include "range/range_expression.h"

namespace varnel {
namespace {

// Every hand of a size gets a bit of its own: inserting all of them never meets a taken bit.
TEST(HandBitset, HoldsEveryHandOfItsSizeAndNoOther) {
    for (int cards : {1, 2, 3, 4}) {
        Hands all = test::allHands(cards);
        std::shuffle(all.begin(), all.end(), std::mt19937_64(cards));
        HandBitset set(cards);
        const std::size_t half = all.size() / 2;
        set.insertEach(all.data(), half, [](CardMask, bool inserted) { EXPECT_TRUE(inserted); });
        std::size_t at = 0;
        set.insertEach(all.data(), all.size(), [&](CardMask, bool inserted) {
            ASSERT_EQ(inserted, at++ >= half) << cards << " cards";
        });
        std::size_t held = 0;
        set.lookUp(all, [&](CardMask, bool in) { held += in; });
        EXPECT_EQ(held, all.size());
        EXPECT_FALSE(set.contains(all.front() | (CardMask{1} << 60)));
        EXPECT_FALSE(set.contains(cardBit(0) | cardBit(1) | cardBit(2) | cardBit(3) | cardBit(4)));
    }
}

// Random hands of `cards` cards drawn from the lowest `spread` cards, so that repeats occur.
Hands randomHands(std::mt19937_64& rng, int cards, int spread, std::size_t count) {
    Hands hands(count);
    for (CardMask& hand : hands) {
        hand = 0;
        while (cardCount(hand) < cards) hand |= cardBit(static_cast<CardId>(rng() % spread));
    }
    return hands;
}

// A random chain of one operator over random operands, nested up to `depth`, evaluated both
// ways; the operands mostly share a size (seven cards now and then) and sometimes mix in hands
// of another size.
Hands randomChain(std::mt19937_64& rng, int depth, Hands& sorted) {
    const int cards = rng() % 16 ? 2 + static_cast<int>(rng() % 3) : 7;
    auto operand = [&](Hands& plain) {
        if (depth > 0 && rng() % 3 == 0) return randomChain(rng, depth - 1, plain);
        plain = randomHands(rng, rng() % 8 ? cards : cards - 1, 10, rng() % 200);
        return plain;
    };
    Hands plainFirst;
    HandsChain fast(operand(plainFirst), SetMethod::bitset);
    HandsChain slow(plainFirst, SetMethod::sorted);
    const int op = static_cast<int>(rng() % 3);
    for (int steps = static_cast<int>(rng() % 4) + 1; steps > 0; --steps) {
        Hands plain;
        const Hands hands = operand(plain);
        if (op == 0) fast.unite(hands), slow.unite(plain);
        if (op == 1) fast.intersect(hands), slow.intersect(plain);
        if (op == 2) fast.subtract(hands), slow.subtract(plain);
    }
    sorted = slow.take();
    return fast.take();
}

TEST(HandsChain, BitsetWayEqualsSortedWayOnRandomChains) {
    std::mt19937_64 rng(151);
    for (int round = 0; round < 400; ++round) {
        Hands sorted;
        const Hands fast = randomChain(rng, 2, sorted);
        ASSERT_EQ(fast, sorted) << "round " << round;
    }
}

// Random expressions over pattern terms: the evaluator (bitset way for these operand sizes)
// against the terms' hands combined the sorting way.
struct Expression {
    std::wstring text;
    Hands hands;
};

Expression randomExpression(std::mt19937_64& rng, int depth) {
    static const wchar_t* const kTerms[] = {L"As",  L"AK",   L"xxyy", L"RR", L"KsQs",
                                            L"T9+", L"2c3d", L"Qh",   L"JJ", L"AsKd"};
    if (depth == 0 || rng() % 3 == 0) {
        HandList list{{}, 4};
        const wchar_t* term = kTerms[rng() % std::size(kTerms)];
        expandHandPattern(term, list);
        return {term, list.hands};
    }
    const wchar_t op = L",:!"[rng() % 3];
    Expression first = randomExpression(rng, depth - 1);
    HandsChain chain(first.hands, SetMethod::sorted);
    std::wstring text = L"(" + first.text;
    for (int steps = static_cast<int>(rng() % 3) + 1; steps > 0; --steps) {
        const Expression next = randomExpression(rng, depth - 1);
        text += op + next.text;
        if (op == L',') chain.unite(next.hands);
        if (op == L':') chain.intersect(next.hands);
        if (op == L'!') chain.subtract(next.hands);
    }
    return {text + L")", chain.take()};
}

TEST(HandsChain, ExpressionsEqualTheSortedWay) {
    std::mt19937_64 rng(1506);
    for (int round = 0; round < 30; ++round) {
        const Expression e = randomExpression(rng, 3);
        HandList list;
        parseRangeExpression(e.text, 4, list);
        ASSERT_EQ(list.hands, e.hands) << std::string(e.text.begin(), e.text.end());
    }
}

}  // namespace
}  // namespace varnel
