#pragma once
// Whether the hand orderings behind percentage ranges are on this computer, and how far their
// background generation has come. The set-up (scripts/common.sh) links the marker
// "orderings.generating" into the working directory while its generator runs; the generator's
// log, beside the marker's target, tells which ordering it makes and how far it is. The window
// and the request reader tell a player this by game, never by file.

#include <array>
#include <functional>
#include <string>

namespace varnel {

inline constexpr int kFirstOrderingCards = 4;
inline constexpr int kOrderingCount = 4;  // 4 to 7 hole cards

enum class OrderingState { Missing, Pending, InProgress, Ready };

struct OrderingProgress {
    OrderingState state = OrderingState::Missing;
    double percent = 0;       // of its own generation, while InProgress
    double secondsLeft = -1;  // estimated, while InProgress; -1 when not known yet
};

struct OrderingsStatus {
    bool generating = false;                             // the marker is present
    std::array<OrderingProgress, kOrderingCount> cards;  // 4 to 7 hole cards

    const OrderingProgress& of(int holeCards) const {
        return cards[static_cast<std::size_t>(holeCards - kFirstOrderingCards)];
    }
};

// Runs `read` while no other thread runs a `read` of its own here: the orderings' caches
// (range/ordering.h) are not locked, and the window's live feedback and a run may both read
// percentage ranges.
void whileOrderingsLocked(const std::function<void()>& read);

// Looks at `dir` (the working directory when empty): an ordering whose two files exist is Ready
// (their contents are checked when they are used); the others are Pending, or InProgress for the
// one the generator's log names last, while the marker is present, and Missing otherwise.
// (`dir` is a UTF-8 path: this header stays free of <filesystem>, whose std::quoted would meet
// the request reader's own.)
OrderingsStatus orderingsStatus(const std::string& dir = {});

// Reads the generator's log text into `status` (the part of orderingsStatus that tests feed).
void readGenerationLog(const std::string& log, OrderingsStatus& status);

// "about 3 min", "about 40 s", "less than a minute" ...
std::wstring durationText(double seconds);

// Why the percentage ranges of `game` (with `holeCards` hole cards) cannot be used now, in a
// player's words: "are being prepared: 45% done, about 3 min left", or "are not on this
// computer ...", or, for files in place that could not be read, that they are damaged.
std::wstring orderingUnavailableText(const std::wstring& game, int holeCards,
                                     const OrderingsStatus& status);

}  // namespace varnel
