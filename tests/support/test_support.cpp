#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "eval/omaha_eval.h"
#include "eval/table_format.h"

namespace varnel::test {

CardMask cards(std::wstring_view codes) {
    CardMask mask = 0;
    std::wstring reason;
    if (!parseCardRun(codes, mask, &reason)) {
        ADD_FAILURE() << "bad cards in the test: " << std::wstring(codes) << ": " << reason;
    }
    return mask;
}

std::vector<CardId> cardIds(std::wstring_view codes) {
    return cardsFromMask(cards(codes));
}

TempDir::TempDir() {
    std::string pattern = std::filesystem::temp_directory_path() / "varnel-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

WorkingDir::WorkingDir() : m_previous(std::filesystem::current_path()) {
    std::filesystem::current_path(path());
}

WorkingDir::~WorkingDir() {
    std::filesystem::current_path(m_previous);
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

CapturedReports::CapturedReports()
    : m_previous(setReportHook([this](const std::wstring& text, const std::wstring& caption) {
          reports.push_back({text, caption});
      })) {}

CapturedReports::~CapturedReports() {
    setReportHook(std::move(m_previous));
}

std::string dataDir() {
    const char* dir = std::getenv("VARNEL_DATA_DIR");
    return dir ? dir : ".";
}

bool loadTable() {
    if (!omahaEvaluator().usable())
        omahaEvaluator().attach(loadOmahaTable(dataDir() + "/" + kTableFileName));
    return omahaEvaluator().usable();
}

CliRun runCli(const std::string& args, const std::string& input, const std::string& data) {
    const TempDir dir;
    std::ofstream(dir / "in") << input;
    const std::string command = std::string(VARNEL_CLI) + " --data '" + data + "' " + args + " <'" +
                                (dir / "in").string() + "' >'" + (dir / "out").string() + "' 2>'" +
                                (dir / "err").string() + "'";
    const int status = std::system(command.c_str());
    CliRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFile(dir / "out");
    run.err = readFile(dir / "err");
    return run;
}

}  // namespace varnel::test
