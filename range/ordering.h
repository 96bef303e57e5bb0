#pragma once
// Orderings of all hands by strength, one per number of hole cards (4 to 7), and the selection
// of the best hands up to a percentage. The files are looked up by bare name in the working
// directory (layout in range/ordering_format.h) and loaded once per process on first use; a
// missing file is reported to the user ("File <name> doesn't exist!", caption "File error"),
// and a failed load is retried, and reported again, on the next selection.
//
// Class names are held as narrow strings (the 8-bit names of the 6/7-card files as they are;
// the UTF-16 names of the 4/5-card files converted to UTF-8).

#include <cstdint>
#include <map>
#include <string>

#include "core/hand_list.h"

namespace varnel {

// The in-memory ordering of one number of hole cards.
struct OrderingTable {
    std::int32_t numCards = 0;
    std::int32_t classCount = 0;  // class records to read; 0 when no ordering exists
    std::int32_t totalHands = 0;  // 52 choose numCards; 0 when no ordering exists
    std::wstring nominalName;
    std::map<std::string, double> percentByClass;    // 4/5 cards: its size tells "loaded"
    std::map<double, std::string> classByPercent;    // cumulative percentage -> class
    std::map<double, std::uint32_t> countByPercent;  // cumulative percentage -> cumulative hands
};

// One record of a 6- or 7-card class file.
struct RatedClass {
    std::uint32_t handCount = 0;
    double score = 0;
    double cumulativePercent = 0;
};
using RatedClassMap = std::map<std::string, RatedClass>;

// A table for `numCards` with its counts and nominal name set and its maps empty.
OrderingTable makeOrderingTable(std::int32_t numCards);

// "x.txt" -> "x.bin" and "x.txt" -> "x.64".
std::wstring classFileName(const std::wstring& nominalName);
std::wstring handFileName(const std::wstring& nominalName);

// Fills the three maps of a 4- or 5-card table from its class file (records past the end of a
// short file are not invented). Returns 1, or 0 after reporting a missing class file.
int loadClassFile(OrderingTable& table);

// Clears `rated` and fills it from the class file of a 6- or 7-card ordering; a repeated name
// keeps its first record. Returns the number of entries, 0 after reporting a missing file.
std::size_t loadRatedClassFile(std::int32_t numCards, const std::wstring& nominalName,
                               RatedClassMap& rated);

// The hands of every class whose cumulative percentage lies strictly below `percent`, best
// class first, read from the hand file (loading the ordering on first use). Empty for a
// missing file or a numCards without an ordering. Uses the process-wide caches, unlocked: call
// from one thread at a time.
HandList selectTopPercent(std::int32_t numCards, double percent);

// Empties the process-wide caches, so that the next selection loads the files again.
void resetOrderingCaches();

}  // namespace varnel
