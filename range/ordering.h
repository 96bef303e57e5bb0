#pragma once
// Percentage ranges: the best hands of an ordering of all hands, one ordering per number of hole
// cards (4 to 7). The files (range/ordering_files.h) are looked up by bare name in the working
// directory, checked and loaded once per process on first use; each selection reads, and
// checks, only the blocks of the hand file it needs. An ordering that is missing or not valid is
// never used: the selection says why, and the next selection for that number of cards tries to
// load it again (files may appear while the program runs).

#include <cstdint>
#include <string>

#include "core/hand_list.h"

namespace varnel {

struct TopHands {
    HandList list;
    // Empty when the ordering served; otherwise why it could not, as
    // "the 6-card percentage ranges are not available: file ... doesn't exist".
    std::wstring problem;
};

// The hands of every class whose cumulative percentage lies strictly below `percent`, best class
// first; every hand of the game for 100 and above. A numCards without an ordering names no hands
// and has no problem. Uses the process-wide caches, unlocked: call from one thread at a time.
TopHands selectTopPercent(std::int32_t numCards, double percent);

// Empties the process-wide caches, so that the next selection loads the files again.
void resetOrderingCaches();

}  // namespace varnel
