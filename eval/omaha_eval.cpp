#include "eval/omaha_eval.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>

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
// values satisfy it too. An empty table is accepted (and counts as no table for evaluating).
bool entriesInRange(const OmahaTable& table) {
    if (table.size == 0) return true;
    if (table.size < static_cast<std::size_t>(kDeckSize)) return false;
    const std::uint64_t limit = table.size - (kDeckSize - 1);
    for (std::size_t i = 0; i < table.size; ++i) {
        if (table.entries[i] >= limit) return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<OmahaTable> loadOmahaTable(const std::string& path) {
    const std::filesystem::path p(path);
    std::error_code ec;
    const bool exists = std::filesystem::exists(p, ec);
    if (ec && !isMissingPathError(ec)) {
        throw std::filesystem::filesystem_error("exists", p, ec);
    }
    if (!exists) return nullptr;

    std::ifstream in(p, std::ios::binary);
    if (!in) return nullptr;
    TableHeader header{};
    if (!readTableHeader(in, header)) return nullptr;

    std::error_code sizeEc;
    const auto fileSize = std::filesystem::file_size(p, sizeEc);
    if (sizeEc) return nullptr;
    const std::uint64_t available = (fileSize - kTableHeaderSize) / sizeof(OmahaEntry);
    if (header.entryCount > available) return nullptr;

    auto table = makeOmahaTable(static_cast<std::size_t>(header.entryCount));
    if (!table) return nullptr;
    if (table->size > 0) {
        in.read(reinterpret_cast<char*>(table->entries.get()),
                static_cast<std::streamsize>(table->size * sizeof(OmahaEntry)));
        if (!in) return nullptr;
    }
    if (!entriesInRange(*table)) return nullptr;
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
