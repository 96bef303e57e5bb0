// The data files' checksum: independent of how the content is split, changed by any changed
// byte, byte count, seed, version or kind, and pinned, since files on disk depend on its value.
// Trailers are tested through the loaders.
#include "core/checksum.h"

#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

std::uint64_t sumOf(const std::string& bytes, std::uint64_t seed = 0) {
    Checksum sum(seed);
    sum.add(bytes.data(), bytes.size());
    return sum.value();
}

TEST(Checksum, SplitsDoNotMatterAndEveryByteDoes) {
    std::mt19937_64 rng(7);
    std::string bytes(301, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    const std::uint64_t whole = sumOf(bytes);
    for (int round = 0; round < 50; ++round) {
        Checksum pieces(0);
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t n = std::min<std::size_t>(rng() % 70, bytes.size() - at);
            pieces.add(bytes.data() + at, n);
            at += n;
        }
        ASSERT_EQ(pieces.value(), whole);
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::string changed = bytes;
        changed[i] ^= static_cast<char>(1 << (i % 8));
        ASSERT_NE(sumOf(changed), whole) << i;
    }
    EXPECT_NE(sumOf(bytes + '\0'), whole);  // zero padding is not content
    EXPECT_NE(sumOf(bytes, 1), whole);
    EXPECT_NE(sumOf(std::string(64, '\0')), sumOf(std::string(65, '\0')));
    EXPECT_NE(contentChecksum(2, 3).value(), contentChecksum(3, 2).value());  // version, kind
    EXPECT_EQ(sumOf("0123456789abcdefghijklmnopqrstuvwxyz"), 0x2e40894bdb818f45u);
}

}  // namespace
}  // namespace varnel::test
