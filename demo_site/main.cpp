// lumeno-demo-site: serves the local wallpaper site on 127.0.0.1 until SIGINT or SIGTERM.
// Usage: lumeno-demo-site [--port N] [--https]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo_site/demo_site.h"

int main(int argc, char** argv) {
    lumeno::demo::SiteOptions options;
    options.port = 8808;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            char* end = nullptr;
            const long port = std::strtol(argv[++i], &end, 10);
            if (end == nullptr || *end != '\0' || port < 1 || port > 65535) {
                std::fprintf(stderr, "lumeno-demo-site: bad port '%s'\n", argv[i]);
                return 2;
            }
            options.port = static_cast<int>(port);
        } else if (std::strcmp(argv[i], "--https") == 0) {
            options.https = true;
        } else {
            std::fprintf(stderr, "usage: lumeno-demo-site [--port N] [--https]\n");
            return 2;
        }
    }
    // Block the stop signals before any server thread exists, then wait for one here.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    lumeno::demo::DemoSite site(options);
    if (!site.Start()) {
        std::fprintf(stderr, "lumeno-demo-site: cannot listen on 127.0.0.1:%d\n", options.port);
        return 1;
    }
    std::printf("Lumeno demo site listening on %s/\n", site.BaseUrl().c_str());
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    site.Stop();
    return 0;
}
