#pragma once
// Reading, checking and writing the two files of one ordering (layout in range/ordering_format.h),
// with no caching: range/ordering.h keeps what the selections need. A reader opens a path only
// when it is a regular file (checked before opening, so a FIFO or a device never blocks), and
// uses a file only when its size is the one the format gives and its trailer's version and
// checksum match what was read. A failure comes back as a reason naming the file, such as
// "file oh6maxordering.64 is not valid: it is damaged (its checksum does not match)".

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/hand_list.h"
#include "range/ordering_format.h"

namespace varnel {

// Present in the data directory while the set-up generates the orderings in the background
// (scripts/common.sh): a missing file is then said to be on its way.
inline constexpr const wchar_t* kOrderingsBeingGenerated = L"orderings.generating";

// "x.txt" -> "x.bin" and "x.txt" -> "x.64".
std::wstring classFileName(std::wstring_view nominalName);
std::wstring handFileName(std::wstring_view nominalName);

// The cumulative share of the classes up to and including one class, and their hands.
struct CumulativeCount {
    double percent = 0;
    std::uint64_t hands = 0;
};

// What a selection needs of one ordering.
struct LoadedOrdering {
    OrderingFormat format{};
    std::filesystem::path dir;
    // Ascending by percentage, one entry per distinct cumulative percentage; the last entry
    // holds every hand.
    std::vector<CumulativeCount> cumulative;
    std::vector<std::uint64_t> blockSums;  // the hand file's index
};

// Receives each class of a class file, best first: its name (trailing blanks removed; UTF-16
// names as UTF-8), its hands and the cumulative percentage up to it.
using ClassVisitor =
    std::function<void(std::string_view name, std::uint32_t hands, double percent)>;

// Reads and checks the class file of `format` in `dir` (the working directory when empty),
// calling `visit` on each class as it goes; the calls count only when the result is empty (no
// problem). The class counts must add up to all hands; 6/7-card records must hold the running
// percentage, and a 6-card class as many hands as its name denotes. `checksum` receives the
// file's checksum.
std::wstring readClassFile(const OrderingFormat& format, const std::filesystem::path& dir,
                           const ClassVisitor& visit, std::uint64_t* checksum = nullptr);

// Reads both files' classes and index into `out`; empty when they are valid, else the reason
// (the first file that is missing or not valid).
std::wstring loadOrdering(const OrderingFormat& format, const std::filesystem::path& dir,
                          LoadedOrdering& out);

// The hands of the classes whose cumulative percentage lies strictly below `percent`; every
// hand from 100 up.
std::uint64_t handsBelow(const LoadedOrdering& ordering, double percent);

// Appends the first `count` hands of the hand file (at most all hands) to `out`, checking every
// block read: its checksum, and that each mask holds numCards cards of the deck. On a problem
// `out` is left as it was and the reason returned.
std::wstring readHands(const LoadedOrdering& ordering, std::uint64_t count,
                       std::vector<CardMask>& out);

// Checks both files entirely, every block of the hand file included; empty when valid.
std::wstring checkOrdering(const OrderingFormat& format, const std::filesystem::path& dir);

// Writes the two files of `format` into `dir` (created when missing) under temporary names that
// carry the process id, and renames them into place on commit, the hand file first; uncommitted
// temporaries are removed. Throws std::runtime_error (or std::filesystem::filesystem_error) on an
// output error or classes that do not fit the format.
class OrderingWriter {
  public:
    OrderingWriter(const OrderingFormat& format, const std::filesystem::path& dir);
    ~OrderingWriter();
    OrderingWriter(const OrderingWriter&) = delete;
    OrderingWriter& operator=(const OrderingWriter&) = delete;

    // Adds the next class, best first. The score is stored in 6/7-card records only.
    void addClass(std::string_view name, double score, const CardMask* hands, std::size_t count);
    // Requires format.classCount classes of format.totalHands hands in all.
    void commit();

  private:
    struct Files;
    std::unique_ptr<Files> m_files;
};

}  // namespace varnel
