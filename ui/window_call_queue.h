// The ordered queue of calls that workers hand to the window thread. Calls run on the window
// thread strictly in the order they were posted, in time-boxed batches so a burst of thousands
// of calls never stalls the window's event loop. The window system only supplies the way a
// batch gets scheduled on its event loop.
#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace lumeno::ui {

// How long a worker waiting for the window thread's answer sleeps between looks at the
// cancel flag.
inline constexpr auto kAnswerWaitSlice = std::chrono::milliseconds(50);

// Waits for a value the window thread sets, in short slices, giving up with `empty` once
// `cancelled` is set or the call was dropped.
template <class R>
R WaitForAnswer(std::future<R>& answer, R empty, const std::atomic<bool>& cancelled) {
    while (answer.wait_for(kAnswerWaitSlice) != std::future_status::ready) {
        if (cancelled) return empty;
    }
    try {
        return answer.get();
    } catch (const std::future_error&) {  // the call was dropped at shutdown
        return empty;
    }
}

class WindowCallQueue {
public:
    // Asks the window system to call RunBatch() on the window thread soon. `afterInput` is
    // true when a batch ends with calls left (on the window thread): the next one should come
    // after the input and painting that wait, and after the event loop has found its queue
    // empty. Called from any thread, with the queue's lock held: it must only post, never run
    // anything.
    using Scheduler = std::function<void(bool afterInput)>;

    // Create on the window thread: calls run on the thread that created the queue.
    explicit WindowCallQueue(Scheduler schedule);
    WindowCallQueue(const WindowCallQueue&) = delete;
    WindowCallQueue& operator=(const WindowCallQueue&) = delete;

    bool OnWindowThread() const { return std::this_thread::get_id() == windowThread_; }

    // Appends a call (from any thread) and makes sure a batch is scheduled. Ignored once closed.
    void Post(std::function<void()> call);

    // Window thread: runs every queued call now, in order. Window-thread callers use it before
    // acting directly so that earlier calls from workers land first.
    void RunAll();

    // Drops every queued call and refuses later ones. Window thread.
    void Close();

    // Calls not yet run. Window thread.
    std::size_t Pending() const;

    // One batch (window thread, from the scheduler's event): runs calls until the queue is
    // empty or the time box is used up, then schedules the next batch, behind whatever input
    // arrived meanwhile, when calls are left.
    void RunBatch();

private:
    bool RunOne();
    void ScheduleLocked(bool afterInput);

    const std::thread::id windowThread_;
    const Scheduler schedule_;
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
    std::deque<std::function<void()>> taken_;  // window thread only: taken out, not yet run
    bool scheduled_ = false;
    bool closed_ = false;
};

}  // namespace lumeno::ui
