#include "range/hand_class.h"

#include <algorithm>
#include <string>

#include "core/report.h"

namespace varnel {
namespace {

constexpr std::string_view kNameRanks = "23456789TJQKA";

// A class name read into parts: each part is the rank set of one suit.
struct ClassParts {
    std::uint16_t ranks[kSuits] = {};
    int count = 0;
    int cards = 0;
};

bool addCard(ClassParts& parts, int part, char c) {
    const auto rank = kNameRanks.find(c);
    if (rank == std::string_view::npos) return false;
    const auto bit = static_cast<std::uint16_t>(1u << rank);
    if (parts.ranks[part] & bit) return false;  // the same card twice
    parts.ranks[part] |= bit;
    ++parts.cards;
    return true;
}

bool parseClassName(std::string_view name, ClassParts& parts) {
    ClassParts groups;
    std::string bare;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '(') {
            const auto close = name.find(')', i + 1);
            if (close == std::string_view::npos || close == i + 1 || groups.count == kSuits) {
                return false;
            }
            for (std::size_t j = i + 1; j < close; ++j) {
                if (!addCard(groups, groups.count, name[j])) return false;
            }
            ++groups.count;
            i = close;
        } else {
            bare.push_back(name[i]);  // checked below; a stray ')' fails there
        }
    }
    // The longer group takes the first suit; bare cards follow the groups.
    std::stable_sort(
        groups.ranks, groups.ranks + groups.count,
        [](std::uint16_t a, std::uint16_t b) { return std::popcount(a) > std::popcount(b); });
    parts = ClassParts{};
    for (int g = 0; g < groups.count; ++g) {
        parts.ranks[g] = groups.ranks[g];
        parts.cards += std::popcount(groups.ranks[g]);
    }
    parts.count = groups.count;
    for (char c : bare) {
        if (parts.count == kSuits || !addCard(parts, parts.count, c)) return false;
        ++parts.count;
    }
    return parts.count > 0;
}

CardMask suitMask(std::uint16_t ranks, int suit) {
    return static_cast<CardMask>(ranks) << (kRanks * suit);
}

// Every injective assignment of suits to the parts, the first part's suit outermost.
void assignSuits(const ClassParts& parts, int part, unsigned taken, CardMask hand, HandList& list,
                 std::size_t first) {
    if (part == parts.count) {
        const auto begin = list.hands.begin() + static_cast<std::ptrdiff_t>(first);
        if (std::find(begin, list.hands.end(), hand) == list.hands.end()) {
            list.hands.push_back(hand);
        }
        return;
    }
    for (int suit = 0; suit < kSuits; ++suit) {
        if (taken & (1u << suit)) continue;
        assignSuits(parts, part + 1, taken | (1u << suit), hand | suitMask(parts.ranks[part], suit),
                    list, first);
    }
}

}  // namespace

std::int32_t expandHandClass(std::string_view name, HandList& list) {
    ClassParts parts;
    if (!parseClassName(name, parts)) return 0;
    if (list.numCards > 0 && parts.cards != list.numCards) return 0;
    const std::size_t first = list.hands.size();
    assignSuits(parts, 0, 0, 0, list, first);
    return static_cast<std::int32_t>(list.hands.size() - first);
}

std::int32_t countSixCardClass(std::string_view name) {
    if (name.find('(') == std::string_view::npos) {
        std::wstring wide;
        for (unsigned char c : name) wide.push_back(static_cast<wchar_t>(c));
        reportToUser(L"String " + wide);
        return 0;
    }
    HandList list;
    list.numCards = 6;
    return expandHandClass(name, list);
}

}  // namespace varnel
