#include "range/ordering_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "core/checksum.h"
#include "core/file_errors.h"
#include "core/utf8.h"
#include "range/hand_class.h"

namespace varnel {
namespace {

constexpr std::size_t kRecordBlock = 65536;  // class records read at a time
constexpr std::size_t kCheckBlocks = 64;     // hand blocks read at a time by checkOrdering

namespace fs = std::filesystem;

std::wstring widen(std::string_view text) {
    return {text.begin(), text.end()};
}

std::wstring invalid(const std::wstring& name, std::string_view why) {
    return L"file " + name + L" is not valid: " + widen(why);
}

template <typename T>
T readLittle(const unsigned char* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::uint64_t blockCount(const OrderingFormat& f) {
    return (static_cast<std::uint64_t>(f.totalHands) + kHandBlock - 1) / kHandBlock;
}

// Masks, the index (block sums and the class file's checksum) and the trailer.
std::uint64_t handFileSize(const OrderingFormat& f) {
    return (static_cast<std::uint64_t>(f.totalHands) + blockCount(f) + 1) * sizeof(std::uint64_t) +
           sizeof(DataTrailer);
}

std::uint64_t classFileSize(const OrderingFormat& f) {
    return static_cast<std::uint64_t>(f.classCount) * classRecordSize(f.numCards) +
           sizeof(DataTrailer);
}

std::uint64_t blockChecksum(std::uint64_t block, const CardMask* masks, std::size_t count) {
    Checksum sum = contentChecksum(kOrderingFormatVersion, kHandFileKind);
    sum.add(&block, sizeof block);
    sum.add(masks, count * sizeof(CardMask));
    return sum.value();
}

// Opens `dir`/`name` when it is a regular file of `size` bytes; otherwise the reason. The type is
// asked before opening, so that a FIFO or a device is never opened.
std::wstring openFile(const fs::path& dir, const std::wstring& name, std::uint64_t size,
                      std::ifstream& in) {
    const fs::path path = dir / name;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const std::error_code ec(errno, std::generic_category());
        if (!isMissingPathError(ec))
            return L"file " + name + L" cannot be checked: " + widen(ec.message());
        std::error_code ignored;
        return L"file " + name +
               (fs::exists(dir / kOrderingsBeingGenerated, ignored)
                    ? L" is being generated, try again in a few minutes"
                    : L" doesn't exist");
    }
    if (!S_ISREG(info.st_mode)) return L"file " + name + L" is not a regular file";
    if (static_cast<std::uint64_t>(info.st_size) != size) {
        return invalid(name, "it has the wrong size (cut short, or of another format version)");
    }
    in.open(path, std::ios::binary);
    if (!in) return L"file " + name + L" cannot be opened";
    return {};
}

std::string_view trimmed(std::string_view name) {
    while (!name.empty() && std::string_view(" \t\n\v\f\r").find(name.back()) != name.npos)
        name.remove_suffix(1);
    return name;
}

// Reads `blocks` blocks of masks from `in`, from block `first` on, into `out`, checking each.
std::wstring readBlocks(const LoadedOrdering& o, std::ifstream& in, std::uint64_t first,
                        std::uint64_t blocks, CardMask* out) {
    const std::wstring name = handFileName(o.format.nominalName);
    const auto total = static_cast<std::uint64_t>(o.format.totalHands);
    for (std::uint64_t b = first; b < first + blocks; ++b, out += kHandBlock) {
        const std::size_t count = std::min<std::uint64_t>(kHandBlock, total - b * kHandBlock);
        if (!in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count * 8)))
            return L"file " + name + L" cannot be read";
        if (blockChecksum(b, out, count) != o.blockSums[b])
            return invalid(name, "it is damaged (its checksum does not match)");
        for (std::size_t i = 0; i < count; ++i) {
            if ((out[i] & ~kFullDeck) || std::popcount(out[i]) != o.format.numCards)
                return invalid(name, "it holds a mask that is not a hand of " +
                                         std::to_string(o.format.numCards) + " cards");
        }
    }
    return {};
}

// Writes through a temporary file in the same directory and renames it into place; the
// temporary's name carries the process id, so that runs that overlap never share one.
class AtomicFile {
  public:
    explicit AtomicFile(fs::path path)
        : m_path(std::move(path)), m_temp(m_path.string() + ".tmp." + std::to_string(getpid())) {
        m_out.open(m_temp, std::ios::binary | std::ios::trunc);
        if (!m_out) throw std::runtime_error("cannot write " + m_temp.string());
    }
    ~AtomicFile() {
        if (!m_out.is_open()) return;
        m_out.close();
        std::error_code ec;
        fs::remove(m_temp, ec);
    }
    void write(const void* data, std::size_t size) {
        m_out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    void commit() {
        m_out.close();
        if (m_out.fail()) throw std::runtime_error("error writing " + m_temp.string());
        fs::rename(m_temp, m_path);
    }

  private:
    fs::path m_path, m_temp;
    std::ofstream m_out;
};

template <typename T>
void append(std::string& out, T value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof value);
}

}  // namespace

std::wstring classFileName(std::wstring_view nominalName) {
    return std::wstring(nominalName.substr(0, nominalName.size() - 3)) + L"bin";
}

std::wstring handFileName(std::wstring_view nominalName) {
    return std::wstring(nominalName.substr(0, nominalName.size() - 3)) + L"64";
}

std::wstring readClassFile(const OrderingFormat& format, const fs::path& dir,
                           const ClassVisitor& visit, std::uint64_t* checksum) {
    const std::wstring name = classFileName(format.nominalName);
    std::ifstream in;
    if (std::wstring problem = openFile(dir, name, classFileSize(format), in); !problem.empty())
        return problem;
    const auto size = static_cast<std::size_t>(classRecordSize(format.numCards));
    const auto nameLength = static_cast<std::size_t>(ratedNameLength(format.numCards));
    const auto allHands = static_cast<double>(format.totalHands);
    Checksum sum = contentChecksum(kOrderingFormatVersion, kClassFileKind);
    std::vector<unsigned char> block(kRecordBlock * size);
    std::string className;
    std::uint64_t total = 0;
    const char* inconsistent = nullptr;  // reported once the checksum is known to match
    for (std::size_t left = static_cast<std::size_t>(format.classCount); left > 0;) {
        const std::size_t want = std::min(left, kRecordBlock);
        if (!in.read(reinterpret_cast<char*>(block.data()),
                     static_cast<std::streamsize>(want * size)))
            return L"file " + name + L" cannot be read";
        sum.add(block.data(), want * size);
        for (const unsigned char* r = block.data(); r < block.data() + want * size; r += size) {
            std::uint32_t hands = 0;
            double percent = 0;
            className.clear();
            if (!usesRatedRecords(format.numCards)) {
                for (int i = 0; i < kShortNameUnits; ++i)
                    appendUtf8(className, readLittle<std::uint16_t>(r + 2 * i));
                hands = r[kShortCountOffset];
                total += hands;
                percent = static_cast<double>(total) * 100.0 / allHands;
            } else {
                className.assign(reinterpret_cast<const char*>(r), nameLength);
                hands = readLittle<std::uint32_t>(r + nameLength + 8);
                total += hands;
                percent = readLittle<double>(r + nameLength + 12);
                if (!inconsistent && percent != static_cast<double>(total) * 100.0 / allHands)
                    inconsistent = "its cumulative percentages do not match its counts";
            }
            const std::string_view shown = trimmed(className);
            if (!inconsistent && format.numCards == 6 &&
                countSixCardClass(shown) != static_cast<std::int32_t>(hands))
                inconsistent = "a class does not hold the hands its name denotes";
            visit(shown, hands, percent);
        }
        left -= want;
    }
    DataTrailer trailer{};
    if (!in.read(reinterpret_cast<char*>(&trailer), sizeof trailer))
        return L"file " + name + L" cannot be read";
    if (const char* why = trailerMismatch(trailer, kOrderingFormatVersion, kClassFileKind, sum))
        return invalid(name, why);
    if (!inconsistent && total != static_cast<std::uint64_t>(format.totalHands))
        inconsistent = "its class counts do not add up to all hands";
    if (inconsistent) return invalid(name, inconsistent);
    if (checksum) *checksum = sum.value();
    return {};
}

std::wstring loadOrdering(const OrderingFormat& format, const fs::path& dir, LoadedOrdering& out) {
    out = LoadedOrdering{format, dir, {}, {}};
    std::uint64_t running = 0, classSum = 0;
    std::wstring problem = readClassFile(
        format, dir,
        [&](std::string_view, std::uint32_t hands, double percent) {
            running += hands;
            // Classes sharing a percentage (a class of no hands) share one entry.
            if (!out.cumulative.empty() && out.cumulative.back().percent == percent) {
                out.cumulative.back().hands = running;
            } else {
                out.cumulative.push_back({percent, running});
            }
        },
        &classSum);
    if (problem.empty()) {
        const std::wstring name = handFileName(format.nominalName);
        std::ifstream in;
        problem = openFile(dir, name, handFileSize(format), in);
        std::uint64_t pairedClassSum = 0;
        DataTrailer trailer{};
        if (problem.empty()) {
            out.blockSums.resize(blockCount(format));
            in.seekg(static_cast<std::streamoff>(format.totalHands * sizeof(CardMask)));
            in.read(reinterpret_cast<char*>(out.blockSums.data()),
                    static_cast<std::streamsize>(out.blockSums.size() * 8));
            in.read(reinterpret_cast<char*>(&pairedClassSum), sizeof pairedClassSum);
            in.read(reinterpret_cast<char*>(&trailer), sizeof trailer);
            if (!in) problem = L"file " + name + L" cannot be read";
        }
        if (problem.empty()) {
            Checksum sum = contentChecksum(kOrderingFormatVersion, kHandFileKind);
            sum.add(out.blockSums.data(), out.blockSums.size() * 8);
            sum.add(&pairedClassSum, sizeof pairedClassSum);
            if (const char* why =
                    trailerMismatch(trailer, kOrderingFormatVersion, kHandFileKind, sum)) {
                problem = invalid(name, why);
            } else if (pairedClassSum != classSum) {
                problem = L"file " + name + L" does not belong to " +
                          classFileName(format.nominalName) +
                          L" (the two come from different runs)";
            }
        }
    }
    if (!problem.empty()) out = LoadedOrdering{format, dir, {}, {}};
    return problem;
}

std::uint64_t handsBelow(const LoadedOrdering& ordering, double percent) {
    const auto& c = ordering.cumulative;
    if (c.empty()) return 0;
    if (percent >= 100) return c.back().hands;
    const auto reaching =
        std::lower_bound(c.begin(), c.end(), percent,
                         [](const CumulativeCount& e, double p) { return e.percent < p; });
    return reaching == c.begin() ? 0 : std::prev(reaching)->hands;
}

std::wstring readHands(const LoadedOrdering& ordering, std::uint64_t count,
                       std::vector<CardMask>& out) {
    const OrderingFormat& f = ordering.format;
    const std::wstring name = handFileName(f.nominalName);
    std::ifstream in;
    if (std::wstring problem = openFile(ordering.dir, name, handFileSize(f), in); !problem.empty())
        return problem;
    count = std::min<std::uint64_t>(count, static_cast<std::uint64_t>(f.totalHands));
    const std::uint64_t blocks = (count + kHandBlock - 1) / kHandBlock;
    const std::size_t start = out.size();
    out.resize(start + std::min<std::uint64_t>(blocks * kHandBlock, f.totalHands));
    if (std::wstring problem = readBlocks(ordering, in, 0, blocks, out.data() + start);
        !problem.empty()) {
        out.resize(start);
        return problem;
    }
    out.resize(start + count);
    return {};
}

std::wstring checkOrdering(const OrderingFormat& format, const fs::path& dir) {
    LoadedOrdering ordering;
    if (std::wstring problem = loadOrdering(format, dir, ordering); !problem.empty())
        return problem;
    std::ifstream in;
    const std::wstring name = handFileName(format.nominalName);
    if (std::wstring problem = openFile(dir, name, handFileSize(format), in); !problem.empty())
        return problem;
    std::vector<CardMask> buffer(kCheckBlocks * kHandBlock);
    const std::uint64_t blocks = blockCount(format);
    for (std::uint64_t b = 0; b < blocks; b += kCheckBlocks) {
        const std::uint64_t n = std::min<std::uint64_t>(kCheckBlocks, blocks - b);
        if (std::wstring problem = readBlocks(ordering, in, b, n, buffer.data()); !problem.empty())
            return problem;
    }
    return {};
}

struct OrderingWriter::Files {
    OrderingFormat format;
    AtomicFile classFile, handFile;
    Checksum classSum = contentChecksum(kOrderingFormatVersion, kClassFileKind);
    std::vector<std::uint64_t> blockSums;
    std::vector<CardMask> block;  // the masks of the block being filled
    std::uint64_t classes = 0, hands = 0;
    std::string record;

    Files(const OrderingFormat& f, const fs::path& dir)
        : format(f),
          classFile(dir / classFileName(f.nominalName)),
          handFile(dir / handFileName(f.nominalName)) {}

    void endBlock() {
        blockSums.push_back(blockChecksum(blockSums.size(), block.data(), block.size()));
        block.clear();
    }
};

OrderingWriter::OrderingWriter(const OrderingFormat& format, const fs::path& dir) {
    if (!dir.empty()) fs::create_directories(dir);
    m_files = std::make_unique<Files>(format, dir);
}

OrderingWriter::~OrderingWriter() = default;

void OrderingWriter::addClass(std::string_view name, double score, const CardMask* hands,
                              std::size_t count) {
    Files& f = *m_files;
    const int numCards = f.format.numCards;
    const std::string shown(name);
    std::string& r = f.record;
    r.clear();
    if (!usesRatedRecords(numCards)) {
        if (name.size() > kShortNameUnits)
            throw std::runtime_error("class name too long: " + shown);
        if (count > 255) throw std::runtime_error("too many hands in class " + shown);
        for (std::size_t i = 0; i < kShortNameUnits; ++i)
            append(r, static_cast<std::uint16_t>(i < name.size() ? name[i] : ' '));
        r.push_back('\0');
        r.push_back(static_cast<char>(count));
    } else {
        const auto length = static_cast<std::size_t>(ratedNameLength(numCards));
        if (name.size() > length) throw std::runtime_error("class name too long: " + shown);
        r = shown;
        r.resize(length, ' ');
        append(r, score);
        append(r, static_cast<std::uint32_t>(count));
        append(r, static_cast<double>(f.hands + count) * 100.0 / f.format.totalHands);
    }
    f.classSum.add(r.data(), r.size());
    f.classFile.write(r.data(), r.size());
    f.handFile.write(hands, count * sizeof(CardMask));
    for (std::size_t i = 0; i < count; ++i) {
        f.block.push_back(hands[i]);
        if (f.block.size() == kHandBlock) f.endBlock();
    }
    f.hands += count;
    ++f.classes;
}

void OrderingWriter::commit() {
    Files& f = *m_files;
    if (f.classes != static_cast<std::uint64_t>(f.format.classCount) ||
        f.hands != static_cast<std::uint64_t>(f.format.totalHands))
        throw std::runtime_error("the classes do not cover every hand of the ordering once");
    if (!f.block.empty()) f.endBlock();
    const DataTrailer classTrailer =
        makeTrailer(kOrderingFormatVersion, kClassFileKind, f.classSum);
    const std::uint64_t classSum = f.classSum.value();
    Checksum indexSum = contentChecksum(kOrderingFormatVersion, kHandFileKind);
    indexSum.add(f.blockSums.data(), f.blockSums.size() * 8);
    indexSum.add(&classSum, sizeof classSum);
    const DataTrailer handTrailer = makeTrailer(kOrderingFormatVersion, kHandFileKind, indexSum);
    f.handFile.write(f.blockSums.data(), f.blockSums.size() * 8);
    f.handFile.write(&classSum, sizeof classSum);
    f.handFile.write(&handTrailer, sizeof handTrailer);
    f.classFile.write(&classTrailer, sizeof classTrailer);
    f.handFile.commit();
    f.classFile.commit();
}

}  // namespace varnel
