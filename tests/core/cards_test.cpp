#include "core/cards.h"

#include <set>

#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

TEST(CardCodes, TableRoundTripsAndIsUnique) {
    std::set<std::wstring_view> seen;
    const std::wstring ranks = L"23456789TJQKA", suits = L"cdhs";
    for (int id = 0; id < kDeckSize; ++id) {
        const std::wstring expected{ranks[id % 13], suits[id / 13]};
        EXPECT_EQ(cardCodes[id], expected);
        EXPECT_EQ(cardIdFromCode(cardCodes[id]), id);
        seen.insert(cardCodes[id]);
    }
    EXPECT_EQ(seen.size(), 52u);
}

TEST(CardCodes, RejectsEverythingElse) {
    for (const wchar_t* bad : {L"as", L"AS", L"10s", L"A", L"Ass", L"", L"s A", L"1c", L"Zc"}) {
        EXPECT_EQ(cardIdFromCode(bad), kNoCard) << std::wstring(bad).size();
    }
    for (auto wild : wildcardCodes) EXPECT_EQ(cardIdFromCode(wild), kNoCard);
    EXPECT_EQ(wildcardCodes.front(), L"Xc");
    EXPECT_EQ(wildcardCodes[4], L"2x");
    EXPECT_EQ(wildcardCodes[16], L"Ax");
    EXPECT_EQ(wildcardCodes.back(), L"Xx");
}

TEST(CardMasks, ConversionsAreAscendingAndIdempotent) {
    const CardId cards[] = {51, 0};
    const CardMask mask = maskFromCards(cards);
    EXPECT_EQ(mask, (CardMask{1} << 51) | 1u);
    EXPECT_EQ(cardsFromMask(mask), (std::vector<CardId>{0, 51}));
    EXPECT_EQ(maskFromCards(std::span<const CardId>{}), 0u);
    const CardId twice[] = {12, 12};
    EXPECT_EQ(cardCount(maskFromCards(twice)), 1);
    EXPECT_EQ(cardsFromMask(kFullDeck).size(), 52u);
    EXPECT_EQ(cardCount(kFullDeck), 52);
}

TEST(CardRuns, ParsesConcatenatedCodes) {
    CardMask mask = 0;
    ASSERT_TRUE(parseCardRun(L"AsKd7h", mask));
    EXPECT_EQ(cardCount(mask), 3);
    ASSERT_TRUE(parseCardRun(L"AsKd7h2", mask));  // trailing character ignored
    EXPECT_EQ(mask, cardBit(51) | cardBit(24) | cardBit(31));
    mask = 7;
    EXPECT_FALSE(parseCardRun(L"AsXx7h", mask));
    EXPECT_FALSE(parseCardRun(L"AsAs7h", mask));
    EXPECT_EQ(mask, 7u);  // untouched on failure
}

}  // namespace
}  // namespace varnel::test
