// The default message loop of a thread: a queue of posted functors and the quit message,
// guarded by a mutex, with a condition variable for waiting.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/system/default_thread_queue.h"

namespace lumeno::platform {

class PostedMessageQueue final : public DefaultThreadQueue {
public:
    void DispatchPending() override;
    void WaitForMessages(std::chrono::steady_clock::time_point until) override;
    bool HasPending() override;
    void Wake() override;
    bool Post(std::function<void()> message) override;
    bool PostQuit(int exitCode) override;

    std::optional<int> QuitCodeNext() override;
    void MoveTo(ThreadMessageLoop& target) override;
    void Close() override;

private:
    struct Entry {
        std::function<void()> message;  // empty for the quit message
        int exitCode = 0;
    };

    bool DispatchableLocked() const { return !entries_.empty() && entries_.front().message; }

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Entry> entries_;
    bool woken_ = false;
    bool closed_ = false;
};

}  // namespace lumeno::platform
