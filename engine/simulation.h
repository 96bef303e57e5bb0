#pragma once
// Monte Carlo equity simulation. (Interface draft: the simulation work fills in the details.)

#include <cstdint>
#include <functional>
#include <optional>

#include "core/cards.h"
#include "core/hand_list.h"

namespace varnel {

inline constexpr int kMaxPlayers = 10;
inline constexpr int kMaxBoards = 2;

using ProgressCallback = std::function<void(int)>;

}  // namespace varnel
