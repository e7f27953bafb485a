// lumeno-demo-site: serves the local wallpaper site on 127.0.0.1 until asked to stop (SIGINT,
// SIGTERM; Ctrl+C or closing the console on Windows).
// Usage: lumeno-demo-site [--port N] [--https] [--run PROGRAM]
//   --run PROGRAM  serve only while PROGRAM runs: once the site answers, PROGRAM is started
//                  (a file name beside this program, or a path); when it ends, the site stops
//                  and this program exits with PROGRAM's exit code. The Windows package's start
//                  script runs Lumeno Box so.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <httplib.h>

#include "demo_site/demo_site.h"
#include "demo_site/site_program.h"

namespace {

// The site answers a real request for its root listing.
bool Answers(int port) {
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(2);
    client.set_read_timeout(5);
    const auto result = client.Get("/");
    return result && result->status == 200;
}

}  // namespace

int main(int argc, char** argv) {
    lumeno::demo::SiteOptions options;
    options.port = 8808;
    const char* program = nullptr;
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
        } else if (std::strcmp(argv[i], "--run") == 0 && i + 1 < argc) {
            program = argv[++i];
        } else {
            std::fprintf(stderr, "usage: lumeno-demo-site [--port N] [--https] [--run PROGRAM]\n");
            return 2;
        }
    }
    lumeno::demo::StopRequests stops;  // before any server thread exists

    lumeno::demo::DemoSite site(options);
    if (!site.Start()) {
        std::fprintf(stderr, "lumeno-demo-site: cannot serve the site: %s\n",
                     site.StartError().c_str());
        return 1;
    }
    std::printf("Lumeno demo site listening on %s/\n", site.BaseUrl().c_str());
    std::fflush(stdout);
    if (program == nullptr) {
        stops.Wait();
        site.Stop();
        return 0;
    }

    if (!Answers(site.Port())) {
        std::fprintf(stderr, "lumeno-demo-site: the site does not answer on %s/\n",
                     site.BaseUrl().c_str());
        return 1;
    }
    std::printf("Starting %s: the site serves until it ends.\n", program);
    std::fflush(stdout);
    std::string error;
    const int code = lumeno::demo::RunProgramUntilItEnds(program, stops, error);
    site.Stop();
    if (code == -1 && !error.empty()) {
        std::fprintf(stderr, "lumeno-demo-site: %s\n", error.c_str());
        return 1;
    }
    if (code != 0) {
        std::fprintf(stderr, "lumeno-demo-site: %s ended with exit code %d (0x%X)\n", program, code,
                     static_cast<unsigned>(code));
    }
    std::printf("The site has stopped.\n");
    return code;
}
