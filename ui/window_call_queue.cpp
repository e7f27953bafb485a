// Batching of worker calls onto the window thread.
#include "ui/window_call_queue.h"

#include <chrono>

namespace lumeno::ui {
namespace {

// Longest stretch one batch may keep the event loop busy.
constexpr auto kBatchTimeBox = std::chrono::milliseconds(15);

}  // namespace

WindowCallQueue::WindowCallQueue() : windowThread_(std::this_thread::get_id()) {}

void WindowCallQueue::Post(std::function<void()> call) {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    calls_.push_back(std::move(call));
    ScheduleLocked();
}

void WindowCallQueue::ScheduleLocked() {
    if (scheduled_) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(
        &context_, [this] { RunBatch(); }, Qt::QueuedConnection);
}

bool WindowCallQueue::RunOne() {
    std::function<void()> call;
    {
        std::lock_guard lock(mutex_);
        if (calls_.empty()) return false;
        call = std::move(calls_.front());
        calls_.pop_front();
    }
    // Runs unlocked: a call may post further calls.
    call();
    return true;
}

void WindowCallQueue::RunAll() {
    while (RunOne()) {
    }
}

void WindowCallQueue::RunBatch() {
    {
        std::lock_guard lock(mutex_);
        scheduled_ = false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kBatchTimeBox;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!RunOne()) return;
    }
    std::lock_guard lock(mutex_);
    if (!calls_.empty() && !closed_) ScheduleLocked();
}

void WindowCallQueue::Close() {
    std::deque<std::function<void()>> dropped;
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.swap(calls_);
}

std::size_t WindowCallQueue::Pending() const {
    std::lock_guard lock(mutex_);
    return calls_.size();
}

}  // namespace lumeno::ui
