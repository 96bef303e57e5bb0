#pragma once
// The data of a program that keeps them per user (an installed one): its folder made, the card
// images linked into it, the evaluator table made on the first start behind a small progress
// dialog, and the hand orderings started in the background. The program then works in that
// folder, as a checkout's program works in its run directory.

#include <functional>
#include <string>

#include "core/folders.h"

namespace varnel {

// Prepares `folders.data` and makes it the working directory. `log` receives one line per step
// worth keeping (what was generated, how long it took, what failed).
void prepareUserData(const Folders& folders, const std::function<void(const std::string&)>& log);

}  // namespace varnel
