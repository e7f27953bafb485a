// StartThread: a worker counted by the process-wide registry, so closing the window can wait
// for the workers that still run.
#include "platform/system/worker_threads.h"
#include "util/runtime_services.h"

namespace lumeno {

bool StartThread(std::function<void()> routine) {
    return platform::StartWorkerThread(std::move(routine));
}

}  // namespace lumeno
