#include "tools/gen-cards/glyphs.h"

namespace varnel::glyphs {
namespace {

template <int W, int H>
struct Art {
    const char* rows[H];
    Glyph glyph() const { return Glyph{W, H, rows}; }
};

// Digits and court letters, 5 x 7 (the "1" of the ten is 3 wide).
constexpr Art<5, 7> kTwo{{".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}};
constexpr Art<5, 7> kThree{{"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}};
constexpr Art<5, 7> kFour{{"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}};
constexpr Art<5, 7> kFive{{"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}};
constexpr Art<5, 7> kSix{{"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}};
constexpr Art<5, 7> kSeven{{"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}};
constexpr Art<5, 7> kEight{{".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}};
constexpr Art<5, 7> kNine{{".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}};
constexpr Art<3, 7> kOne{{".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"}};
constexpr Art<5, 7> kZero{{".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}};
constexpr Art<5, 7> kJack{{"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}};
constexpr Art<5, 7> kQueen{{".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}};
constexpr Art<5, 7> kKing{{"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}};
constexpr Art<5, 7> kAce{{".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}};

constexpr Art<7, 7> kClub{
    {"..###..", "..###..", "##.#.##", "#######", "##.#.##", "...#...", "..###.."}};
constexpr Art<7, 7> kDiamond{
    {"...#...", "..###..", ".#####.", "#######", ".#####.", "..###..", "...#..."}};
constexpr Art<7, 7> kHeart{
    {".##.##.", "#######", "#######", ".#####.", "..###..", "...#...", "......."}};
constexpr Art<7, 7> kSpade{
    {"...#...", "..###..", ".#####.", "#######", "##.#.##", "...#...", "..###.."}};

constexpr Art<12, 12> kDie{{"############", "#..........#", "#.##....##.#", "#.##....##.#",
                            "#..........#", "#....##....#", "#....##....#", "#..........#",
                            "#.##....##.#", "#.##....##.#", "#..........#", "############"}};
constexpr Art<11, 9> kArrow{{"......#....", "......##...", "......###..", "##########.",
                             "###########", "##########.", "......###..", "......##...",
                             "......#...."}};
constexpr Art<9, 9> kCross{{"##.....##", "###...###", ".###.###.", "..#####..", "...###...",
                            "..#####..", ".###.###.", "###...###", "##.....##"}};

const Glyph kRanks[] = {kTwo.glyph(),   kThree.glyph(), kFour.glyph(), kFive.glyph(), kSix.glyph(),
                        kSeven.glyph(), kEight.glyph(), kNine.glyph(), kOne.glyph(),  kJack.glyph(),
                        kQueen.glyph(), kKing.glyph(),  kAce.glyph()};
const Glyph kZeroGlyph = kZero.glyph();
constexpr int kTenRank = 8;
const Glyph kSuits[] = {kClub.glyph(), kDiamond.glyph(), kHeart.glyph(), kSpade.glyph()};
const Glyph kDieGlyph = kDie.glyph(), kArrowGlyph = kArrow.glyph(), kCrossGlyph = kCross.glyph();

}  // namespace

std::vector<const Glyph*> rankGlyphs(int rank) {
    if (rank == kTenRank) return {&kRanks[kTenRank], &kZeroGlyph};
    return {&kRanks[rank]};
}

const Glyph& suitGlyph(int suit) {
    return kSuits[suit];
}
const Glyph& die() {
    return kDieGlyph;
}
const Glyph& arrow() {
    return kArrowGlyph;
}
const Glyph& cross() {
    return kCrossGlyph;
}

}  // namespace varnel::glyphs
