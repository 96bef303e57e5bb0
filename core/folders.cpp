#include "core/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace varnel {
namespace fs = std::filesystem;

namespace {

constexpr char kAppFolder[] = "varnel";
constexpr char kTable[] = "omaha-7.bin";  // eval/table_format.h names it for the evaluator

fs::path home(const EnvLookup& env) {
    const char* value = env("HOME");
    if (value && *value) return value;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return ".";
}

// $variable when it holds an absolute path, else ~/fallback; then the program's folder.
fs::path baseFolder(const EnvLookup& env, const char* variable, const char* fallback) {
    const char* value = env(variable);
    const fs::path base =
        value && *value && fs::path(value).is_absolute() ? fs::path(value) : home(env) / fallback;
    return base / kAppFolder;
}

bool present(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// `dir` without a trailing separator or dots, so that its parent is the folder above it.
fs::path plain(const fs::path& dir) {
    const fs::path normal = dir.lexically_normal();
    return normal.has_filename() ? normal : normal.parent_path();
}

// <prefix> when `exeDir` is <prefix>/bin of an installation (<prefix>/share/varnel beside it).
fs::path installPrefix(const fs::path& exeDir) {
    const fs::path bin = plain(exeDir);
    if (bin.filename() != "bin") return {};
    const fs::path prefix = bin.parent_path();
    return present(prefix / "share" / kAppFolder / "cards") ? prefix : fs::path();
}

Folders& current() {
    static Folders folders;
    return folders;
}

}  // namespace

std::string_view programVersion() {
    return VARNEL_VERSION;
}

fs::path userDataFolder(const EnvLookup& env) {
    return baseFolder(env, "XDG_CACHE_HOME", ".cache") / "data";
}

Folders chooseFolders(const fs::path& exeDir, bool writable, const EnvLookup& env) {
    Folders f;
    const fs::path prefix = installPrefix(exeDir);
    f.perUser = !prefix.empty() || !writable;
    if (!f.perUser) {
        f.config = f.log = exeDir;
        return f;
    }
    f.config = baseFolder(env, "XDG_CONFIG_HOME", ".config");
    f.log = baseFolder(env, "XDG_STATE_HOME", ".local/state");
    f.data = userDataFolder(env);
    if (!prefix.empty()) f.cards = prefix / "share" / kAppFolder / "cards";
    const fs::path generator = findGenerator(exeDir, "varnel-gen-table");
    if (!generator.empty()) f.generators = generator.parent_path();
    return f;
}

Folders foldersOfThisProgram() {
    std::error_code ec;
    const fs::path exeDir = fs::read_symlink("/proc/self/exe", ec).parent_path();
    return chooseFolders(exeDir, access(exeDir.c_str(), W_OK) == 0, std::getenv);
}

fs::path findDataFolder(const fs::path& cwd, const EnvLookup& env) {
    if (present(cwd / kTable)) return cwd;
    const fs::path user = userDataFolder(env);
    return present(user / kTable) ? user : fs::path();
}

fs::path findGenerator(const fs::path& exeDir, std::string_view name) {
    const fs::path above = plain(exeDir).parent_path();
    const fs::path installed = above / "lib" / kAppFolder / name;
    if (present(installed)) return installed;
    // A program of the build tree: <build>/app or <build>/cli, the generators in <build>/tools.
    std::string_view tool = name;
    tool.remove_prefix(tool.starts_with("varnel-") ? 7 : 0);
    const fs::path built = above / "tools" / tool / name;
    return present(built) ? built : fs::path();
}

std::string describeFolders(const Folders& f) {
    const std::string beside = "beside the program";
    const auto show = [&](const fs::path& p, const std::string& empty) {
        return p.empty() ? empty : p.string();
    };
    return "configuration: " + show(f.config, beside) + "\nlog: " + show(f.log, beside) +
           "\ndata: " + show(f.data, "the working directory") + "\n";
}

const Folders& foldersInUse() {
    return current();
}

void setFoldersInUse(const Folders& folders) {
    current() = folders;
}

}  // namespace varnel
