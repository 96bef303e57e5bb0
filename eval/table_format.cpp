#include "eval/table_format.h"

#include <cstring>
#include <limits>

namespace varnel {

bool readTableHeader(std::istream& in, TableHeader& header) {
    if (!in.read(reinterpret_cast<char*>(&header), sizeof header)) return false;
    return std::strncmp(header.magic, kTableMagic, kTableMagicSize) == 0 &&
           header.alphabet == kTableAlphabet && header.cardsPerEval == kTableCardsPerEval;
}

std::uint64_t tableFileSize(std::uint64_t entryCount) {
    constexpr std::uint64_t kFixed = kTableHeaderSize + sizeof(DataTrailer);
    if (entryCount > (std::numeric_limits<std::int64_t>::max() - kFixed) / sizeof(std::uint32_t))
        return 0;
    return kFixed + entryCount * sizeof(std::uint32_t);
}

void writeTableFile(std::ostream& out, const std::uint32_t* entries, std::uint64_t count) {
    TableHeader header{};
    std::memcpy(header.magic, kTableMagic, sizeof kTableMagic);
    header.alphabet = kTableAlphabet;
    header.cardsPerEval = kTableCardsPerEval;
    header.entryCount = count;
    Checksum sum = contentChecksum(kTableFormatVersion, kTableFileKind);
    sum.add(&header, sizeof header);
    sum.add(entries, count * sizeof *entries);
    const DataTrailer trailer = makeTrailer(kTableFormatVersion, kTableFileKind, sum);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(entries),
              static_cast<std::streamsize>(count * sizeof *entries));
    out.write(reinterpret_cast<const char*>(&trailer), sizeof trailer);
}

}  // namespace varnel
