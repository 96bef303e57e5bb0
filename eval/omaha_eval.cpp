#include "eval/omaha_eval.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>

#include "core/checksum.h"
#include "core/file_errors.h"
#include "eval/table_format.h"

namespace varnel {

void FreeEntries::operator()(OmahaEntry* p) const {
    std::free(p);
}

std::unique_ptr<OmahaTable> makeOmahaTable(std::size_t size) {
    // The walk reads the table at random: huge pages spare most of the TLB misses.
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    auto table = std::make_unique<OmahaTable>();
    table->size = size;
    if (size == 0) return table;
    if (size > std::numeric_limits<std::size_t>::max() / sizeof(OmahaEntry) - kHugePage)
        return nullptr;
    const std::size_t bytes = (size * sizeof(OmahaEntry) + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, bytes);
    if (!p) return nullptr;
    madvise(p, bytes, MADV_HUGEPAGE);
    std::memset(p, 0, bytes);
    table->entries.reset(static_cast<OmahaEntry*>(p));
    return table;
}

ofsm_omaha7::~ofsm_omaha7() = default;

void ofsm_omaha7::attach(std::unique_ptr<OmahaTable> table) {
    m_table = std::move(table);
}

bool ofsm_omaha7::usable() const {
    return m_table && m_table->entries && m_table->size >= kStartState + kDeckSize;
}

const OmahaEntry* ofsm_omaha7::entries() const {
    static constexpr OmahaEntry kZeros[kStartState + kDeckSize] = {};
    return usable() ? m_table->entries.get() : kZeros;
}

ofsm_omaha7& omahaEvaluator() {
    static ofsm_omaha7 instance;
    return instance;
}

namespace {

// A walk reads entry[s + card] for card < 52, so every entry that may serve as a state must keep
// s + 51 inside the table. Final values (at most 7462) are not states, but since levels are not
// marked in the file, every entry is held to the state rule; a real table is padded so that its
// values satisfy it too.
bool entriesBelow(const OmahaEntry* entries, std::size_t count, std::uint64_t limit) {
    OmahaEntry largest = 0;
    for (std::size_t i = 0; i < count; ++i) largest = std::max(largest, entries[i]);
    return count == 0 || largest < limit;
}

// Reads the entries in pieces that stay in the cache while they are summed and range-checked,
// so the checks add no pass over main memory.
bool readCheckedEntries(std::istream& in, OmahaTable& table, Checksum& sum) {
    constexpr std::size_t kPiece = std::size_t{1} << 16;  // entries: 256 KiB
    const std::uint64_t limit = table.size - (kDeckSize - 1);
    for (std::size_t done = 0; done < table.size;) {
        const std::size_t count = std::min(kPiece, table.size - done);
        OmahaEntry* piece = table.entries.get() + done;
        if (!in.read(reinterpret_cast<char*>(piece),
                     static_cast<std::streamsize>(count * sizeof(OmahaEntry))))
            return false;
        sum.add(piece, count * sizeof(OmahaEntry));
        if (!entriesBelow(piece, count, limit)) return false;
        done += count;
    }
    return true;
}

}  // namespace

std::unique_ptr<OmahaTable> loadOmahaTable(const std::string& path) {
    // Only a regular file is opened: a FIFO or a device could block or never end.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const std::error_code ec(errno, std::generic_category());
        if (isMissingPathError(ec)) return nullptr;
        throw std::filesystem::filesystem_error("exists", std::filesystem::path(path), ec);
    }
    if (!S_ISREG(info.st_mode)) return nullptr;

    std::ifstream in(path, std::ios::binary);
    TableHeader header{};
    if (!in || !readTableHeader(in, header)) return nullptr;
    const std::uint64_t fileSize = tableFileSize(header.entryCount);
    if (fileSize == 0 || fileSize != static_cast<std::uint64_t>(info.st_size)) return nullptr;
    // A table smaller than one row cannot hold a state; it is refused unless it is empty.
    if (header.entryCount > 0 && header.entryCount < static_cast<std::uint64_t>(kDeckSize))
        return nullptr;

    auto table = makeOmahaTable(static_cast<std::size_t>(header.entryCount));
    if (!table) return nullptr;
    Checksum sum = contentChecksum(kTableFormatVersion, kTableFileKind);
    sum.add(&header, sizeof header);
    if (!readCheckedEntries(in, *table, sum)) return nullptr;
    DataTrailer trailer{};
    if (!in.read(reinterpret_cast<char*>(&trailer), sizeof trailer)) return nullptr;
    if (trailerMismatch(trailer, kTableFormatVersion, kTableFileKind, sum)) return nullptr;
    return table;
}

BoardState omahaBoardState(const CardId* board) {
    const OmahaEntry* t = omahaEvaluator().entries();
    BoardState s = kStartState;
    for (int i = 0; i < kBoardCards; ++i) s = t[s + kEvalIndex[board[i]]];
    return s;
}

HandValue evaluateOmahaFromState(BoardState boardState, const CardId* hole, int holeCount) {
    const OmahaEntry* t = omahaEvaluator().entries();
    HandValue best = 0;
    for (int i = 0; i + 1 < holeCount; ++i) {
        const std::uint32_t s = t[boardState + kEvalIndex[hole[i]]];
        for (int j = i + 1; j < holeCount; ++j) {
            const auto v = static_cast<HandValue>(t[s + kEvalIndex[hole[j]]]);
            if (v > best) best = v;
        }
    }
    return best;
}

HandValue evaluateOmaha(const CardId* hole, int holeCount, const CardId* board) {
    if (holeCount < 2) return 0;
    return evaluateOmahaFromState(omahaBoardState(board), hole, holeCount);
}

}  // namespace varnel
