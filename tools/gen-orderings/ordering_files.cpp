#include "tools/gen-orderings/ordering_files.h"

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "range/ordering.h"
#include "range/ordering_format.h"

namespace varnel::gen_orderings {
namespace {

constexpr std::size_t kBufferHands = 1 << 16;

const OrderingFormat& formatOf(int numCards) {
    const OrderingFormat* f = orderingFormat(numCards);
    if (f == nullptr)
        throw std::runtime_error("no ordering for " + std::to_string(numCards) + " cards");
    return *f;
}

template <typename T>
void put(std::vector<char>& out, T value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

template <typename T>
T get(const char* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

void appendRecord(std::vector<char>& out, int numCards, const std::string& name,
                  std::uint32_t count, double score, std::uint64_t cumulative,
                  std::uint64_t totalHands) {
    if (!usesRatedRecords(numCards)) {
        if (name.size() > kShortNameUnits) throw std::runtime_error("class name too long: " + name);
        for (int i = 0; i < kShortNameUnits; ++i) {
            const auto unit = static_cast<std::uint16_t>(static_cast<std::size_t>(i) < name.size()
                                                             ? name[static_cast<std::size_t>(i)]
                                                             : ' ');
            put(out, unit);
        }
        put(out, std::uint8_t{0});
        put(out, static_cast<std::uint8_t>(count));
        return;
    }
    const auto length = static_cast<std::size_t>(ratedNameLength(numCards));
    if (name.size() > length) throw std::runtime_error("class name too long: " + name);
    std::string padded = name;
    padded.resize(length, ' ');
    out.insert(out.end(), padded.begin(), padded.end());
    put(out, score);
    put(out, count);
    put(out, static_cast<double>(cumulative) * 100.0 / static_cast<double>(totalHands));
}

// Writes through a temporary file in the same directory and renames it into place; the
// temporary's name carries the process id, so that runs that overlap never share one.
class AtomicFile {
  public:
    explicit AtomicFile(std::filesystem::path path)
        : m_path(std::move(path)), m_temp(m_path.string() + ".tmp." + std::to_string(getpid())) {
        m_out.open(m_temp, std::ios::binary | std::ios::trunc);
        if (!m_out) throw std::runtime_error("cannot write " + m_temp.string());
    }
    ~AtomicFile() {
        if (m_out.is_open()) {
            m_out.close();
            std::error_code ec;
            std::filesystem::remove(m_temp, ec);
        }
    }
    void write(const char* data, std::size_t size) {
        m_out.write(data, static_cast<std::streamsize>(size));
    }
    void commit() {
        m_out.close();
        if (m_out.fail()) throw std::runtime_error("error writing " + m_temp.string());
        std::filesystem::rename(m_temp, m_path);
    }

  private:
    std::filesystem::path m_path, m_temp;
    std::ofstream m_out;
};

}  // namespace

std::filesystem::path classFilePath(const std::filesystem::path& dir, int numCards) {
    return dir / classFileName(std::wstring(formatOf(numCards).nominalName));
}

std::filesystem::path handFilePath(const std::filesystem::path& dir, int numCards) {
    return dir / handFileName(std::wstring(formatOf(numCards).nominalName));
}

void writeOrdering(const std::filesystem::path& dir, int numCards,
                   const std::vector<SuitClass>& classes, const std::vector<double>& scores) {
    const OrderingFormat& format = formatOf(numCards);
    if (classes.size() != static_cast<std::size_t>(format.classCount)) {
        throw std::runtime_error("wrong number of classes for " + std::to_string(numCards) +
                                 " cards");
    }
    std::filesystem::create_directories(dir);
    // The hand file first: a valid class file then always has its hands beside it.
    AtomicFile handFile(handFilePath(dir, numCards));
    std::vector<CardMask> hands;
    hands.reserve(kBufferHands + 24);
    std::vector<char> records;
    records.reserve(classes.size() * static_cast<std::size_t>(classRecordSize(numCards)));
    std::uint64_t cumulative = 0;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const std::size_t before = hands.size();
        classes[i].appendMembers(hands);
        const auto count = static_cast<std::uint32_t>(hands.size() - before);
        cumulative += count;
        appendRecord(records, numCards, classes[i].name(), count, scores[i], cumulative,
                     static_cast<std::uint64_t>(format.totalHands));
        if (hands.size() >= kBufferHands) {
            handFile.write(reinterpret_cast<const char*>(hands.data()),
                           hands.size() * sizeof(CardMask));
            hands.clear();
        }
    }
    handFile.write(reinterpret_cast<const char*>(hands.data()), hands.size() * sizeof(CardMask));
    if (cumulative != static_cast<std::uint64_t>(format.totalHands)) {
        throw std::runtime_error("the classes do not cover every hand exactly once");
    }
    handFile.commit();
    AtomicFile classFile(classFilePath(dir, numCards));
    classFile.write(records.data(), records.size());
    classFile.commit();
}

bool orderingValid(const std::filesystem::path& dir, int numCards, std::string& why) {
    const OrderingFormat& format = formatOf(numCards);
    const auto recordSize = static_cast<std::size_t>(classRecordSize(numCards));
    const auto classPath = classFilePath(dir, numCards);
    const auto handPath = handFilePath(dir, numCards);
    std::error_code ec;
    const auto classBytes = std::filesystem::file_size(classPath, ec);
    if (ec || classBytes != recordSize * static_cast<std::size_t>(format.classCount)) {
        why = classPath.filename().string() + " is missing or has the wrong size";
        return false;
    }
    const auto handBytes = std::filesystem::file_size(handPath, ec);
    if (ec || handBytes != sizeof(CardMask) * static_cast<std::size_t>(format.totalHands)) {
        why = handPath.filename().string() + " is missing or has the wrong size";
        return false;
    }
    std::ifstream in(classPath, std::ios::binary);
    std::vector<char> data(classBytes);
    if (!in.read(data.data(), static_cast<std::streamsize>(classBytes))) {
        why = "cannot read " + classPath.filename().string();
        return false;
    }
    std::uint64_t total = 0;
    for (std::size_t r = 0; r < static_cast<std::size_t>(format.classCount); ++r) {
        const char* record = data.data() + r * recordSize;
        if (!usesRatedRecords(numCards)) {
            total += static_cast<unsigned char>(record[kShortCountOffset]);
            continue;
        }
        const char* fields = record + ratedNameLength(numCards);
        total += get<std::uint32_t>(fields + 8);
        const double expected = static_cast<double>(total) * 100.0 / format.totalHands;
        if (get<double>(fields + 12) != expected) {
            why =
                classPath.filename().string() + ": cumulative percentages do not match the counts";
            return false;
        }
    }
    if (total != static_cast<std::uint64_t>(format.totalHands)) {
        why = classPath.filename().string() + ": hand counts do not add up to all hands";
        return false;
    }
    return true;
}

}  // namespace varnel::gen_orderings
