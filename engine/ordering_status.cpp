#include "engine/ordering_status.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <system_error>

#include "range/ordering_files.h"
#include "range/ordering_format.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// The generator's log lives beside the marker's target; it is small (a line every half second).
constexpr std::streamoff kLogTail = 1 << 16;

bool regularFile(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string logTail(const fs::path& marker) {
    std::error_code ec;
    const fs::path target = fs::canonical(marker, ec);
    if (ec) return {};
    std::ifstream in(target.parent_path() / "generate.log", std::ios::binary);
    if (!in) return {};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(size > kLogTail ? size - kLogTail : 0);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::wstring percentText(double percent) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"%.0f%%", std::floor(percent));
    return buffer;
}

}  // namespace

void whileOrderingsLocked(const std::function<void()>& read) {
    static std::mutex lock;
    const std::lock_guard<std::mutex> held(lock);
    read();
}

void readGenerationLog(const std::string& log, OrderingsStatus& status) {
    // Progress is rewritten in place with a carriage return: every piece between two line ends
    // is one report, the last of a number of cards the one that counts.
    std::size_t from = 0;
    while (from < log.size()) {
        std::size_t to = log.find_first_of("\r\n", from);
        if (to == std::string::npos) to = log.size();
        const std::string piece = log.substr(from, to - from);
        from = to + 1;
        int cards = 0;
        std::size_t classes = 0;
        double percent = 0, seconds = 0;
        if (std::sscanf(piece.c_str(), " %d cards: %zu classes, %lf%% (%lf s)", &cards, &classes,
                        &percent, &seconds) != 4 ||
            cards < kFirstOrderingCards || cards >= kFirstOrderingCards + kOrderingCount)
            continue;
        OrderingProgress& p = status.cards[static_cast<std::size_t>(cards - kFirstOrderingCards)];
        if (p.state == OrderingState::Ready) continue;
        p.state = OrderingState::InProgress;
        p.percent = percent;
        p.secondsLeft = percent >= 1 ? seconds * (100 - percent) / percent : -1;
    }
}

OrderingsStatus orderingsStatus(const std::string& dirName) {
    const fs::path dir = fs::u8path(dirName);
    OrderingsStatus status;
    const fs::path marker = dir / kOrderingsBeingGenerated;
    std::error_code ec;
    status.generating = fs::exists(marker, ec);
    for (const OrderingFormat& format : kOrderingFormats) {
        const bool ready = regularFile(dir / classFileName(format.nominalName)) &&
                           regularFile(dir / handFileName(format.nominalName));
        status.cards[static_cast<std::size_t>(format.numCards - kFirstOrderingCards)].state =
            ready ? OrderingState::Ready
                  : (status.generating ? OrderingState::Pending : OrderingState::Missing);
    }
    if (status.generating) readGenerationLog(logTail(marker), status);
    return status;
}

std::wstring durationText(double seconds) {
    if (seconds < 0) return L"time left not known yet";
    if (seconds < 60) return L"less than a minute";
    const long minutes = std::lround(seconds / 60);
    if (minutes < 90) return L"about " + std::to_wstring(minutes) + L" min";
    return L"about " + std::to_wstring((minutes + 30) / 60) + L" h";
}

std::wstring orderingUnavailableText(const std::wstring& game, int holeCards,
                                     const OrderingsStatus& status) {
    const std::wstring ranges = L"the percentage ranges of " + game;
    if (holeCards < kFirstOrderingCards || holeCards >= kFirstOrderingCards + kOrderingCount)
        return ranges + L" do not exist";
    const OrderingProgress& own = status.of(holeCards);
    auto progress = [](const OrderingProgress& p) {
        return percentText(p.percent) + L" done, " +
               (p.secondsLeft < 0 ? std::wstring(L"time left not known yet")
                                  : durationText(p.secondsLeft) + L" left");
    };
    switch (own.state) {
        case OrderingState::InProgress:
            return ranges + L" are being prepared: " + progress(own);
        case OrderingState::Pending:
            for (int c = kFirstOrderingCards; c < kFirstOrderingCards + kOrderingCount; ++c) {
                if (status.of(c).state == OrderingState::InProgress)
                    return ranges + L" are being prepared after the " + std::to_wstring(c) +
                           L"-card ones (those: " + progress(status.of(c)) + L")";
            }
            return ranges + L" are being prepared; try again in a few minutes";
        case OrderingState::Ready:
            return ranges +
                   L" could not be read: their data is damaged; the set-up "
                   L"(scripts/run.sh) prepares it anew";
        case OrderingState::Missing:
            break;
    }
    return ranges + L" are not on this computer (scripts/run.sh prepares them)";
}

}  // namespace varnel
