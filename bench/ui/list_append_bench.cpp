// A worker appending 20 000 row pairs with their texts to two visible list views: rows per
// second, and the longest stretch the window thread's event loop went without running (a 1 ms
// timer measures the gaps). longest_stall_ms is wall-clock time and includes time the thread
// was not scheduled at all; longest_busy_ms counts only the window thread's own CPU time
// between two ticks, which is what the batching controls.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTimer>

#include "ui/form_window.h"
#include "ui/qt_window_controls.h"
#include "util/runtime_services.h"

namespace {

using namespace lumeno;

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

constexpr const char* kImages = "列表甲";
constexpr const char* kSources = "列表乙";

const ui::ControlRow kControls[] = {
    {kImages,
     ui::ControlKind::ListView,
     "",
     8,
     8,
     320,
     360,
     true,
     true,
     ui::kNoFlags,
     {{{"网站地址", 218}, {"状态", 75}}}},
    {kSources,
     ui::ControlKind::ListView,
     "",
     336,
     8,
     280,
     360,
     true,
     true,
     ui::kNoFlags,
     {{{"网站地址", 188}, {"状态", 75}}}},
};

void WorkerAppendsRowPairs(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    double longestStallMs = 0;
    double longestBusyMs = 0;
    for (auto _ : state) {
        ui::FormWindow window(ui::WindowLayout{"bench", 700, 380, kControls});
        ui::QtWindowControls controls(window);
        window.show();
        QApplication::processEvents();

        QElapsedTimer sinceTick;
        sinceTick.start();
        qint64 longestGap = 0;
        double lastCpu = ThreadCpuMs();
        double longestBusy = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, sinceTick.nsecsElapsed());
            sinceTick.restart();
            const double cpu = ThreadCpuMs();
            longestBusy = std::max(longestBusy, cpu - lastCpu);
            lastCpu = cpu;
        });
        ticker.start(1);

        std::atomic<bool> done{false};
        std::thread worker([&] {
            for (int i = 0; i < rows; ++i) {
                const Text name = "http://127.0.0.1:8808/uploads/2024/01/02/picture" + ToText(i);
                const int image = controls.AppendListRow(kImages);
                const int source = controls.AppendListRow(kSources);
                controls.SetListCellText(kImages, image, 0, name + ".jpg");
                controls.SetListCellText(kSources, source, 0, name + "small1234567890.jpg");
            }
            // A round trip: returns once every queued call ahead of it has run.
            controls.ListCellText(kImages, rows - 1);
            done = true;
        });
        while (!done) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worker.join();
        ticker.stop();
        longestStallMs = std::max(longestStallMs, static_cast<double>(longestGap) / 1e6);
        longestBusyMs = std::max(longestBusyMs, longestBusy);
        window.close();
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["longest_stall_ms"] = longestStallMs;
    state.counters["longest_busy_ms"] = longestBusyMs;
}

BENCHMARK(WorkerAppendsRowPairs)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
