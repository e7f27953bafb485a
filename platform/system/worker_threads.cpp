// The process-wide worker registry: a count of running workers guarded by a mutex so that
// WaitForWorkers can sleep until it drops to zero, and the atomic shutdown flag.
#include "platform/system/worker_threads.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/system/message_loop.h"

namespace lumeno::platform {
namespace {

struct WorkerRegistry {
    std::mutex mutex;
    std::condition_variable finished;
    int running = 0;
};

// Never destroyed: detached workers may still finish while static objects are torn down at
// exit, and they must find the registry intact.
WorkerRegistry& Registry() {
    static WorkerRegistry* registry = new WorkerRegistry;
    return *registry;
}

std::atomic<bool> shutdownRequested{false};

void WorkerFinished() {
    WorkerRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    --registry.running;
    registry.finished.notify_all();
}

}  // namespace

bool StartWorkerThread(std::function<void()> routine) {
    if (!routine || ShutdownRequested()) return false;
    WorkerRegistry& registry = Registry();
    {
        std::lock_guard lock(registry.mutex);
        ++registry.running;
    }
    try {
        std::thread([routine = std::move(routine)]() mutable {
            // An exception must not escape a detached thread (that ends the process); the
            // worker's work is lost either way, but the program and the count stay sound.
            try {
                routine();
            } catch (...) {
            }
            // What the routine captured is released before the worker counts as finished, so
            // whoever waited for the workers may tear down what those captures point to.
            routine = nullptr;
            WorkerFinished();
        }).detach();
    } catch (const std::system_error&) {
        WorkerFinished();
        return false;
    }
    return true;
}

void RequestShutdown() {
    shutdownRequested.store(true);
    WakeAllThreadLoops();
}

bool ShutdownRequested() {
    return shutdownRequested.load(std::memory_order_acquire);
}

bool WaitForWorkers(std::chrono::milliseconds limit) {
    WorkerRegistry& registry = Registry();
    std::unique_lock lock(registry.mutex);
    return registry.finished.wait_for(lock, limit, [&] { return registry.running == 0; });
}

int RunningWorkers() {
    WorkerRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    return registry.running;
}

}  // namespace lumeno::platform
