// Per-thread message loops: every thread has a queue of posted messages (functors) that its
// owner dispatches; a thread with its own event loop (the window thread) installs an adapter
// instead, and posts to that thread then go through the adapter.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace lumeno::platform {

// The loop a thread dispatches its messages from.
class ThreadMessageLoop {
public:
    virtual ~ThreadMessageLoop() = default;

    // Dispatches the waiting messages, in the order they were posted, until none is left or
    // the quit message is next (it stays queued). Called only on the owning thread.
    virtual void DispatchPending() = 0;

    // Blocks the owning thread until a message can be dispatched, Wake() was called or
    // `until` has come, whichever is first. Returns at once when a message is waiting.
    // Must block: callers wait again after it returns, so returning early in a loop spins.
    virtual void WaitForMessages(std::chrono::steady_clock::time_point until) = 0;

    // True when a message other than the quit message is waiting.
    virtual bool HasPending() = 0;

    // Ends a WaitForMessages in progress (or the next one) early. Callable from any thread.
    virtual void Wake() = 0;

    // Queues `message` to run on the owning thread; wakes the thread. Callable from any
    // thread. False when the loop no longer accepts messages.
    virtual bool Post(std::function<void()> message) = 0;

    // Queues the quit message with `exitCode`. Loops without a quit message return false.
    virtual bool PostQuit(int exitCode) {
        (void)exitCode;
        return false;
    }
};

// Identifies a thread for posting; 0 is no thread. A thread gets its id (and its queue) the
// first time it asks for the id or dispatches; the id is never reused.
using ThreadId = std::uint32_t;

ThreadId CurrentThreadId();

// Makes `loop` the calling thread's loop (nullptr goes back to the default queue). Messages
// already queued in the default queue move over to the installed loop, in order. The loop must
// stay alive until it is uninstalled or the thread ends; once this returns, no post reaches a
// loop that was replaced.
void InstallThreadMessageLoop(ThreadMessageLoop* loop);

// The calling thread's loop: the installed one, otherwise its default queue.
ThreadMessageLoop& CurrentThreadLoop();

// Posts `message` to the thread's loop. False when the thread is unknown or has ended.
bool PostThreadMessage(ThreadId thread, std::function<void()> message);

// Posts the quit message to the calling thread's loop.
bool PostQuitMessage(int exitCode);

// The exit code of the quit message when it is the next message in the calling thread's
// default queue; nothing otherwise.
std::optional<int> QueuedQuitCode();

// Wakes the loop of every thread that has one (used when the program closes).
void WakeAllThreadLoops();

}  // namespace lumeno::platform
