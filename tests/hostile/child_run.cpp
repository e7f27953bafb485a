// Child processes for the hostile-site cases: spawn, read its output while it runs, end it at
// the limit, and collect its resource usage when it is reaped.
#include "tests/hostile/child_run.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lumeno::testing {

ChildResult RunChild(const std::vector<std::string>& arguments, std::chrono::milliseconds limit) {
    ChildResult result;
    int out[2];
    if (::pipe(out) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return result;
    }
    result.started = true;

    const auto deadline = start + limit;
    bool open = true;
    int status = 0;
    rusage usage{};
    for (;;) {
        if (open) {
            pollfd entry{out[0], POLLIN, 0};
            if (::poll(&entry, 1, 50) > 0) {
                char buffer[65536];
                const ssize_t n = ::read(out[0], buffer, sizeof buffer);
                if (n > 0) {
                    result.output.append(buffer, static_cast<std::size_t>(n));
                } else {
                    open = false;
                }
            }
        } else {
            ::usleep(20000);
        }
        if (::wait4(pid, &status, WNOHANG, &usage) == pid) break;
        if (std::chrono::steady_clock::now() >= deadline && !result.timedOut) {
            result.timedOut = true;
            ::kill(pid, SIGKILL);
        }
    }
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    char buffer[65536];
    for (ssize_t n; open && (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        result.output.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.peakKiB = usage.ru_maxrss;
    return result;
}

}  // namespace lumeno::testing
