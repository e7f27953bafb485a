// Qt's event dispatcher behind the window thread's message loop.
#include "ui/qt_message_loop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace lumeno::ui {

QtThreadMessageLoop::QtThreadMessageLoop() = default;

void QtThreadMessageLoop::DispatchPending() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtThreadMessageLoop::WaitForMessages(std::chrono::steady_clock::time_point until) {
    if (posted_.load() > 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (until <= now) return;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(context_.thread());
    if (!dispatcher) return;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    if (until != std::chrono::steady_clock::time_point::max()) {
        const auto rest = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        timer.start(static_cast<int>(std::min<std::chrono::milliseconds::rep>(
            rest.count(), std::numeric_limits<int>::max())));
    }
    dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
}

bool QtThreadMessageLoop::HasPending() {
    return posted_.load() > 0;
}

void QtThreadMessageLoop::Wake() {
    if (QAbstractEventDispatcher* dispatcher =
            QAbstractEventDispatcher::instance(context_.thread())) {
        dispatcher->wakeUp();
    }
}

bool QtThreadMessageLoop::Post(std::function<void()> message) {
    if (!message) return false;
    ++posted_;
    const bool queued = QMetaObject::invokeMethod(
        &context_,
        [this, message = std::move(message)] {
            --posted_;
            message();
        },
        Qt::QueuedConnection);
    if (!queued) --posted_;
    return queued;
}

bool QtThreadMessageLoop::PostQuit(int exitCode) {
    return QMetaObject::invokeMethod(
        &context_, [exitCode] { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
}

}  // namespace lumeno::ui
