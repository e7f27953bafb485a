// The site program on POSIX: stop requests are SIGINT and SIGTERM, taken with sigwait.
#include "demo_site/site_program.h"

#include <pthread.h>

#include <csignal>

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

int RunProgramUntilItEnds(const std::string&, StopRequests&, std::string& error) {
    // On Linux, scripts/run.sh serves the site beside the program.
    error = "--run belongs to the Windows package; on Linux scripts/run.sh starts both";
    return -1;
}

}  // namespace lumeno::demo
