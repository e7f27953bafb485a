// Batching of worker calls onto the window thread.
#include "ui/window_call_queue.h"

#include <algorithm>
#include <chrono>
#include <iterator>

namespace lumeno::ui {
namespace {

// Longest stretch one batch may keep the event loop busy.
constexpr auto kBatchTimeBox = std::chrono::milliseconds(8);
// Calls taken from the shared queue per lock, so a worker posting in a tight loop and the
// window thread taking calls out rarely meet on the mutex.
constexpr std::size_t kCallsPerTake = 64;

}  // namespace

WindowCallQueue::WindowCallQueue(Scheduler schedule)
    : windowThread_(std::this_thread::get_id()), schedule_(std::move(schedule)) {}

void WindowCallQueue::Post(std::function<void()> call) {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    calls_.push_back(std::move(call));
    ScheduleLocked(false);
}

void WindowCallQueue::ScheduleLocked(bool afterInput) {
    if (scheduled_) return;
    scheduled_ = true;
    schedule_(afterInput);
}

bool WindowCallQueue::RunOne() {
    if (taken_.empty()) {
        std::lock_guard lock(mutex_);
        if (calls_.empty()) return false;
        const auto count = static_cast<std::ptrdiff_t>(std::min(calls_.size(), kCallsPerTake));
        taken_.insert(taken_.end(), std::make_move_iterator(calls_.begin()),
                      std::make_move_iterator(calls_.begin() + count));
        calls_.erase(calls_.begin(), calls_.begin() + count);
    }
    std::function<void()> call = std::move(taken_.front());
    taken_.pop_front();
    // Runs unlocked: a call may post further calls.
    call();
    return true;
}

void WindowCallQueue::RunAll() {
    while (RunOne()) {
    }
}

void WindowCallQueue::RunBatch() {
    const auto deadline = std::chrono::steady_clock::now() + kBatchTimeBox;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!RunOne()) break;
    }
    // Calls posted while the batch ran found it scheduled and asked for nothing: the batch
    // decides now whether another follows, and it follows behind waiting input, so that a
    // worker posting without pause never keeps the window's event loop from running dry.
    std::lock_guard lock(mutex_);
    scheduled_ = false;
    if ((!calls_.empty() || !taken_.empty()) && !closed_) ScheduleLocked(true);
}

void WindowCallQueue::Close() {
    std::deque<std::function<void()>> dropped;
    if (OnWindowThread()) dropped.swap(taken_);
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.insert(dropped.end(), std::make_move_iterator(calls_.begin()),
                   std::make_move_iterator(calls_.end()));
    calls_.clear();
}

std::size_t WindowCallQueue::Pending() const {
    std::lock_guard lock(mutex_);
    return calls_.size() + taken_.size();
}

}  // namespace lumeno::ui
