#pragma once
// Writing and checking the ordering files of one number of hole cards.

#include <filesystem>
#include <string>
#include <vector>

#include "tools/gen-orderings/suit_classes.h"

namespace varnel::gen_orderings {

// Writes the class file and the hand file of the `numCards` ordering into `dir`; `classes` are
// best first and `scores` their equities. Each file is written under a temporary name and then
// renamed, so no half-written file ever carries the final name. Throws std::runtime_error or
// std::filesystem::filesystem_error on an output error.
void writeOrdering(const std::filesystem::path& dir, int numCards,
                   const std::vector<SuitClass>& classes, const std::vector<double>& scores);

// True when both files of the `numCards` ordering in `dir` are valid, read in full: sizes,
// checksums, class counts and every hand; otherwise false with the reason in `why`.
bool orderingValid(const std::filesystem::path& dir, int numCards, std::string& why);

// Paths of the class and hand files.
std::filesystem::path classFilePath(const std::filesystem::path& dir, int numCards);
std::filesystem::path handFilePath(const std::filesystem::path& dir, int numCards);

}  // namespace varnel::gen_orderings
