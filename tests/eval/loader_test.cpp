// loadOmahaTable on small files written by the test: header checks, size and entry range.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "eval/omaha_eval.h"
#include "eval/table_format.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// The smallest usable table: the sink and the start row, all zero.
constexpr std::uint64_t kSmallTable = kStartState + kDeckSize;

struct TableFile {
    TableHeader header{};
    std::vector<std::uint32_t> entries = std::vector<std::uint32_t>(kSmallTable, 0);
    std::size_t dropBytes = 0;  // bytes cut off the end of the file

    TableFile() {
        std::memcpy(header.magic, kTableMagic, sizeof kTableMagic);
        header.alphabet = kTableAlphabet;
        header.cardsPerEval = kTableCardsPerEval;
        header.entryCount = entries.size();
    }
};

class Loader : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir =
            fs::temp_directory_path() /
            ("varnel-loader-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string write(const TableFile& f) {
        std::string bytes(reinterpret_cast<const char*>(&f.header), sizeof f.header);
        bytes.append(reinterpret_cast<const char*>(f.entries.data()), f.entries.size() * 4);
        bytes.resize(bytes.size() - f.dropBytes);
        const std::string path = (m_dir / "omaha-7.bin").string();
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    fs::path m_dir;
};

TEST_F(Loader, ValidSmallTableLoadsAndIsUsable) {
    TableFile f;
    f.entries[60] = 7;
    auto table = loadOmahaTable(write(f));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size, kSmallTable);
    EXPECT_EQ(table->entries[60], 7u);
    ofsm_omaha7 owner;
    owner.attach(std::move(table));
    EXPECT_TRUE(owner.usable());
}

TEST_F(Loader, MagicDifferingInAnyOfItsFirst13BytesIsRejected) {
    for (int i = 0; i < 13; ++i) {
        TableFile f;
        f.header.magic[i] ^= 0x20;
        EXPECT_FALSE(loadOmahaTable(write(f))) << "byte " << i;
    }
}

TEST_F(Loader, BytesAfterTheMagicAreNotExamined) {
    TableFile f;
    f.header.magic[13] = 'x';
    f.header.magic[14] = '\xff';
    f.header.magic[15] = '7';
    EXPECT_TRUE(loadOmahaTable(write(f)));
}

TEST_F(Loader, WrongAlphabetOrCardCountIsRejected) {
    TableFile alphabet;
    alphabet.header.alphabet = 53;
    EXPECT_FALSE(loadOmahaTable(write(alphabet)));
    TableFile cards;
    cards.header.cardsPerEval = 6;
    EXPECT_FALSE(loadOmahaTable(write(cards)));
}

TEST_F(Loader, EmptyTableLoadsButIsNotUsable) {
    TableFile f;
    f.entries.clear();
    f.header.entryCount = 0;
    auto table = loadOmahaTable(write(f));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size, 0u);
    ofsm_omaha7 owner;
    owner.attach(std::move(table));
    EXPECT_FALSE(owner.usable());
    owner.attach(nullptr);
    EXPECT_FALSE(owner.usable());
}

TEST_F(Loader, FileShorterThanItsHeaderPromisesIsRejected) {
    TableFile oneByte;
    oneByte.dropBytes = 1;
    EXPECT_FALSE(loadOmahaTable(write(oneByte)));
    TableFile headerOnly;
    headerOnly.dropBytes = headerOnly.entries.size() * 4;
    EXPECT_FALSE(loadOmahaTable(write(headerOnly)));
    TableFile halfHeader;
    halfHeader.dropBytes = halfHeader.entries.size() * 4 + 10;
    EXPECT_FALSE(loadOmahaTable(write(halfHeader)));
    // A count no machine could allocate is refused before any allocation.
    TableFile huge;
    huge.header.entryCount = std::uint64_t{1} << 62;
    EXPECT_FALSE(loadOmahaTable(write(huge)));
}

TEST_F(Loader, EntryLeadingOutsideTheTableIsRejected) {
    // From state s a walk reads s + 0 ... s + 51, so the largest state is size - 52.
    TableFile atLimit;
    atLimit.entries.back() = static_cast<std::uint32_t>(kSmallTable - kDeckSize);
    EXPECT_TRUE(loadOmahaTable(write(atLimit)));
    TableFile beyond;
    beyond.entries[kStartState] = static_cast<std::uint32_t>(kSmallTable - kDeckSize + 1);
    EXPECT_FALSE(loadOmahaTable(write(beyond)));
    TableFile tooSmall;  // fewer entries than one row: no entry can be a state
    tooSmall.entries.assign(10, 0);
    tooSmall.header.entryCount = 10;
    EXPECT_FALSE(loadOmahaTable(write(tooSmall)));
}

TEST_F(Loader, MissingPathsGiveNoTableWithoutThrowing) {
    EXPECT_FALSE(loadOmahaTable((m_dir / "absent.bin").string()));
    EXPECT_FALSE(loadOmahaTable(m_dir.string()));  // a directory
    const std::string file = write(TableFile{});
    EXPECT_FALSE(loadOmahaTable(file + "/omaha-7.bin"));  // a path through a file
}

}  // namespace
}  // namespace varnel
