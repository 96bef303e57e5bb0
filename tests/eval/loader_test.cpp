// loadOmahaTable on small files written by the test: header checks, size, trailer and checksum,
// entry range, and paths that are not regular files.

#include <sys/stat.h>

#include <cstring>
#include <fstream>

#include "eval/omaha_eval.h"
#include "eval/table_format.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

// The smallest usable table: the sink and the start row, all zero.
constexpr std::uint64_t kSmallTable = kStartState + kDeckSize;
// From state s a walk reads s + 0 ... s + 51, so the largest state is size - 52.
constexpr auto kLargestState = static_cast<std::uint32_t>(kSmallTable - kDeckSize);

struct TableFile {
    TableHeader header{};
    std::vector<std::uint32_t> entries = std::vector<std::uint32_t>(kSmallTable, 0);
    std::size_t dropBytes = 0;  // bytes cut off the end of the file
    std::uint32_t version = kTableFormatVersion;
    // Applied to the file's bytes after the trailer was computed.
    std::function<void(std::string&)> damage = [](std::string&) {};

    TableFile() {
        std::memcpy(header.magic, kTableMagic, sizeof kTableMagic);
        header.alphabet = kTableAlphabet;
        header.cardsPerEval = kTableCardsPerEval;
        header.entryCount = entries.size();
    }
    std::string write(const TempDir& dir) const {
        std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
        bytes.append(reinterpret_cast<const char*>(entries.data()), entries.size() * 4);
        Checksum sum = contentChecksum(version, kTableFileKind);
        sum.add(bytes.data(), bytes.size());
        const DataTrailer trailer = makeTrailer(version, kTableFileKind, sum);
        bytes.append(reinterpret_cast<const char*>(&trailer), sizeof trailer);
        damage(bytes);
        bytes.resize(bytes.size() - dropBytes);
        const std::string path = dir / kTableFileName;
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};

TEST(Loader, HeaderSizeAndEntriesDecideWhetherAFileLoads) {
    const TempDir dir;
    const struct {
        const char* what;
        std::function<void(TableFile&)> change;
        bool loads;
    } cases[] = {
        {"the smallest table", [](TableFile&) {}, true},
        {"bytes after the magic are not examined",
         [](TableFile& f) {
             std::memcpy(f.header.magic + 13,
                         "x\xff"
                         "7",
                         3);
         },
         true},
        {"alphabet 53", [](TableFile& f) { f.header.alphabet = 53; }, false},
        {"six cards per evaluation", [](TableFile& f) { f.header.cardsPerEval = 6; }, false},
        {"one byte short", [](TableFile& f) { f.dropBytes = 1; }, false},
        {"no trailer (format version 1)", [](TableFile& f) { f.dropBytes = 24; }, false},
        {"header only", [](TableFile& f) { f.dropBytes = f.entries.size() * 4 + 24; }, false},
        {"half a header", [](TableFile& f) { f.dropBytes = f.entries.size() * 4 + 34; }, false},
        {"trailer of another version", [](TableFile& f) { f.version = 1; }, false},
        {"one entry changed",
         [](TableFile& f) { f.damage = [](std::string& b) { b[kTableHeaderSize + 4 * 60] = 7; }; },
         false},
        {"zeros after a valid header",
         [](TableFile& f) {
             f.damage = [](std::string& b) {
                 std::fill(b.begin() + kTableHeaderSize, b.end(), '\0');
             };
         },
         false},
        {"checksum changed", [](TableFile& f) { f.damage = [](std::string& b) { b.back() ^= 1; }; },
         false},
        // A count no machine could allocate is refused before any allocation.
        {"2^62 entries", [](TableFile& f) { f.header.entryCount = std::uint64_t{1} << 62; }, false},
        {"entry at the largest state", [](TableFile& f) { f.entries.back() = kLargestState; },
         true},
        {"entry past the largest state",
         [](TableFile& f) { f.entries[kStartState] = kLargestState + 1; }, false},
        {"fewer entries than one row",
         [](TableFile& f) {
             f.entries.assign(10, 0);
             f.header.entryCount = 10;
         },
         false}};
    for (const auto& c : cases) {
        TableFile f;
        c.change(f);
        EXPECT_EQ(loadOmahaTable(f.write(dir)) != nullptr, c.loads) << c.what;
    }
    for (int i = 0; i < 13; ++i) {
        TableFile f;
        f.header.magic[i] ^= 0x20;
        EXPECT_FALSE(loadOmahaTable(f.write(dir))) << "magic byte " << i;
    }
}

TEST(Loader, LoadedEntriesAndUsability) {
    const TempDir dir;
    TableFile f;
    f.entries[60] = 7;
    auto table = loadOmahaTable(f.write(dir));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size, kSmallTable);
    EXPECT_EQ(table->entries[60], 7u);
    ofsm_omaha7 owner;
    owner.attach(std::move(table));
    EXPECT_TRUE(owner.usable());
    // A table of no entries loads but cannot be used.
    f.entries.clear();
    f.header.entryCount = 0;
    table = loadOmahaTable(f.write(dir));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size, 0u);
    owner.attach(std::move(table));
    EXPECT_FALSE(owner.usable());
    owner.attach(nullptr);
    EXPECT_FALSE(owner.usable());
}

TEST(Loader, PathsThatAreNoRegularFileGiveNoTableWithoutThrowingOrBlocking) {
    const TempDir dir;
    EXPECT_FALSE(loadOmahaTable(dir / "absent.bin"));
    EXPECT_FALSE(loadOmahaTable(dir.path().string()));  // a directory
    const std::string file = TableFile{}.write(dir);
    EXPECT_FALSE(loadOmahaTable(file + "/" + kTableFileName));  // a path through a file
    // Opening a FIFO for reading would wait for a writer for ever.
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(loadOmahaTable(dir / "fifo"));
    EXPECT_FALSE(loadOmahaTable("/dev/zero"));
}

}  // namespace
}  // namespace varnel::test
