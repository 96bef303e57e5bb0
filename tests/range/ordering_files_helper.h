#pragma once
// Hand-made ordering files for the tests: a scratch working directory, record writers and a
// capture of the messages shown to the user.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/report.h"
#include "range/ordering.h"

namespace varnel::testing {

struct Message {
    std::wstring text, caption;
};

// Runs each test in a fresh working directory with empty caches and captured messages.
class OrderingDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_oldDir = std::filesystem::current_path();
        m_dir = std::filesystem::temp_directory_path() /
                ("varnel-ordering-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        std::filesystem::current_path(m_dir);
        resetOrderingCaches();
        m_oldHook = setReportHook([this](const std::wstring& text, const std::wstring& caption) {
            messages.push_back({text, caption});
        });
    }
    void TearDown() override {
        setReportHook(std::move(m_oldHook));
        resetOrderingCaches();
        std::filesystem::current_path(m_oldDir);
        std::filesystem::remove_all(m_dir);
    }

    std::vector<Message> messages;

  private:
    std::filesystem::path m_oldDir, m_dir;
    ReportHook m_oldHook;
};

template <typename T>
void putBytes(std::string& out, T value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof value);
}

// One 20-byte record of a 4/5-card class file.
inline std::string shortRecord(const std::string& name, std::uint8_t count) {
    std::string r;
    for (int i = 0; i < 9; ++i) {
        putBytes(r, static_cast<std::uint16_t>(i < static_cast<int>(name.size()) ? name[i] : ' '));
    }
    r.push_back('\0');
    r.push_back(static_cast<char>(count));
    return r;
}

// One record of a 6/7-card class file (name length 12 or 13).
inline std::string ratedRecord(int numCards, const std::string& name, std::uint32_t count,
                               double cumulativePercent, double score = 0.5) {
    std::string r = name;
    r.resize(numCards == 6 ? 12 : 13, ' ');
    putBytes(r, score);
    putBytes(r, count);
    putBytes(r, cumulativePercent);
    return r;
}

inline void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A hand file holding the masks 1, 2, ... count (the loader does not look inside them).
inline void writeCountingHands(const std::string& name, std::uint64_t count) {
    std::string bytes;
    for (std::uint64_t i = 1; i <= count; ++i) putBytes(bytes, i);
    writeFile(name, bytes);
}

inline std::vector<CardMask> countingHands(std::uint64_t count) {
    std::vector<CardMask> hands;
    for (std::uint64_t i = 1; i <= count; ++i) hands.push_back(i);
    return hands;
}

}  // namespace varnel::testing
