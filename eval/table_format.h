#pragma once
// Layout of "omaha-7.bin" (little-endian): 16-byte magic "OFSM Omaha 7" + NUL (bytes 13..15
// free), alphabet size 52 (u32), cards per evaluation 7 (u32), entry count N (u64), N u32 entries.

#include <cstdint>
#include <istream>
#include <ostream>

namespace varnel {

inline constexpr char kTableMagic[] = "OFSM Omaha 7";
inline constexpr std::size_t kTableMagicSize = 16;
inline constexpr std::uint32_t kTableAlphabet = 52;
inline constexpr std::uint32_t kTableCardsPerEval = 7;
inline constexpr std::size_t kTableHeaderSize = 32;
inline constexpr std::int32_t kMaxHandValue = 7462;
inline constexpr char kTableFileName[] = "omaha-7.bin";

struct TableHeader {
    char magic[kTableMagicSize];
    std::uint32_t alphabet;
    std::uint32_t cardsPerEval;
    std::uint64_t entryCount;
};
static_assert(sizeof(TableHeader) == kTableHeaderSize);

// Reads and checks the header (magic compared as a C string of at most 16 characters).
bool readTableHeader(std::istream& in, TableHeader& header);

// Writes a valid header for `entryCount` entries.
void writeTableHeader(std::ostream& out, std::uint64_t entryCount);

}  // namespace varnel
