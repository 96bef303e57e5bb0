#pragma once
// Construction of the Omaha state-machine table read by eval/omaha_eval.h.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "eval/five_card.h"

namespace varnel::gen_table {

// States (stored rows) per level: 0..5 board cards, then after the first hole card.
inline constexpr int kStateLevels = 7;

struct BuildResult {
    std::vector<std::uint32_t> entries;  // entry 0 first
    std::size_t states[kStateLevels] = {};
};

// Builds the table; `progress` receives one line per finished stage.
BuildResult buildOmahaTable(const five_card::ClassRanks& ranks,
                            const std::function<void(const std::string&)>& progress);

}  // namespace varnel::gen_table
