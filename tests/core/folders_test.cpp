// Where the programs keep their files (core/folders.h), and the generators run under a lock
// (core/generator_run.h) with stub programs written by the test.

#include "core/folders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <map>

#include "core/generator_run.h"
#include "tests/support/test_support.h"

namespace varnel::test {
namespace {

namespace fs = std::filesystem;

struct FakeEnv {
    std::map<std::string, std::string> vars;
    EnvLookup lookup() const {
        return [this](const char* name) {
            const auto it = vars.find(name);
            return it == vars.end() ? nullptr : it->second.c_str();
        };
    }
};

void touch(const fs::path& path, const std::string& text = "x") {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

void script(const fs::path& path, const std::string& body) {
    touch(path, "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms::owner_all);
}

TEST(Folders, CheckoutKeepsEverythingBesideTheProgram) {
    TempDir dir;
    const FakeEnv env{{{"HOME", "/home/u"}}};
    const Folders f = chooseFolders(dir / "run", true, env.lookup());
    EXPECT_FALSE(f.perUser);
    EXPECT_EQ(f.config, dir / "run");
    EXPECT_EQ(f.log, dir / "run");
    EXPECT_TRUE(f.data.empty());
    EXPECT_EQ(describeFolders(f), "configuration: " + (dir / "run").string() + "\nlog: " +
                                      (dir / "run").string() + "\ndata: the working directory\n");
}

TEST(Folders, InstalledOrReadOnlyProgramKeepsThemPerUser) {
    TempDir prefix;
    fs::create_directories(prefix / "share/varnel/cards");
    touch(prefix / "lib/varnel/varnel-gen-table");
    FakeEnv env{{{"HOME", "/home/u"}}};
    // Installed: per user even where the folder may be written (the superuser's case).
    Folders f = chooseFolders(prefix / "bin", true, env.lookup());
    EXPECT_TRUE(f.perUser);
    EXPECT_EQ(f.config, "/home/u/.config/varnel");
    EXPECT_EQ(f.log, "/home/u/.local/state/varnel");
    EXPECT_EQ(f.data, "/home/u/.cache/varnel/data");
    EXPECT_EQ(f.cards, prefix / "share/varnel/cards");
    EXPECT_EQ(f.generators, prefix / "lib/varnel");

    // The XDG variables win when absolute; a relative one is ignored.
    env.vars = {{"HOME", "/home/u"},
                {"XDG_CONFIG_HOME", "/cfg"},
                {"XDG_STATE_HOME", "state"},
                {"XDG_CACHE_HOME", "/c"}};
    f = chooseFolders(prefix / "bin", true, env.lookup());
    EXPECT_EQ(f.config, "/cfg/varnel");
    EXPECT_EQ(f.log, "/home/u/.local/state/varnel");
    EXPECT_EQ(f.data, "/c/varnel/data");

    // A checkout's program in a folder it may not write: per user, without installed images.
    TempDir other;
    f = chooseFolders(other / "run", false, env.lookup());
    EXPECT_TRUE(f.perUser);
    EXPECT_EQ(f.config, "/cfg/varnel");
    EXPECT_TRUE(f.cards.empty());
    EXPECT_TRUE(f.generators.empty());
}

TEST(Folders, CommandLineDataFromWorkingDirectoryThenUserCache) {
    TempDir dir;
    const FakeEnv env{{{"HOME", dir.path().string()}}};
    fs::create_directories(dir / "work");
    EXPECT_TRUE(findDataFolder(dir / "work", env.lookup()).empty());
    touch(dir / ".cache/varnel/data/omaha-7.bin");
    EXPECT_EQ(findDataFolder(dir / "work", env.lookup()), dir / ".cache/varnel/data");
    touch(dir / "work/omaha-7.bin");
    EXPECT_EQ(findDataFolder(dir / "work", env.lookup()), dir / "work");
}

TEST(Folders, GeneratorInstalledOrInTheBuildTree) {
    TempDir dir;
    EXPECT_TRUE(findGenerator(dir / "cli", "varnel-gen-orderings").empty());
    touch(dir / "tools/gen-orderings/varnel-gen-orderings");
    EXPECT_EQ(findGenerator(dir / "cli", "varnel-gen-orderings"),
              dir / "tools/gen-orderings/varnel-gen-orderings");
    touch(dir / "lib/varnel/varnel-gen-orderings");
    EXPECT_EQ(findGenerator(dir / "cli", "varnel-gen-orderings"),
              dir / "lib/varnel/varnel-gen-orderings");
}

TEST(GeneratorRun, ForegroundRunGivesTheExitStatus) {
    TempDir dir;
    script(dir / "gen", "echo made >\"$2\"; exit 3\n");
    EXPECT_EQ(runWhileLocked(dir / "lock", {(dir / "gen").string(), "--out", (dir / "t").string()}),
              3);
    EXPECT_EQ(readFile(dir / "t"), "made\n");
    EXPECT_EQ(runWhileLocked(dir / "lock", {(dir / "missing").string()}), -1);
    EXPECT_EQ(runWhileLocked(dir / "no/such/lock", {(dir / "gen").string()}), -1);
}

TEST(GeneratorRun, BackgroundJobMarksItsFolderAndRespectsTheLock) {
    TempDir dir;
    // The check fails until the files exist; the generator notes whether the marker is there.
    script(dir / "gen",
           "if [ \"$1\" = --check ]; then [ -e \"$2/made\" ]; exit; fi\n"
           "[ -e \"$2/marker\" ] && echo marked >\"$2/made\"; echo generating\n");
    const std::string gen = (dir / "gen").string(), out = dir.path().string();
    const BackgroundJob job{
        dir / "lock", dir / "marker", dir / "log", {gen, "--check", out}, {gen, "--out", out}};
    touch(dir / "marker");  // left by a killed job
    {
        // Another process holds the lock: nothing starts.
        const int held = open((dir / "lock").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(flock(held, LOCK_EX), 0);
        EXPECT_EQ(startInBackground(job), BackgroundStart::AlreadyRunning);
        close(held);
    }
    ASSERT_EQ(startInBackground(job), BackgroundStart::Started);
    // The job holds the lock from before startInBackground returned until it ends.
    const int wait = open((dir / "lock").c_str(), O_WRONLY);
    ASSERT_EQ(flock(wait, LOCK_EX), 0);
    close(wait);
    EXPECT_EQ(readFile(dir / "made"), "marked\n");
    EXPECT_FALSE(fs::exists(dir / "marker"));
    EXPECT_EQ(readFile(dir / "log"), "generating\n");

    // Valid files: the check passes and the generator does not run again.
    fs::remove(dir / "log");
    ASSERT_EQ(startInBackground(job), BackgroundStart::Started);
    const int again = open((dir / "lock").c_str(), O_WRONLY);
    ASSERT_EQ(flock(again, LOCK_EX), 0);
    close(again);
    EXPECT_EQ(readFile(dir / "log"), "");
}

}  // namespace
}  // namespace varnel::test
