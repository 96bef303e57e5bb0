
#include <cstring>
#include <fstream>

#include "range/hand_class.h"
#include "range/ordering_format.h"
#include "tests/support/test_support.h"
#include "tools/gen-orderings/ordering_files.h"

namespace varnel::test {
namespace {

using namespace gen_orderings;

// The generated orderings in VARNEL_DATA_DIR (scripts/run.sh makes them): valid, and the 6-card
// counts are those of the names.
TEST(OrderingFiles, InstalledFilesAreValid) {
    const std::string data = dataDir();
    for (int n : {4, 5, 6, 7}) {
        std::string why;
        EXPECT_TRUE(orderingValid(data, n, why)) << why;
    }
    std::ifstream in(classFilePath(data, 6), std::ios::binary);
    std::string record(static_cast<std::size_t>(ratedRecordSize(6)), '\0');
    std::size_t checked = 0;
    while (in.read(record.data(), static_cast<std::streamsize>(record.size()))) {
        std::string name = record.substr(0, 12);
        name.erase(name.find_last_not_of(' ') + 1);
        std::uint32_t count;
        std::memcpy(&count, record.data() + 12 + 8, 4);
        ASSERT_EQ(countSixCardClass(name), static_cast<std::int32_t>(count)) << name;
        ++checked;
    }
    EXPECT_EQ(checked, 962988u);
}

}  // namespace
}  // namespace varnel::test
