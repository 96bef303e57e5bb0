#include "core/checksum.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace varnel {
namespace {

static_assert(std::endian::native == std::endian::little, "the data files are little-endian");

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;  // odd, so the product is invertible

constexpr std::uint64_t mix(std::uint64_t lane, std::uint64_t word) {
    lane = (lane ^ word) * kMultiplier;
    return lane ^ (lane >> 32);
}

}  // namespace

Checksum::Checksum(std::uint64_t seed)
    : m_lanes{seed ^ 0x243F6A8885A308D3ull, seed ^ 0x13198A2E03707344ull,
              seed ^ 0xA4093822299F31D0ull, seed ^ 0x082EFA98EC4E6C89ull},
      m_seed(seed) {}

void Checksum::addStripes(const unsigned char* data, std::size_t stripes) {
    std::uint64_t a = m_lanes[0], b = m_lanes[1], c = m_lanes[2], d = m_lanes[3];
    for (std::size_t i = 0; i < stripes; ++i, data += kStripe) {
        std::uint64_t w[kLanes];
        std::memcpy(w, data, kStripe);
        a = mix(a, w[0]);
        b = mix(b, w[1]);
        c = mix(c, w[2]);
        d = mix(d, w[3]);
    }
    m_lanes = {a, b, c, d};
}

void Checksum::add(const void* data, std::size_t bytes) {
    auto p = static_cast<const unsigned char*>(data);
    m_totalBytes += bytes;
    if (m_pendingBytes > 0) {
        const std::size_t take = std::min(bytes, kStripe - m_pendingBytes);
        std::memcpy(m_pending.data() + m_pendingBytes, p, take);
        m_pendingBytes += take;
        p += take;
        bytes -= take;
        if (m_pendingBytes < kStripe) return;
        addStripes(m_pending.data(), 1);
        m_pendingBytes = 0;
    }
    addStripes(p, bytes / kStripe);
    m_pendingBytes = bytes % kStripe;
    std::memcpy(m_pending.data(), p + bytes - m_pendingBytes, m_pendingBytes);
}

std::uint64_t Checksum::value() const {
    Checksum last = *this;
    if (m_pendingBytes > 0) {
        std::memset(last.m_pending.data() + m_pendingBytes, 0, kStripe - m_pendingBytes);
        last.addStripes(last.m_pending.data(), 1);
    }
    std::uint64_t h = mix(m_seed, m_totalBytes);
    for (std::uint64_t lane : last.m_lanes) h = mix(mix(h, lane), 0);
    return h;
}

Checksum contentChecksum(std::uint32_t version, std::uint32_t kind) {
    return Checksum(std::uint64_t{version} << 32 | kind);
}

DataTrailer makeTrailer(std::uint32_t version, std::uint32_t kind, const Checksum& sum) {
    DataTrailer trailer{};
    std::memcpy(trailer.tag, kTrailerTag, sizeof trailer.tag);
    trailer.version = version;
    trailer.kind = kind;
    trailer.checksum = sum.value();
    return trailer;
}

const char* trailerMismatch(const DataTrailer& trailer, std::uint32_t version, std::uint32_t kind,
                            const Checksum& sum) {
    if (std::memcmp(trailer.tag, kTrailerTag, sizeof trailer.tag) != 0 || trailer.kind != kind)
        return "it is not a file of this program's generator, or it was cut short";
    if (trailer.version != version) return "it was written in another format version";
    if (trailer.checksum != sum.value()) return "it is damaged (its checksum does not match)";
    return nullptr;
}

}  // namespace varnel
