// The program's start and end: the global state, the exit clean-up, the main window, the
// window thread's message loop and the orderly shutdown when the window closes.
#pragma once

#include <chrono>
#include <functional>

#include "util/text_types.h"

namespace lumeno {

// How long a closing program waits for its workers before it ends anyway.
inline constexpr std::chrono::milliseconds kWorkerShutdownWait{3000};

class MainWindow;
struct CrawlerState;
namespace ui {
class WindowSystem;
}

// Binds the crawler's handlers ("开始爬虫", "下载全部", the click in ImageList) to the window;
// the state is the program's one CrawlerState, alive until the program ends.
using BindCrawlerHandlers = std::function<void(MainWindow& window, CrawlerState& state)>;

// Installs the window's fatal-error box and the window thread's message loop, shows the window
// and runs the event loop until the user closes it; then shuts down: the services answer
// waiting workers with empty values, workers are told to stop and are waited for at most
// `workerWait`. True when no worker is left running. `system` is the process's window system.
bool RunMainWindow(ui::WindowSystem& system, MainWindow& window,
                   std::chrono::milliseconds workerWait);

// Runs the program with the window's link box showing `baseUrl`; returns the exit code (0).
// `bindCrawler` runs once the window is built, before it is shown.
int RunLumenoBox(int argc, char** argv, const Text& baseUrl,
                 const BindCrawlerHandlers& bindCrawler = {});

}  // namespace lumeno
