#pragma once
// How many hands typical terms of each shape name: the numbers that the range tests and the
// command-line tests check, stated once.

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace varnel::test {

struct HandCount {
    const wchar_t* term;
    int cards;
    std::uint64_t hands;
};

inline constexpr HandCount kHandCounts[] = {
    {L"A", 4, 76'145},     {L"AA", 4, 6'961},     {L"777", 4, 193},        {L"AK", 4, 17'316},
    {L"AKQ", 4, 2'848},    {L"AAK", 4, 1'108},    {L"AKQJ", 5, 12'288},    {L"AKQJ", 4, 24},
    {L"2222", 5, 48},      {L"xxyy", 4, 36'504},  {L"xxyz", 4, 158'184},   {L"xxxy", 4, 44'616},
    {L"xxy", 4, 239'304},  {L"OORR", 4, 2'808},   {L"Axxy", 4, 45'000},    {L"Axxyy", 4, 10'368},
    {L"AKQT-", 4, 2'304},  {L"999-", 5, 1'544},   {L"8-", 4, 260'099},     {L"$0G", 4, 2'560},
    {L"$1g", 4, 6'912},    {L"$2G", 4, 6'144},    {L"AAKQ", 5, 96},        {L"5532+", 6, 960},
    {L"As", 4, 20'825},    {L"*", 4, 270'725},    {L"RR", 4, 87'685},      {L"RRR", 4, 2'509},
    {L"RRRR", 4, 13},      {L"RRRR", 5, 624},     {L"AsKsXxXx", 4, 1'225}, {L"AsKsQs", 4, 49},
    {L"AsKsQsJsTs", 4, 1}, {L"XhXhXhXh", 4, 715}, {L"hh", 4, 69'667}};

// The number kHandCounts gives for `term`; fails the running test when it gives none.
inline std::uint64_t handCount(std::wstring_view term, int cards) {
    for (const HandCount& c : kHandCounts)
        if (c.term == term && c.cards == cards) return c.hands;
    ADD_FAILURE() << "no hand count for " << std::wstring(term) << " with " << cards << " cards";
    return 0;
}

}  // namespace varnel::test
