// Fatal runtime errors: the box text, the installable reporter and the immediate exit.
#include "util/runtime_services.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace lumeno {

namespace {

std::mutex& ReporterMutex() {
    static std::mutex mutex;
    return mutex;
}

std::function<void(const Text&)>& Reporter() {
    static std::function<void(const Text&)> reporter;
    return reporter;
}

void WriteToStandardError(const Text& boxText) {
    std::fwrite(boxText.data(), 1, boxText.size(), stderr);
    std::fflush(stderr);
}

std::atomic<bool> g_fatalInProgress{false};
thread_local bool t_reporting = false;

}  // namespace

Text FatalErrorText(int code, const Text& message) {
    Text text = "运行时出错!\r\n\r\n";
    if (code >= 0) text += "错误代码：" + ToText(code) + "\r\n\r\n";
    text += "错误信息：" + message + "\r\n";
    return text;
}

void SetFatalErrorReporter(std::function<void(const Text& boxText)> reporter) {
    std::lock_guard lock(ReporterMutex());
    Reporter() = std::move(reporter);
}

// Ends with std::_Exit rather than exit: the error may strike on a worker while the window
// thread and other workers still run, and exit() would run static destructors and atexit
// handlers under their feet (Qt's globals, the curl global state), trading a clean stop for a
// crash or a hang. Nothing is buffered that needs flushing: the reporter has shown the text.
void FatalRuntimeError(int code, const Text& message) {
    const Text boxText = FatalErrorText(code, message);
    // A fatal error raised while the reporter runs on this thread, or a second one from another
    // thread, must not show a second box: the first report ends the process.
    if (t_reporting) {
        WriteToStandardError(boxText);
        std::_Exit(-1);
    }
    if (g_fatalInProgress.exchange(true)) {
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    t_reporting = true;
    std::function<void(const Text&)> reporter;
    {
        std::lock_guard lock(ReporterMutex());
        reporter = Reporter();
    }
    try {
        if (reporter) {
            reporter(boxText);
        } else {
            WriteToStandardError(boxText);
        }
    } catch (...) {
        WriteToStandardError(boxText);
    }
    std::_Exit(-1);
}

}  // namespace lumeno
