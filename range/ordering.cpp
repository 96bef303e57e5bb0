#include "range/ordering.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <tuple>
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
    if (!exists && report) {
        std::error_code ignored;
        const bool generating =
            std::filesystem::exists(std::filesystem::path(kOrderingsBeingGenerated), ignored);
        reportToUser(L"File " + name +
                         (generating ? L" is being generated, try again in a few minutes"
                                     : L" doesn't exist!"),
                     kFileErrorCaption);
    }
    return exists;
}

bool isTrailingSpace(char c) {
    return c != '\0' && std::strchr(" \t\n\v\f\r", c) != nullptr;
}

std::string trimTrailingSpace(std::string s) {
    while (!s.empty() && isTrailingSpace(s.back())) s.pop_back();
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
    std::array<OrderingTable, 4> tables;    // 4..7 hole cards
    std::array<bool, 2> ratedLoaded{};      // 6 and 7 hole cards: the class file was read
    std::array<RatedClasses, 2> uncounted;  // their classes while the hand file is missing
};

OrderingCaches& caches() {
    static OrderingCaches instance;
    return instance;
}

// Appends the cumulative count of hands reaching `percent`; classes sharing a percentage share
// one entry, the last one written standing for it.
void addCumulative(std::vector<CumulativeCount>& cumulative, double percent, std::uint32_t hands) {
    if (!cumulative.empty() && cumulative.back().percent == percent) {
        cumulative.back().hands = hands;
    } else {
        cumulative.push_back({percent, hands});
    }
}

// Cumulative counts of a 6/7-card table from its classes (ascending by percentage, then name),
// walking from the best: 7 cards count the file's hands, 6 cards the hands each class name
// denotes. Of classes sharing a percentage, the last in name order stands for it.
void fillRatedCounts(OrderingTable& table, const RatedClasses& classes) {
    table.cumulative.clear();
    table.cumulative.reserve(classes.size());
    std::uint32_t total = 0;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const RatedClass& c = classes[i];
        if (i + 1 < classes.size() && classes[i + 1].cumulativePercent == c.cumulativePercent) {
            continue;
        }
        total += table.numCards == 6 ? static_cast<std::uint32_t>(countSixCardClass(c.nameView()))
                                     : c.handCount;
        table.cumulative.push_back({c.cumulativePercent, total});
    }
}

// A name's bytes as two big-endian words: comparing the words compares the names as strings.
struct NameKey {
    std::uint64_t high = 0, low = 0;
    std::uint32_t index = 0;

    explicit NameKey(const RatedClass& c, std::uint32_t at) : index(at) {
        for (int i = 0; i < 8; ++i) high = high << 8 | static_cast<unsigned char>(c.name[i]);
        for (int i = 8; i < 16; ++i) {
            low = low << 8 | (i < kMaxRatedNameLength ? static_cast<unsigned char>(c.name[i]) : 0);
        }
    }
    bool sameName(const NameKey& o) const { return high == o.high && low == o.low; }
    bool operator<(const NameKey& o) const {
        return std::tie(high, low, index) < std::tie(o.high, o.low, o.index);
    }
};

// Drops every record whose name an earlier record has, keeping the file order of the rest.
void keepFirstOfEachName(RatedClasses& classes) {
    std::vector<NameKey> keys;
    keys.reserve(classes.size());
    for (std::size_t i = 0; i < classes.size(); ++i) {
        keys.emplace_back(classes[i], static_cast<std::uint32_t>(i));
    }
    std::sort(keys.begin(), keys.end());
    std::vector<bool> repeated(classes.size());
    for (std::size_t i = 1; i < keys.size(); ++i) {
        if (keys[i].sameName(keys[i - 1])) repeated[keys[i].index] = true;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        if (!repeated[i]) classes[kept++] = classes[i];
    }
    classes.resize(kept);
}

// Ascending by cumulative percentage, then by name. The files come in ascending percentage, so
// usually only runs of equal percentages need sorting.
void sortByPercent(RatedClasses& classes) {
    const auto byName = [](const RatedClass& a, const RatedClass& b) { return a.name < b.name; };
    const auto byPercent = [](const RatedClass& a, const RatedClass& b) {
        return a.cumulativePercent < b.cumulativePercent;
    };
    if (!std::is_sorted(classes.begin(), classes.end(), byPercent)) {
        std::sort(classes.begin(), classes.end(), [&](const RatedClass& a, const RatedClass& b) {
            return byPercent(a, b) || (!byPercent(b, a) && byName(a, b));
        });
        return;
    }
    for (auto run = classes.begin(); run != classes.end();) {
        const auto end = std::upper_bound(run, classes.end(), *run, byPercent);
        if (end - run > 1) std::sort(run, end, byName);
        run = end;
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
    const auto rated = static_cast<std::size_t>(numCards - 6);
    RatedClasses& uncounted = c.uncounted[rated];
    if (c.ratedLoaded[rated]) {
        // The hand file was missing when the classes were read: count them once it is there.
        if (!uncounted.empty() && fileExists(handFileName(table.nominalName), /*report=*/false)) {
            fillRatedCounts(table, uncounted);
            uncounted = RatedClasses{};
        }
        return;
    }
    table = makeOrderingTable(numCards);
    RatedClasses classes = loadRatedClassFile(numCards, table.nominalName);
    c.ratedLoaded[rated] = !classes.empty();
    if (!fileExists(handFileName(table.nominalName))) {
        uncounted = std::move(classes);
        return;
    }
    fillRatedCounts(table, classes);
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

std::string_view RatedClass::nameView() const {
    return {name.data(),
            static_cast<std::size_t>(std::find(name.begin(), name.end(), '\0') - name.begin())};
}

int loadClassFile(OrderingTable& table) {
    const std::wstring fileName = classFileName(table.nominalName);
    if (!fileExists(fileName)) return 0;
    table.percentByClass.clear();
    table.cumulative.clear();
    std::uint32_t total = 0;
    readRecords(fileName, static_cast<std::size_t>(table.classCount), kShortRecordSize,
                [&](const unsigned char* record) {
                    std::string name;
                    for (int i = 0; i < kShortNameUnits; ++i) {
                        appendUtf8(name, readLittle<std::uint16_t>(record + 2 * i));
                    }
                    total += record[kShortCountOffset];
                    const double percent =
                        static_cast<double>(total * 100u) / static_cast<double>(table.totalHands);
                    table.percentByClass.insert_or_assign(trimTrailingSpace(std::move(name)),
                                                          percent);
                    addCumulative(table.cumulative, percent, total);
                });
    return 1;
}

RatedClasses loadRatedClassFile(std::int32_t numCards, const std::wstring& nominalName) {
    RatedClasses classes;
    const std::wstring fileName = classFileName(nominalName);
    if (!fileExists(fileName)) return classes;
    const OrderingFormat* format = orderingFormat(numCards);
    if (format == nullptr || !usesRatedRecords(numCards)) return classes;
    const auto nameLength = static_cast<std::size_t>(ratedNameLength(numCards));
    classes.reserve(static_cast<std::size_t>(format->classCount));
    readRecords(fileName, static_cast<std::size_t>(format->classCount),
                static_cast<std::size_t>(ratedRecordSize(numCards)),
                [&](const unsigned char* record) {
                    std::size_t length = nameLength;
                    while (length > 0 && isTrailingSpace(static_cast<char>(record[length - 1]))) {
                        --length;
                    }
                    RatedClass& c = classes.emplace_back();
                    std::copy(record, record + length, c.name.begin());
                    c.handCount = readLittle<std::uint32_t>(record + nameLength + 8);
                    c.cumulativePercent = readLittle<double>(record + nameLength + 12);
                });
    keepFirstOfEachName(classes);
    sortByPercent(classes);
    return classes;
}

HandList selectTopPercent(std::int32_t numCards, double percent) {
    HandList result;
    result.numCards = numCards;
    if (orderingFormat(numCards) == nullptr) return result;
    ensureLoaded(numCards);
    const OrderingTable& table = caches().tables[static_cast<std::size_t>(numCards - 4)];

    // The classes strictly below `percent` are the entries before the first one reaching it.
    const auto reaching =
        std::lower_bound(table.cumulative.begin(), table.cumulative.end(), percent,
                         [](const CumulativeCount& e, double p) { return e.percent < p; });
    std::size_t wanted = reaching == table.cumulative.begin() ? 0 : std::prev(reaching)->hands;
    const std::wstring fileName = handFileName(table.nominalName);
    if (!fileExists(fileName)) return result;

    std::ifstream in(std::filesystem::path(fileName), std::ios::binary);
    std::error_code ec;
    const auto available = std::filesystem::file_size(std::filesystem::path(fileName), ec);
    if (!ec) wanted = std::min<std::size_t>(wanted, available / sizeof(CardMask));
    result.hands.resize(wanted);  // read in place, in blocks of kMaskBlock masks
    std::size_t read = 0;
    while (read < wanted && in) {
        const std::size_t want = std::min(wanted - read, kMaskBlock);
        in.read(reinterpret_cast<char*>(result.hands.data() + read),
                static_cast<std::streamsize>(want * sizeof(CardMask)));
        const std::size_t got = static_cast<std::size_t>(in.gcount()) / sizeof(CardMask);
        read += got;
        if (got < want) break;
    }
    result.hands.resize(read);
    return result;
}

void resetOrderingCaches() {
    caches() = OrderingCaches{};
}

}  // namespace varnel
