// The default per-thread queue. Messages run outside the lock, so a message may post further
// messages (to its own thread too) without deadlocking; those run in the same dispatch.
// Wakers notify while they hold the lock: a woken owner cannot return from its wait, end its
// thread and destroy the queue while the notification is still in progress.
#include "platform/system/posted_message_queue.h"

#include "platform/system/deadline.h"

namespace lumeno::platform {

std::unique_ptr<DefaultThreadQueue> MakeDefaultThreadQueue() {
    return std::make_unique<PostedMessageQueue>();
}

void PostedMessageQueue::DispatchPending() {
    for (;;) {
        std::function<void()> message;
        {
            std::lock_guard lock(mutex_);
            if (!DispatchableLocked()) return;
            message = std::move(entries_.front().message);
            entries_.pop_front();
        }
        message();
    }
}

void PostedMessageQueue::WaitForMessages(std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(mutex_);
    while (!DispatchableLocked() && !woken_) {
        if (std::chrono::steady_clock::now() >= until) return;
        arrived_.wait_until(lock, SliceEnd(until));
    }
    woken_ = false;
}

bool PostedMessageQueue::HasPending() {
    std::lock_guard lock(mutex_);
    return DispatchableLocked();
}

void PostedMessageQueue::Wake() {
    std::lock_guard lock(mutex_);
    woken_ = true;
    arrived_.notify_all();
}

bool PostedMessageQueue::Post(std::function<void()> message) {
    if (!message) return false;
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    entries_.push_back(Entry{std::move(message), 0});
    arrived_.notify_all();
    return true;
}

bool PostedMessageQueue::PostQuit(int exitCode) {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    entries_.push_back(Entry{nullptr, exitCode});
    arrived_.notify_all();
    return true;
}

std::optional<int> PostedMessageQueue::QuitCodeNext() {
    std::lock_guard lock(mutex_);
    if (entries_.empty() || entries_.front().message) return std::nullopt;
    return entries_.front().exitCode;
}

void PostedMessageQueue::MoveTo(ThreadMessageLoop& target) {
    std::deque<Entry> moving;
    {
        std::lock_guard lock(mutex_);
        moving.swap(entries_);
    }
    for (Entry& entry : moving) {
        if (entry.message) {
            target.Post(std::move(entry.message));
        } else {
            target.PostQuit(entry.exitCode);
        }
    }
}

void PostedMessageQueue::Close() {
    std::deque<Entry> dropped;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        dropped.swap(entries_);
    }
    // The functors are destroyed outside the lock: their captures may do anything.
}

}  // namespace lumeno::platform
