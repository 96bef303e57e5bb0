#pragma once
// What the tests share: cards from codes, scratch directories, captured reports to the user, the
// generated data, and the command-line tool run as a program. Every test lives in the namespace
// varnel::test. This is the tests' common header: it also brings the test framework and the
// standard headers most tests use.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/cards.h"
#include "core/report.h"

namespace varnel::test {

// The cards of a run of codes such as "AsKd7h". A code that is no card, or a card given twice,
// fails the running test and gives no cards.
CardMask cards(std::wstring_view codes);
// The same cards as ids, ascending.
std::vector<CardId> cardIds(std::wstring_view codes);

// A fresh directory under the system's temporary directory, removed with its contents.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

  private:
    std::filesystem::path m_path;
};

// A TempDir that is the working directory for its lifetime.
class WorkingDir : public TempDir {
  public:
    WorkingDir();
    ~WorkingDir();

  private:
    std::filesystem::path m_previous;
};

// The whole content of a file ("" when it cannot be read).
std::string readFile(const std::filesystem::path& path);

// The messages that reach the user through the report hook while this object lives.
class CapturedReports {
  public:
    struct Report {
        std::wstring text, caption;
    };
    CapturedReports();
    ~CapturedReports();
    CapturedReports(const CapturedReports&) = delete;
    CapturedReports& operator=(const CapturedReports&) = delete;

    std::vector<Report> reports;

  private:
    ReportHook m_previous;
};

// The directory of the generated data files (VARNEL_DATA_DIR, else the working directory).
std::string dataDir();

// Loads the generated evaluator table into the process-wide evaluator unless it holds a usable
// table already; returns whether it holds one now.
bool loadTable();

// One run of the command-line tool with `args`, a shell word list, after
// "--data <data>", and `input` on its standard input.
struct CliRun {
    int exitCode = -1;
    std::string out, err;
};
CliRun runCli(const std::string& args, const std::string& input = "",
              const std::string& data = dataDir());

}  // namespace varnel::test
