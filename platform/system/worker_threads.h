// Worker threads of the process: started detached, counted in one process-wide registry, and
// the shutdown flag that tells them (and every blocking wait) that the program is closing.
#pragma once

#include <chrono>
#include <functional>

namespace lumeno::platform {

// Starts a detached thread running `routine`. The thread counts as running from before this
// returns until the routine has finished. False when the thread could not be created or
// shutdown was already requested (no new work is started while the program closes).
bool StartWorkerThread(std::function<void()> routine);

// Marks the process as closing and wakes every thread waiting in its message loop.
void RequestShutdown();

// True once RequestShutdown was called. A single atomic load: cheap enough for progress
// callbacks that run many times per second.
bool ShutdownRequested();

// Waits until no worker runs, at most `limit`. True when none is left.
bool WaitForWorkers(std::chrono::milliseconds limit);

// Workers started and not yet finished.
int RunningWorkers();

}  // namespace lumeno::platform
