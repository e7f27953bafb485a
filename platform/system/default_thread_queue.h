// The default message queue every thread has until it installs a loop of its own: posted
// functors and the quit message. Each platform makes its own (MakeDefaultThreadQueue); the
// registry of per-thread loops (message_loop.cpp) is the same everywhere.
#pragma once

#include <memory>
#include <optional>

#include "platform/system/message_loop.h"

namespace lumeno::platform {

class DefaultThreadQueue : public ThreadMessageLoop {
public:
    // The quit message's exit code when it is next in the queue. Owning thread only.
    virtual std::optional<int> QuitCodeNext() = 0;

    // Moves every queued functor, and the quit message if one is queued, into `target`, in
    // order.
    virtual void MoveTo(ThreadMessageLoop& target) = 0;

    // After Close the queue accepts nothing more (its thread has ended).
    virtual void Close() = 0;
};

// The calling thread's new default queue; called once per thread, on that thread.
std::unique_ptr<DefaultThreadQueue> MakeDefaultThreadQueue();

}  // namespace lumeno::platform
