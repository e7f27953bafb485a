// The window thread's message loop on Qt: installed as that thread's loop so ProcessMessages,
// ResponsiveDelay and messages posted to the window thread go through Qt's event queue.
#pragma once

#include <atomic>

#include <QObject>

#include "platform/system/message_loop.h"

namespace lumeno::ui {

class QtThreadMessageLoop final : public platform::ThreadMessageLoop {
public:
    // Create on the window thread, with the application object alive.
    QtThreadMessageLoop();

    void DispatchPending() override;
    // Qt cannot look at its queue without dispatching: the wait dispatches what arrives and
    // returns after the first batch, at `until`, or on Wake().
    void WaitForMessages(std::chrono::steady_clock::time_point until) override;
    bool HasPending() override;
    void Wake() override;
    bool Post(std::function<void()> message) override;
    bool PostQuit(int exitCode) override;

private:
    QObject context_;
    std::atomic<int> posted_{0};  // messages posted through Post and not yet run
};

}  // namespace lumeno::ui
