#pragma once
// Omaha evaluator: a finite-state machine read from "omaha-7.bin".
//
// The machine numbers cards by evalIndex = 4 * rank index + suit index (2c = 0, 2d = 1, ...
// As = 51). A state is an offset into the table; from state s, card e leads to entry[s + e].
// The walk starts at kStartState, takes the five board cards in any order, then two hole cards
// (lower CardId first); the entry reached is the hand value of the best hand made of exactly
// those two hole cards and three board cards: the rank of its five-card class, 1 (7-5-4-3-2
// offsuit) ... 7462 (royal flush). Larger is stronger; equal values are equally strong.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/cards.h"
#include "core/game.h"  // kBoardCards, kMaxHoleCards

namespace varnel {

using OmahaEntry = std::uint32_t;
using HandValue = std::int32_t;
// A point of a walk: the start, or the state after some board cards (in any order).
using BoardState = std::uint32_t;

inline constexpr std::uint32_t kStartState = 52;

// evalIndex of each CardId.
inline constexpr std::array<std::uint8_t, kDeckSize> kEvalIndex = [] {
    std::array<std::uint8_t, kDeckSize> t{};
    for (int id = 0; id < kDeckSize; ++id)
        t[id] = static_cast<std::uint8_t>(4 * rankOf(id) + suitOf(id));
    return t;
}();

struct FreeEntries {
    void operator()(OmahaEntry* p) const;
};

// A loaded transition table.
struct OmahaTable {
    std::unique_ptr<OmahaEntry[], FreeEntries> entries;
    std::size_t size = 0;
};

// A table of `size` zero entries, its storage advised for huge pages; null when it cannot be
// allocated.
std::unique_ptr<OmahaTable> makeOmahaTable(std::size_t size);

// Owner of the process-wide table that the evaluation entries read.
class ofsm_omaha7 {
  public:
    virtual ~ofsm_omaha7();
    // Takes ownership of `table` (may be null), replacing any table held.
    void attach(std::unique_ptr<OmahaTable> table);
    // True when a table large enough to hold the start state is attached.
    bool usable() const;
    const OmahaTable* table() const { return m_table.get(); }
    // The entries the walk reads: the attached table's when usable, else a table of zeros on
    // which every walk stays inside and every hand value is 0.
    const OmahaEntry* entries() const;

  private:
    std::unique_ptr<OmahaTable> m_table;
};

// The process-wide instance read by evaluateOmaha.
ofsm_omaha7& omahaEvaluator();

// Loads a table file (eval/table_format.h); null when the path is missing or not a regular file
// (checked before opening, so a FIFO never blocks), or the file is unreadable, has a wrong
// header, a size other than its header gives, a trailer of another format version, a checksum
// that its content does not give, or an entry that leads outside the table. A file-system query
// that fails for another reason than a missing path throws std::filesystem::filesystem_error.
std::unique_ptr<OmahaTable> loadOmahaTable(const std::string& path);

// Returns the hand value of `holeCount` hole cards (ascending CardId order) on a five-card board
// (any order); 0 when holeCount < 2, and 0 for every hand while no usable table is attached.
HandValue evaluateOmaha(const CardId* hole, int holeCount, const CardId* board);

// The state after walking the five board cards; reuse it for every player on that board.
BoardState omahaBoardState(const CardId* board);

// Same value as evaluateOmaha for the board whose state is `boardState`.
HandValue evaluateOmahaFromState(BoardState boardState, const CardId* hole, int holeCount);

}  // namespace varnel
