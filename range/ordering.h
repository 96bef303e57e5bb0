#pragma once
// Orderings of all hands by strength, one per number of hole cards (4 to 7), and the selection
// of the best hands up to a percentage. The files are looked up by bare name in the working
// directory (layout in range/ordering_format.h) and loaded once per process on first use; a
// missing file is reported to the user ("File <name> doesn't exist!", caption "File error"),
// and a failed load is retried, and reported again, on the next selection. Files may appear
// while the program runs: while the file kOrderingsBeingGenerated exists in the working
// directory, a missing file is reported as "File <name> is being generated, try again in a few
// minutes".
//
// Class names are held as narrow strings (the 8-bit names of the 6/7-card files as they are;
// the UTF-16 names of the 4/5-card files converted to UTF-8).

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/hand_list.h"
#include "range/ordering_format.h"

namespace varnel {

// Present while the set-up generates the orderings in the background (scripts/common.sh).
inline constexpr const wchar_t* kOrderingsBeingGenerated = L"orderings.generating";

// The cumulative share of the classes up to and including one class, and their hands.
struct CumulativeCount {
    double percent = 0;
    std::uint32_t hands = 0;
};

// The in-memory ordering of one number of hole cards.
struct OrderingTable {
    std::int32_t numCards = 0;
    std::int32_t classCount = 0;  // class records to read; 0 when no ordering exists
    std::int32_t totalHands = 0;  // 52 choose numCards; 0 when no ordering exists
    std::wstring nominalName;
    std::map<std::string, double> percentByClass;  // 4/5 cards: its size tells "loaded"
    // Ascending by percentage, one entry per distinct cumulative percentage; a selection finds
    // its count by binary search.
    std::vector<CumulativeCount> cumulative;
};

// One record of a 6- or 7-card class file (the score field is not kept: nothing uses it).
inline constexpr int kMaxRatedNameLength = ratedNameLength(7);
struct RatedClass {
    std::array<char, kMaxRatedNameLength> name{};  // trailing whitespace removed, zero-filled
    std::uint32_t handCount = 0;
    double cumulativePercent = 0;

    std::string_view nameView() const;
};
using RatedClasses = std::vector<RatedClass>;

// A table for `numCards` with its counts and nominal name set and nothing loaded.
OrderingTable makeOrderingTable(std::int32_t numCards);

// "x.txt" -> "x.bin" and "x.txt" -> "x.64".
std::wstring classFileName(const std::wstring& nominalName);
std::wstring handFileName(const std::wstring& nominalName);

// Fills percentByClass and the cumulative counts of a 4- or 5-card table from its class file
// (records past the end of a short file are not invented). Returns 1, or 0 after reporting a
// missing class file.
int loadClassFile(OrderingTable& table);

// The records of the class file of a 6- or 7-card ordering, one per name (a repeated name keeps
// its first record), ascending by cumulative percentage and by name among equal percentages.
// Empty after reporting a missing file.
RatedClasses loadRatedClassFile(std::int32_t numCards, const std::wstring& nominalName);

// The hands of every class whose cumulative percentage lies strictly below `percent`, best
// class first, read from the hand file (loading the ordering on first use). Empty for a
// missing file or a numCards without an ordering. Uses the process-wide caches, unlocked: call
// from one thread at a time.
HandList selectTopPercent(std::int32_t numCards, double percent);

// Empties the process-wide caches, so that the next selection loads the files again.
void resetOrderingCaches();

}  // namespace varnel
