#include "core/generator_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace varnel {
namespace {

// Null-terminated argument vector over `args` (which must outlive it).
std::vector<char*> argvOf(const std::vector<std::string>& args) {
    std::vector<char*> out;
    for (const std::string& a : args) out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

int statusOf(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int runWhileLocked(const std::filesystem::path& lock, const std::vector<std::string>& argv) {
    const int fd = open(lock.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    int result = -1;
    if (flock(fd, LOCK_EX) == 0) {
        std::vector<char*> args = argvOf(argv);
        pid_t pid = 0;
        if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) == 0)
            result = statusOf(pid);
    }
    close(fd);  // releases the lock
    return result;
}

BackgroundStart startInBackground(const BackgroundJob& job) {
    // Everything the forked processes use is prepared here: after fork() in a program with
    // threads only async-signal-safe calls are allowed.
    std::vector<char*> check = argvOf(job.check), generate = argvOf(job.generate);
    const std::string lock = job.lock.string(), marker = job.marker.string(),
                      log = job.log.string();
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return BackgroundStart::Failed;

    const pid_t first = fork();
    if (first < 0) {
        close(ready[0]);
        close(ready[1]);
        return BackgroundStart::Failed;
    }
    if (first == 0) {
        // The first child leaves at once, so the job is adopted by init and never a zombie here.
        if (fork() != 0) _exit(0);
        setsid();
        // Nothing of the program (its display connection, its log) stays open for minutes.
        close_range(3, ready[1] - 1, 0);
        close_range(ready[1] + 1, ~0U, 0);
        const int fd = open(lock.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        const char answer = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'S' : 'B';
        (void)!write(ready[1], &answer, 1);
        close(ready[1]);
        if (answer != 'S') _exit(0);
        unlink(marker.c_str());  // left by a job that was killed
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const auto run = [&](char** argv) {
            const pid_t pid = fork();
            if (pid == 0) {
                const int null = open("/dev/null", O_RDONLY);
                dup2(null, 0);
                if (out >= 0) {
                    dup2(out, 1);
                    dup2(out, 2);
                }
                setpriority(PRIO_PROCESS, 0, 10);
                execv(argv[0], argv);
                _exit(127);
            }
            int status = 0;
            if (pid < 0 || waitpid(pid, &status, 0) < 0) return -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        };
        if (run(check.data()) == 0) _exit(0);
        close(open(marker.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        const int status = run(generate.data());
        unlink(marker.c_str());
        _exit(status == 0 ? 0 : 1);
    }
    close(ready[1]);
    statusOf(first);
    char answer = 0;
    ssize_t got;
    while ((got = read(ready[0], &answer, 1)) < 0 && errno == EINTR) {
    }
    close(ready[0]);
    if (got != 1) return BackgroundStart::Failed;
    return answer == 'S' ? BackgroundStart::Started : BackgroundStart::AlreadyRunning;
}

}  // namespace varnel
