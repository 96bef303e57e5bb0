#include "range/ordering.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "core/file_errors.h"
#include "core/report.h"
#include "core/utf8.h"
#include "range/hand_class.h"
#include "range/ordering_format.h"

namespace varnel {
namespace {

static_assert(std::endian::native == std::endian::little, "the ordering files are little-endian");

constexpr int kMinLoadedClasses = 10;  // a 4/5-card table with fewer classes is loaded again
constexpr std::size_t kMaskBlock = 10000;
constexpr std::size_t kRecordBlock = 65536;
constexpr const wchar_t* kFileErrorCaption = L"File error";

// True when the file exists. A missing file is reported as such (when `report` is set); a query
// that fails for another reason is always reported, with its reason, and counts as missing.
bool fileExists(const std::wstring& name, bool report = true) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(std::filesystem::path(name), ec);
    if (ec && !isMissingPathError(ec)) {
        const std::string reason = ec.message();
        reportToUser(
            L"File " + name + L" cannot be checked: " + std::wstring(reason.begin(), reason.end()),
            kFileErrorCaption);
        return false;
    }
    if (!exists && report) reportToUser(L"File " + name + L" doesn't exist!", kFileErrorCaption);
    return exists;
}

std::string trimTrailingSpace(std::string s) {
    while (!s.empty() && std::strchr(" \t\n\v\f\r", s.back()) != nullptr && s.back() != '\0') {
        s.pop_back();
    }
    return s;
}

template <typename T>
T readLittle(const unsigned char* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Reads up to `count` records of `size` bytes, calling `use` on each; stops early at the end of
// a short file, so only data actually read is used.
template <typename Use>
void readRecords(const std::wstring& fileName, std::size_t count, std::size_t size, Use use) {
    std::ifstream in(std::filesystem::path(fileName), std::ios::binary);
    std::vector<unsigned char> block(kRecordBlock * size);
    while (count > 0 && in) {
        const std::size_t want = std::min(count, kRecordBlock);
        in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(want * size));
        const std::size_t got = static_cast<std::size_t>(in.gcount()) / size;
        for (std::size_t r = 0; r < got; ++r) use(block.data() + r * size);
        count -= got;
        if (got < want) break;
    }
}

struct OrderingCaches {
    std::array<OrderingTable, 4> tables;  // 4..7 hole cards
    std::array<RatedClassMap, 2> rated;   // 6 and 7 hole cards
};

OrderingCaches& caches() {
    static OrderingCaches instance;
    return instance;
}

// One class of a 6/7-card ordering in the order of cumulative percentages.
struct RatedEntry {
    double percent;
    const std::string* name;
    std::uint32_t handCount;
};

// The classes of the rated map in ascending cumulative percentage, one per percentage: of
// classes sharing a percentage, the last in name order stands for it. (Sorting a vector and
// filling the maps in order is much faster than millions of scattered map operations.)
std::vector<RatedEntry> ratedByPercent(const RatedClassMap& rated) {
    std::vector<RatedEntry> entries;
    entries.reserve(rated.size());
    for (const auto& [name, record] : rated) {
        entries.push_back({record.cumulativePercent, &name, record.handCount});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const RatedEntry& a, const RatedEntry& b) {
        return a.percent < b.percent;
    });
    std::vector<RatedEntry> unique;
    unique.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i + 1 < entries.size() && entries[i + 1].percent == entries[i].percent) continue;
        unique.push_back(entries[i]);
    }
    return unique;
}

// Cumulative counts of a 6/7-card table, walking its classes from the best: 7 cards count the
// file's hands, 6 cards the hands each class name denotes.
void fillRatedCounts(OrderingTable& table, const std::vector<RatedEntry>& entries) {
    std::uint32_t total = 0;
    for (const RatedEntry& e : entries) {
        total += table.numCards == 6 ? static_cast<std::uint32_t>(countSixCardClass(*e.name))
                                     : e.handCount;
        table.countByPercent.emplace_hint(table.countByPercent.end(), e.percent, total);
    }
}

void ensureLoaded(std::int32_t numCards) {
    OrderingCaches& c = caches();
    OrderingTable& table = c.tables[static_cast<std::size_t>(numCards - 4)];
    if (!usesRatedRecords(numCards)) {
        if (table.percentByClass.size() >= kMinLoadedClasses) return;
        table = makeOrderingTable(numCards);
        loadClassFile(table);
        fileExists(handFileName(table.nominalName));
        return;
    }
    RatedClassMap& rated = c.rated[static_cast<std::size_t>(numCards - 6)];
    if (!rated.empty()) {
        // The hand file was missing when the classes were read: count them once it is there.
        if (table.countByPercent.empty() &&
            fileExists(handFileName(table.nominalName), /*report=*/false)) {
            fillRatedCounts(table, ratedByPercent(rated));
        }
        return;
    }
    table = makeOrderingTable(numCards);
    loadRatedClassFile(numCards, table.nominalName, rated);
    const std::vector<RatedEntry> entries = ratedByPercent(rated);
    for (const RatedEntry& e : entries) {
        table.classByPercent.emplace_hint(table.classByPercent.end(), e.percent, *e.name);
    }
    if (!fileExists(handFileName(table.nominalName))) return;
    fillRatedCounts(table, entries);
}

}  // namespace

OrderingTable makeOrderingTable(std::int32_t numCards) {
    OrderingTable table;
    table.numCards = numCards;
    if (const OrderingFormat* f = orderingFormat(numCards)) {
        table.classCount = f->classCount;
        table.totalHands = f->totalHands;
        table.nominalName = std::wstring(f->nominalName);
    }
    return table;
}

std::wstring classFileName(const std::wstring& nominalName) {
    return nominalName.substr(0, nominalName.size() - 3) + L"bin";
}

std::wstring handFileName(const std::wstring& nominalName) {
    return nominalName.substr(0, nominalName.size() - 3) + L"64";
}

int loadClassFile(OrderingTable& table) {
    const std::wstring fileName = classFileName(table.nominalName);
    if (!fileExists(fileName)) return 0;
    table.percentByClass.clear();
    table.classByPercent.clear();
    table.countByPercent.clear();
    std::uint32_t total = 0;
    readRecords(fileName, static_cast<std::size_t>(table.classCount), kShortRecordSize,
                [&](const unsigned char* record) {
                    std::string name;
                    for (int i = 0; i < kShortNameUnits; ++i) {
                        appendUtf8(name, readLittle<std::uint16_t>(record + 2 * i));
                    }
                    name = trimTrailingSpace(std::move(name));
                    total += record[kShortCountOffset];
                    const double percent =
                        static_cast<double>(total * 100u) / static_cast<double>(table.totalHands);
                    table.percentByClass.insert_or_assign(name, percent);
                    table.countByPercent.insert_or_assign(percent, total);
                    table.classByPercent.insert_or_assign(percent, std::move(name));
                });
    return 1;
}

std::size_t loadRatedClassFile(std::int32_t numCards, const std::wstring& nominalName,
                               RatedClassMap& rated) {
    rated.clear();
    const std::wstring fileName = classFileName(nominalName);
    if (!fileExists(fileName)) return 0;
    const OrderingFormat* format = orderingFormat(numCards);
    if (format == nullptr || !usesRatedRecords(numCards)) return 0;
    const int nameLength = ratedNameLength(numCards);
    std::vector<std::pair<std::string, RatedClass>> records;
    records.reserve(static_cast<std::size_t>(format->classCount));
    readRecords(fileName, static_cast<std::size_t>(format->classCount),
                static_cast<std::size_t>(ratedRecordSize(numCards)),
                [&](const unsigned char* record) {
                    const unsigned char* fields = record + nameLength;
                    records.emplace_back(
                        trimTrailingSpace(std::string(reinterpret_cast<const char*>(record),
                                                      static_cast<std::size_t>(nameLength))),
                        RatedClass{readLittle<std::uint32_t>(fields + 8),
                                   readLittle<double>(fields), readLittle<double>(fields + 12)});
                });
    // In name order, the first record of a repeated name first; the map is then filled in order.
    std::stable_sort(records.begin(), records.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [name, record] : records) {
        if (!rated.empty() && std::prev(rated.end())->first == name) continue;
        rated.emplace_hint(rated.end(), std::move(name), record);
    }
    return rated.size();
}

HandList selectTopPercent(std::int32_t numCards, double percent) {
    HandList result;
    result.numCards = numCards;
    if (orderingFormat(numCards) == nullptr) return result;
    ensureLoaded(numCards);
    const OrderingTable& table = caches().tables[static_cast<std::size_t>(numCards - 4)];

    std::size_t wanted = 0;
    for (const auto& [cumulative, count] : table.countByPercent) {
        if (!(percent > cumulative)) break;
        wanted = count;
    }
    const std::wstring fileName = handFileName(table.nominalName);
    if (!fileExists(fileName)) return result;

    std::ifstream in(std::filesystem::path(fileName), std::ios::binary);
    std::vector<CardMask> block(kMaskBlock);
    std::error_code ec;
    const auto available = std::filesystem::file_size(std::filesystem::path(fileName), ec);
    if (!ec) result.hands.reserve(std::min<std::size_t>(wanted, available / sizeof(CardMask)));
    while (wanted > 0 && in) {
        const std::size_t want = std::min(wanted, kMaskBlock);
        in.read(reinterpret_cast<char*>(block.data()),
                static_cast<std::streamsize>(want * sizeof(CardMask)));
        const std::size_t got = static_cast<std::size_t>(in.gcount()) / sizeof(CardMask);
        result.hands.insert(result.hands.end(), block.begin(),
                            block.begin() + static_cast<std::ptrdiff_t>(got));
        wanted -= got;
        if (got < want) break;
    }
    return result;
}

void resetOrderingCaches() {
    caches() = OrderingCaches{};
}

}  // namespace varnel
