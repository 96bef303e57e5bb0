#pragma once
// Checksums of the generated data files (the evaluator table and the ordering files). Each file
// ends in a DataTrailer naming its format version, which file of the format it is, and the
// checksum of the content it covers; a loader uses a file only when the trailer matches.
//
// The checksum reads the content as little-endian 64-bit words (the last one padded with zero
// bytes), word i going to lane i mod 4 of four lanes: lane = (lane ^ word) * K, then
// lane ^= lane >> 32. Each step is invertible for a fixed word, so a change confined to one word
// always changes its lane; the four lanes keep the multiplications independent, which keeps the
// checksum at memory speed. The lanes, the byte count and the seed are folded into the value.
// Not a defence against a forger: it tells damaged or foreign files from the written ones.

#include <array>
#include <cstddef>
#include <cstdint>

namespace varnel {

class Checksum {
  public:
    explicit Checksum(std::uint64_t seed);
    // Adds `bytes` bytes of content; any split of the same content gives the same value.
    void add(const void* data, std::size_t bytes);
    // The checksum of the content added so far.
    std::uint64_t value() const;

  private:
    static constexpr std::size_t kLanes = 4;
    static constexpr std::size_t kStripe = kLanes * sizeof(std::uint64_t);
    void addStripes(const unsigned char* data, std::size_t stripes);

    std::array<std::uint64_t, kLanes> m_lanes;
    std::array<unsigned char, kStripe> m_pending{};
    std::size_t m_pendingBytes = 0;
    std::uint64_t m_totalBytes = 0;
    std::uint64_t m_seed;
};

inline constexpr char kTrailerTag[8] = {'V', 'A', 'R', 'N', 'E', 'L', 'C', 'K'};

// The last 24 bytes of a generated data file.
struct DataTrailer {
    char tag[8];             // kTrailerTag
    std::uint32_t version;   // the file format's version
    std::uint32_t kind;      // which file of the format
    std::uint64_t checksum;  // of the covered content, seeded with contentChecksum(version, kind)
};
static_assert(sizeof(DataTrailer) == 24);

// An empty checksum for the content of a file of `version` and `kind`: files of another format
// version or kind never match.
Checksum contentChecksum(std::uint32_t version, std::uint32_t kind);

// The trailer of a file of `version` and `kind` whose content gave `sum`.
DataTrailer makeTrailer(std::uint32_t version, std::uint32_t kind, const Checksum& sum);

// Why a trailer does not match, or nullptr when it does: a file of another program or cut short,
// a file of another format version, or a damaged file (its content does not give the checksum).
const char* trailerMismatch(const DataTrailer& trailer, std::uint32_t version, std::uint32_t kind,
                            const Checksum& sum);

}  // namespace varnel
