#pragma once
// What an Omaha hand makes on a flop or a turn, and what it draws to with one card to come:
// the classes of the breakdown's class table (their definitions are in the README). A hand
// plays exactly two hole cards and three board cards.

#include <cstdint>
#include <string_view>

#include "core/cards.h"

namespace varnel {

// Made hands, strongest first.
enum class MadeClass {
    StraightFlush,
    Quads,
    FullHouse,
    NutFlush,
    Flush,
    NutStraight,
    Straight,
    Set,
    Trips,
    TwoPair,
    Overpair,
    TopPair,
    Pair,
    Nothing,
};
inline constexpr int kMadeClasses = 14;

// Draws of hands below a straight, strongest first; None for no draw.
enum class DrawClass {
    NutFlushDraw,
    FlushDraw,
    NutWrap,
    Wrap,
    NutStraightDraw,
    StraightDraw,
    NutGutshot,
    Gutshot,
    None,
};
inline constexpr int kDrawClasses = 8;  // without None

// Fewest straight outs of a wrap, a straight draw and a gutshot.
inline constexpr int kWrapOuts = 13;
inline constexpr int kStraightDrawOuts = 8;
inline constexpr int kGutshotOuts = 4;

struct HandClass {
    MadeClass made = MadeClass::Nothing;
    DrawClass draw = DrawClass::None;
    int straightOuts = 0;  // unseen cards (not on the board, not in the hand) giving a straight
};

// "straight flush", ..., "nothing"; "nut flush draw", ..., "gutshot" ("" for None).
std::string_view madeClassName(MadeClass made);
std::string_view drawClassName(DrawClass draw);

// Classifies hands on one board. The board's straight windows are worked out once, so a hand
// costs its two-plus-three evaluations and a few mask tests per rank that can come.
class BoardClassifier {
  public:
    // `board` must hold 3 or 4 cards.
    explicit BoardClassifier(CardMask board);

    // The classes of `hand` (2 to 7 cards, none on the board).
    HandClass classify(CardMask hand) const;

  private:
    static constexpr int kWindows = 10;  // five-rank straights, A-2-3-4-5 first

    // Top rank of the best straight that two ranks of `holeRanks` make with the board plus one
    // card of `next` (kRanks: none), or -1.
    int straightTop(unsigned holeRanks, int next) const;

    CardMask m_board;
    int m_boardCount;
    CardId m_cards[4];
    int m_topBoardRank = 0;
    int m_suitCount[kSuits] = {};
    int m_rankCount[kRanks] = {};
    // For each next rank (kRanks: none) and window: the window's ranks missing from the board,
    // or kNoWindow when three or more are missing.
    unsigned m_missing[kRanks + 1][kWindows];
    int m_nutTop[kRanks + 1];  // best straight top on the board plus the next rank, or -1
};

}  // namespace varnel
