// Entry point of lumeno-box: the HTTP engine, then the window with the crawler bound to it.
#include <memory>

#include "app/application.h"
#include "app/base_url.h"
#include "app/crawler_binding.h"
#include "platform/winhttp/winhttp.h"
#include "util/runtime_services.h"

int main(int argc, char** argv) {
    using namespace lumeno;
    // Once, before any thread starts a transfer.
    platform::InitializeHttpEngine();

    // The crawler lives as long as the program: workers it started may still run while the
    // window closes.
    std::unique_ptr<Crawler> crawler;
    return RunLumenoBox(argc, argv, BaseUrl, [&crawler](MainWindow& window, CrawlerState& state) {
        crawler = std::make_unique<Crawler>(window.Controls(), state, BaseUrl, RunDirectory(),
                                            PicturesDirectory());
        BindCrawler(window, *crawler);
    });
}
