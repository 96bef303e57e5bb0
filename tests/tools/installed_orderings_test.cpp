// The generated orderings in VARNEL_DATA_DIR (scripts/run.sh makes them), read in full.
#include "tests/support/test_support.h"
#include "tools/gen-orderings/ordering_files.h"

namespace varnel::test {
namespace {

// Valid, which for 6 cards includes that each class holds the hands its name denotes.
TEST(OrderingFiles, InstalledFilesAreValid) {
    for (int n : {4, 5, 6, 7}) {
        std::string why;
        EXPECT_TRUE(gen_orderings::orderingValid(dataDir(), n, why)) << why;
    }
}

}  // namespace
}  // namespace varnel::test
