// The ordered queue of calls that workers hand to the window thread. Calls run on the window
// thread strictly in the order they were posted, in time-boxed batches so a burst of thousands
// of calls never stalls the window's event loop.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include <QObject>

namespace lumeno::ui {

class WindowCallQueue {
public:
    // Create on the window thread: calls run on the thread that created the queue.
    WindowCallQueue();
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

private:
    // One batch: runs calls until the queue is empty or the time box is used up, then
    // schedules the next batch behind whatever input arrived meanwhile.
    void RunBatch();
    bool RunOne();
    void ScheduleLocked();

    const std::thread::id windowThread_;
    QObject context_;  // lives on the window thread; queued batches die with it
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
    std::deque<std::function<void()>> taken_;  // window thread only: taken out, not yet run
    bool scheduled_ = false;
    bool closed_ = false;
};

}  // namespace lumeno::ui
