#include "eval/table_format.h"

#include <cstring>

namespace varnel {

bool readTableHeader(std::istream& in, TableHeader& header) {
    if (!in.read(reinterpret_cast<char*>(&header), sizeof header)) return false;
    return std::strncmp(header.magic, kTableMagic, kTableMagicSize) == 0 &&
           header.alphabet == kTableAlphabet && header.cardsPerEval == kTableCardsPerEval;
}

void writeTableHeader(std::ostream& out, std::uint64_t entryCount) {
    TableHeader header{};
    std::memcpy(header.magic, kTableMagic, sizeof kTableMagic);
    header.alphabet = kTableAlphabet;
    header.cardsPerEval = kTableCardsPerEval;
    header.entryCount = entryCount;
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
}

}  // namespace varnel
