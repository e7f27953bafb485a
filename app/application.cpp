// Start-up in order (globals, exit clean-up, window, message loop) and shutdown: closing the
// window cancels the services, tells the workers to stop and waits a bounded time for them.
#include "app/application.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/category_selection.h"
#include "app/main_window.h"
#include "crawler/crawler_state.h"
#include "platform/system/worker_threads.h"
#include "ui/window_system.h"
#include "util/runtime_services.h"

namespace lumeno {
namespace {

// Releases the global state when the program ends normally: the thumbnail addresses, then the
// array, then the save folder.
class ExitCleanup {
public:
    explicit ExitCleanup(std::unique_ptr<CrawlerState>& state) : state_(state) {}
    ~ExitCleanup() {
        if (!state_) return;
        {
            std::lock_guard lock(state_->pageThumbnailsMutex);
            state_->PageThumbnails.Clear();
        }
        {
            std::lock_guard lock(state_->saveFolderMutex);
            state_->SaveFolder.clear();
        }
        state_.reset();
    }
    ExitCleanup(const ExitCleanup&) = delete;
    ExitCleanup& operator=(const ExitCleanup&) = delete;

private:
    std::unique_ptr<CrawlerState>& state_;
};

void WriteToStandardError(const Text& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

bool RunMainWindow(ui::WindowSystem& system, MainWindow& window,
                   std::chrono::milliseconds workerWait) {
    ui::Form& form = window.Form();
    SetFatalErrorReporter([&form](const Text& boxText) {
        if (form.IsShutDown()) {
            WriteToStandardError(boxText);
        } else {
            form.ShowFatalError(boxText);
        }
    });
    window.OnClose([&system] {
        platform::RequestShutdown();
        system.Quit();
    });

    window.Show();
    system.Run();

    // Closing: the services already answer workers with empty values; give the workers a
    // bounded time to notice the shutdown flag and end.
    form.Shutdown();
    platform::RequestShutdown();
    const bool workersDone = platform::WaitForWorkers(workerWait);
    SetFatalErrorReporter({});
    return workersDone;
}

int RunLumenoBox(int argc, char** argv, const Text& baseUrl,
                 const BindCrawlerHandlers& bindCrawler) {
    // 1. The globals: PageThumbnails empty, SaveFolder empty.
    auto state = std::make_unique<CrawlerState>();
    // 2. The exit clean-up that releases them.
    ExitCleanup cleanup(state);

    // 3. The window with every control in its start-up state.
    const std::unique_ptr<ui::WindowSystem> system = ui::CreateWindowSystem(argc, argv);
    MainWindow window(baseUrl);
    BindCategoryBoxes(window);
    if (bindCrawler) bindCrawler(window, *state);

    // 4. The window thread's message loop until the window closes.
    if (!RunMainWindow(*system, window, kWorkerShutdownWait)) {
        // A worker still holds references to the window and the state: tearing them down
        // under it would crash, so the process ends here without running destructors.
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return 0;
}

}  // namespace lumeno
