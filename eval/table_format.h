#pragma once
// Layout of "omaha-7.bin" (little-endian): 16-byte magic "OFSM Omaha 7" + NUL (bytes 13..15
// free), alphabet size 52 (u32), cards per evaluation 7 (u32), entry count N (u64), N u32
// entries, then a DataTrailer (core/checksum.h) whose checksum covers the header and the entries.

#include <cstdint>
#include <istream>
#include <ostream>

#include "core/checksum.h"

namespace varnel {

inline constexpr char kTableMagic[] = "OFSM Omaha 7";
inline constexpr std::size_t kTableMagicSize = 16;
inline constexpr std::uint32_t kTableAlphabet = 52;
inline constexpr std::uint32_t kTableCardsPerEval = 7;
inline constexpr std::size_t kTableHeaderSize = 32;
inline constexpr std::int32_t kMaxHandValue = 7462;
inline constexpr char kTableFileName[] = "omaha-7.bin";
// Version 1 files had no trailer; a loader refuses them, so the set-up writes them anew.
inline constexpr std::uint32_t kTableFormatVersion = 2;
inline constexpr std::uint32_t kTableFileKind = 1;

struct TableHeader {
    char magic[kTableMagicSize];
    std::uint32_t alphabet;
    std::uint32_t cardsPerEval;
    std::uint64_t entryCount;
};
static_assert(sizeof(TableHeader) == kTableHeaderSize);

// Reads and checks the header (magic compared as a C string of at most 16 characters).
bool readTableHeader(std::istream& in, TableHeader& header);

// The bytes of a table file of `entryCount` entries; 0 when the count is too large for a file.
std::uint64_t tableFileSize(std::uint64_t entryCount);

// Writes a whole table file: a valid header for `count` entries, the entries and the trailer.
void writeTableFile(std::ostream& out, const std::uint32_t* entries, std::uint64_t count);

}  // namespace varnel
