// Fifty sequential GETs of a 100 KB page from the local site: the object transport next to the
// curl command-line tool on the same loopback server. Each curl run is one process per request
// (a fresh session each time, as the object transport opens one per call); the single-process
// run with connection reuse is shown as the strictest reference. libcurl in this process with a
// new connection per URL, each body kept in memory, is the reference for the same work.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/http/libcurl_reference.h"
#include "demo_site/demo_site.h"
#include "http/object_web_request.h"

extern char** environ;

namespace {

constexpr int kRequests = 50;
constexpr int kPageBytes = 100 * 1024;

lumeno::demo::DemoSite& Site() {
    static lumeno::demo::DemoSite site;
    static const bool started = site.Start();
    if (!started) std::abort();
    return site;
}

std::string PageUrl() {
    return Site().BaseUrl() + "/size?bytes=" + std::to_string(kPageBytes);
}

// Runs curl with the arguments and waits for it; false when it could not run or failed.
bool RunCurl(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    std::vector<std::string> storage = arguments;
    storage.insert(storage.begin(), "curl");
    for (std::string& a : storage) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs kRequests fetches of the page per iteration; fetch(url) gives the body's size, or -1
// when the fetch failed.
template <class Fetch>
void FetchPages(benchmark::State& state, const char* failure, Fetch fetch) {
    const std::string url = PageUrl();
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            if (fetch(url) != kPageBytes) {
                state.SkipWithError(failure);
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kRequests);
    state.SetBytesProcessed(state.iterations() * kRequests * kPageBytes);
}

void BM_ObjectWebRequest(benchmark::State& state) {
    FetchPages(state, "short body", [](const std::string& url) {
        const lumeno::ByteSet body = lumeno::ObjectWebRequest(url);
        benchmark::DoNotOptimize(body.data());
        return static_cast<long>(body.size());
    });
}
BENCHMARK(BM_ObjectWebRequest)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CurlProcessPerRequest(benchmark::State& state) {
    const std::string url = PageUrl();
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            if (!RunCurl({"-s", "-o", "/dev/null", "--noproxy", "*", url})) {
                state.SkipWithError("curl failed");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kRequests);
    state.SetBytesProcessed(state.iterations() * kRequests * kPageBytes);
}
BENCHMARK(BM_CurlProcessPerRequest)->Unit(benchmark::kMillisecond)->UseRealTime();

// libcurl sending the same header lines as the object transport with a URL alone.
void BM_LibcurlNewConnectionPerRequest(benchmark::State& state) {
    const std::string page = PageUrl();
    const std::vector<std::string> headers = {
        "Accept: */*",
        "Referer: " + page,
        "Accept-Language: zh-cn",
        "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
    };
    FetchPages(state, "libcurl failed", [&headers](const std::string& url) {
        std::string body;
        if (!lumeno::bench::FetchOnNewConnection(url, &body, headers)) return -1L;
        benchmark::DoNotOptimize(body.data());
        return static_cast<long>(body.size());
    });
}
BENCHMARK(BM_LibcurlNewConnectionPerRequest)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CurlOneProcessReusingConnection(benchmark::State& state) {
    const std::string url = PageUrl();
    std::vector<std::string> arguments{"-s", "--noproxy", "*"};
    for (int i = 0; i < kRequests; ++i) {
        arguments.push_back("-o");
        arguments.push_back("/dev/null");
        arguments.push_back(url);
    }
    for (auto _ : state) {
        if (!RunCurl(arguments)) {
            state.SkipWithError("curl failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kRequests);
    state.SetBytesProcessed(state.iterations() * kRequests * kPageBytes);
}
BENCHMARK(BM_CurlOneProcessReusingConnection)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
