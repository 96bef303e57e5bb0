#pragma once
// Ranks 1..7462 of the five-card hand classes, numbered by walking the classes in ascending
// strength: high card, one pair, two pair, three of a kind, straight, flush, full house,
// four of a kind, straight flush.

#include <array>
#include <cstdint>
#include <vector>

namespace varnel::gen {

inline constexpr int kRankCount = 13;
inline constexpr unsigned kRankMaskCount = 1u << kRankCount;
using ClassRank = std::uint16_t;

class HandClasses {
  public:
    HandClasses();

    // Class of five cards not all of one suit, given by their ranks in any order; 0 when one
    // rank appears five times.
    ClassRank plain(int a, int b, int c, int d, int e) const;

    // Class of five cards of one suit with the given 13-bit rank set; 0 unless it has 5 ranks.
    ClassRank flush(unsigned rankMask) const { return m_flush[rankMask]; }

  private:
    void setPlain(std::array<int, 5> ranks, ClassRank value);

    std::vector<ClassRank> m_plain;  // indexed by the ascending ranks read as base-13 digits
    std::array<ClassRank, kRankMaskCount> m_flush{};
};

}  // namespace varnel::gen
