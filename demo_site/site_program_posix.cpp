// The site program on POSIX: stop requests are SIGINT and SIGTERM, taken with sigwait; the
// program run beside the site (the installed menu entry starts Lumeno Box so) is spawned with
// posix_spawn and ended with SIGTERM, then SIGKILL, when a stop is requested.
#include "demo_site/site_program.h"

#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>

namespace lumeno::demo {
namespace {

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

}  // namespace

StopRequests::StopRequests() {
    // Blocked before any server thread exists, so that every thread leaves them to Wait.
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

StopRequests::~StopRequests() = default;

void StopRequests::Wait() {
    const sigset_t signals = StopSignals();
    int received = 0;
    sigwait(&signals, &received);
}

int RunProgramUntilItEnds(const std::string& program, StopRequests&, std::string& error) {
    std::string path = program;
    if (program.find('/') == std::string::npos) {
        std::string self(4096, '\0');
        const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
        if (n <= 0) {
            error = "cannot find this program's own folder";
            return -1;
        }
        self.resize(static_cast<std::size_t>(n));
        path = self.substr(0, self.rfind('/') + 1) + program;
    }
    const std::string folder = path.substr(0, path.rfind('/') + 1);

    // The child starts with no signal blocked and SIGPIPE at its default, not as this program
    // keeps them.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults = StopSignals();
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    char* const arguments[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    const int spawned =
        ::posix_spawn(&child, path.c_str(), &actions, &attributes, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        error = "cannot start " + path + ": " + std::strerror(spawned);
        return -1;
    }

    // Looks for its end and for a stop request in turn; a stop asks the program to end and,
    // when it has not after a few seconds, ends it.
    const sigset_t stops = StopSignals();
    const timespec slice{0, 100'000'000};
    std::chrono::steady_clock::time_point killAt{};
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (ended < 0 && errno != EINTR) return -1;
        if (::sigtimedwait(&stops, nullptr, &slice) > 0 &&
            killAt == std::chrono::steady_clock::time_point{}) {
            ::kill(child, SIGTERM);
            killAt = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        }
        if (killAt != std::chrono::steady_clock::time_point{} &&
            std::chrono::steady_clock::now() >= killAt) {
            ::kill(child, SIGKILL);
        }
    }
}

}  // namespace lumeno::demo
