// The default queue of a thread on Windows is the thread's own message queue. A posted functor
// waits in a list beside it and one "run a posted functor" message per functor goes into the
// queue, so functors run in their turn among the thread's other messages, which are translated
// and dispatched as usual (window messages, the messages of the object runtime's apartment).
// A wake is a message of its own that does nothing when dispatched; the quit message is the
// queue's WM_QUIT.
#include "platform/windows/win32.h"

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/system/default_thread_queue.h"

namespace lumeno::platform {
namespace {

constexpr UINT kRunPostedMessage = WM_APP + 0x1A1;
constexpr UINT kWakeMessage = WM_APP + 0x1A2;

class Win32ThreadQueue final : public DefaultThreadQueue {
public:
    Win32ThreadQueue() : threadId_(::GetCurrentThreadId()) {
        // A thread has a message queue only once it calls a message function; make it now, so
        // posts to this thread succeed from the start.
        MSG message;
        ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    }

    void DispatchPending() override {
        MSG message;
        for (;;) {
            if (!::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) return;
            if (message.message == WM_QUIT) return;  // stays queued
            if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return;
            if (message.message == WM_QUIT) {
                // Posted between the two looks: put it back, it must stay queued.
                PostQuitThreadMessage(static_cast<int>(message.wParam));
                return;
            }
            if (message.hwnd == nullptr && message.message == kRunPostedMessage) {
                RunOnePosted();
            } else if (message.hwnd == nullptr && message.message == kWakeMessage) {
                // Only there to end a wait.
            } else {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
    }

    void WaitForMessages(std::chrono::steady_clock::time_point until) override {
        if (HasPending()) return;
        // Checked after HasPending took the wake messages away: a wake that comes later
        // leaves its message in the queue, and the wait below sees it.
        if (woken_.exchange(false)) return;
        const auto now = std::chrono::steady_clock::now();
        DWORD milliseconds = INFINITE;
        if (until != std::chrono::steady_clock::time_point::max()) {
            if (now >= until) return;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
            milliseconds =
                left >= static_cast<long long>(INFINITE) ? INFINITE - 1 : static_cast<DWORD>(left);
        }
        ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        woken_.store(false);
    }

    bool HasPending() override {
        DropWakeMessages();
        MSG message;
        return ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT;
    }

    void Wake() override {
        woken_.store(true);
        ::PostThreadMessageW(threadId_, kWakeMessage, 0, 0);
    }

    bool Post(std::function<void()> message) override {
        if (!message) return false;
        std::lock_guard lock(mutex_);
        if (closed_) return false;
        posted_.push_back(std::move(message));
        // Under the lock, so that on failure the functor taken back is this one.
        if (!::PostThreadMessageW(threadId_, kRunPostedMessage, 0, 0)) {
            posted_.pop_back();
            return false;
        }
        return true;
    }

    bool PostQuit(int exitCode) override {
        {
            std::lock_guard lock(mutex_);
            if (closed_) return false;
        }
        // A posted WM_QUIT, not User32's PostQuitMessage: that one only raises a flag on the
        // queue, and the system hands out every posted message first, also those posted after
        // it. Posted, the quit message keeps its place among the functors, as the loop's
        // order promises.
        return PostQuitThreadMessage(exitCode);
    }

    std::optional<int> QuitCodeNext() override {
        DropWakeMessages();
        MSG message;
        if (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message == WM_QUIT) {
            return static_cast<int>(message.wParam);
        }
        return std::nullopt;
    }

    void MoveTo(ThreadMessageLoop& target) override {
        // Our own messages at the head of the queue move in queue order: the functors and the
        // quit message keep their places among each other.
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) && message.hwnd == nullptr) {
            const UINT kind = message.message;
            if (kind != kRunPostedMessage && kind != kWakeMessage && kind != WM_QUIT) break;
            ::PeekMessageW(&message, nullptr, kind, kind, PM_REMOVE);
            if (kind == kRunPostedMessage) {
                if (std::function<void()> posted = TakeOnePosted()) target.Post(std::move(posted));
            } else if (kind == WM_QUIT) {
                target.PostQuit(static_cast<int>(message.wParam));
            }
        }
        // Behind a message of another kind (a window's): the rest follows after, functors
        // first.
        while (::PeekMessageW(&message, nullptr, kRunPostedMessage, kRunPostedMessage, PM_REMOVE)) {
        }
        std::deque<std::function<void()>> moving;
        {
            std::lock_guard lock(mutex_);
            moving.swap(posted_);
        }
        for (auto& posted : moving) target.Post(std::move(posted));
        if (::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            target.PostQuit(static_cast<int>(message.wParam));
        }
    }

    void Close() override {
        std::deque<std::function<void()>> dropped;
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
            dropped.swap(posted_);
        }
        // The functors are destroyed outside the lock: their captures may do anything.
    }

private:
    void RunOnePosted() {
        if (std::function<void()> message = TakeOnePosted()) message();
    }

    std::function<void()> TakeOnePosted() {
        std::lock_guard lock(mutex_);
        if (posted_.empty()) return nullptr;
        std::function<void()> message = std::move(posted_.front());
        posted_.pop_front();
        return message;
    }

    bool PostQuitThreadMessage(int exitCode) {
        return ::PostThreadMessageW(threadId_, WM_QUIT, static_cast<WPARAM>(exitCode), 0) != 0;
    }

    void DropWakeMessages() {
        MSG message;
        while (::PeekMessageW(&message, nullptr, kWakeMessage, kWakeMessage, PM_REMOVE)) {
        }
    }

    const DWORD threadId_;
    std::atomic<bool> woken_{false};
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<DefaultThreadQueue> MakeDefaultThreadQueue() {
    return std::make_unique<Win32ThreadQueue>();
}

}  // namespace lumeno::platform
