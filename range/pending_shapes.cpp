// Shapes whose expanders are not written yet: each declines, so the dispatch order is already
// final and later expanders change nothing about which shape claims a term.
#include "range/expanders.h"

namespace varnel {

#define VARNEL_PENDING_SHAPE(name)            \
    bool name(std::wstring_view, HandList&) { \
        return false;                         \
    }

VARNEL_PENDING_SHAPE(expandRankSet)
VARNEL_PENDING_SHAPE(expandRainbowRanks)
VARNEL_PENDING_SHAPE(expandPairAndTwo)
VARNEL_PENDING_SHAPE(expandTwoPair)
VARNEL_PENDING_SHAPE(expandRankAtMost)
VARNEL_PENDING_SHAPE(expandSuitedRank)
VARNEL_PENDING_SHAPE(expandSuitDistribution)
VARNEL_PENDING_SHAPE(expandDoubleSuitedRank)
VARNEL_PENDING_SHAPE(expandRundowns)
VARNEL_PENDING_SHAPE(expandPairsUp)
VARNEL_PENDING_SHAPE(expandTwoRanksUp)
VARNEL_PENDING_SHAPE(expandThreeRanksDown)
VARNEL_PENDING_SHAPE(expandFourRanksDown)
VARNEL_PENDING_SHAPE(expandPairAndTwoUp)
VARNEL_PENDING_SHAPE(expandTripsDown)
VARNEL_PENDING_SHAPE(expandTwoRankSpan)

}  // namespace varnel
