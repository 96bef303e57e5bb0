#pragma once
// Layout of the ordering files (all little-endian, no headers), shared by the loader and the
// generator. Each ordering is a class file (records in ordering order, best class first) and a
// hand file (one u64 CardMask per hand, grouped by class in class-file order).
//  - 4 and 5 hole cards, 20-byte records: name as 9 UTF-16 units padded with blanks, one unused
//    byte, the class's hand count as u8.
//  - 6 and 7 hole cards, L + 20-byte records (L = 12 or 13): name as L 8-bit characters padded
//    with blanks, score (f64), hand count (u32), cumulative percentage of all hands (f64), which
//    is the running hand count * 100.0 / all hands.
// Both files end in a DataTrailer (core/checksum.h). The class file's covers its records. The
// hand file's masks are followed by an index that its trailer covers: one checksum per block of
// kHandBlock masks (the last block may be shorter; each sum is seeded by the format, then fed the
// block's number as a u64 and its masks), then the checksum of the class file it belongs to.
// So a selection checks exactly the blocks it reads, and two files of different runs never pair.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace varnel {

// Version 1 files had no trailers; loaders refuse them, so the set-up writes them anew.
inline constexpr std::uint32_t kOrderingFormatVersion = 2;
inline constexpr std::uint32_t kClassFileKind = 2;
inline constexpr std::uint32_t kHandFileKind = 3;
inline constexpr std::size_t kHandBlock = 10000;

struct OrderingFormat {
    std::int32_t numCards;
    std::wstring_view nominalName;  // "….txt"; the class file ends in "bin", the hand file in "64"
    std::int32_t classCount;
    std::int32_t totalHands;  // 52 choose numCards
};

inline constexpr std::array<OrderingFormat, 4> kOrderingFormats = {{
    {4, L"oh6maxordering.txt", 16432, 270725},
    {5, L"oh56maxordering.txt", 134459, 2598960},
    {6, L"oh6vsrandomordering.txt", 962988, 20358520},
    {7, L"oh7vsrandomordering.txt", 6009159, 133784560},
}};

// The format for `numCards`, or null when no ordering exists for it.
constexpr const OrderingFormat* orderingFormat(std::int32_t numCards) {
    for (const auto& f : kOrderingFormats) {
        if (f.numCards == numCards) return &f;
    }
    return nullptr;
}

// Records of 4 and 5 hole cards.
inline constexpr int kShortNameUnits = 9;
inline constexpr int kShortRecordSize = 20;
inline constexpr int kShortCountOffset = 19;

// Records of 6 and 7 hole cards: name length L, then score, count and cumulative percentage.
constexpr int ratedNameLength(std::int32_t numCards) {
    return numCards == 6 ? 12 : 13;
}
constexpr int ratedRecordSize(std::int32_t numCards) {
    return ratedNameLength(numCards) + 20;
}
constexpr bool usesRatedRecords(std::int32_t numCards) {
    return numCards >= 6;
}
constexpr int classRecordSize(std::int32_t numCards) {
    return usesRatedRecords(numCards) ? ratedRecordSize(numCards) : kShortRecordSize;
}

}  // namespace varnel
