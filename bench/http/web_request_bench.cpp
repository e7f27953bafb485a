// WebRequest next to curl on the same loopback server, in one run: fifty sequential GETs of a
// 100 KB page, and one 50 MB body with its throughput and the peak memory of the client. curl
// runs as the command-line tool and as libcurl in this process (a new connection per URL, as
// WebRequest opens its own session per call, and a 50 MB body kept in memory, as WebRequest
// hands the body back). The site runs in a child process, so the peak resident size of this
// process is the client's alone.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/http/libcurl_reference.h"
#include "demo_site/demo_site.h"
#include "http/web_request.h"
#include "platform/winhttp/winhttp.h"

extern char** environ;

namespace {

constexpr int kRequests = 50;
constexpr int kPageBytes = 100 * 1024;
constexpr long kLargeBytes = 50L * 1024 * 1024;

std::string g_baseUrl;
pid_t g_sitePid = 0;

// Starts the site in a child process and returns its base URL; the child lives until the pipe
// to it closes.
std::string StartSiteProcess() {
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) std::abort();
    g_sitePid = fork();
    if (g_sitePid == 0) {
        close(toChild[1]);
        close(fromChild[0]);
        lumeno::demo::DemoSite site;
        const int port = site.Start() ? site.Port() : 0;
        if (write(fromChild[1], &port, sizeof port) != sizeof port) _exit(1);
        char byte;
        while (read(toChild[0], &byte, 1) > 0) {
        }
        site.Stop();
        _exit(0);
    }
    close(toChild[0]);
    close(fromChild[1]);
    int port = 0;
    if (read(fromChild[0], &port, sizeof port) != sizeof port || port == 0) std::abort();
    return "http://127.0.0.1:" + std::to_string(port);
}

// One line of /proc/self/status in kB ("VmRSS", "VmHWM"); 0 when it cannot be read.
long StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
    }
    return 0;
}

// The peak resident size of the process while `run` runs, in kB: the kernel's high-water mark
// is reset first (clear_refs 5), so earlier runs of other benchmarks do not count.
template <class Run>
long PeakResidentKbDuring(Run run) {
    std::ofstream("/proc/self/clear_refs") << "5";
    run();
    return StatusKb("VmHWM");
}

// The memory counters of a large-body run: the process's peak, and its growth over the resident
// size before the run, each over the body size.
void CountPeakMemory(benchmark::State& state, long beforeKb, long peakKb) {
    state.counters["peak_rss_MB"] = peakKb / 1024.0;
    state.counters["peak_over_body"] = peakKb * 1024.0 / kLargeBytes;
    state.counters["growth_over_body"] = (peakKb - beforeKb) * 1024.0 / kLargeBytes;
}

// Runs curl with the arguments and waits for it; false when it could not run or failed.
bool RunCurl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "curl");
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The header lines WebRequest sends with a URL alone, so libcurl's request is the same one.
const std::vector<std::string>& WebRequestHeaderLines() {
    static const std::vector<std::string> lines = {
        "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)",
        "Accept: text/html, application/xhtml+xml, */*",
        "Accept-Encoding: gbk, GB2312",
        "Accept-Language: zh-cn",
        "Cache-Control: no-cache",
    };
    return lines;
}

std::string PageUrl() {
    return g_baseUrl + "/size?bytes=" + std::to_string(kPageBytes);
}
std::string LargeUrl() {
    return g_baseUrl + "/size?bytes=" + std::to_string(kLargeBytes);
}

void BM_WebRequest_50MB(benchmark::State& state) {
    long before = 0, peak = 0;
    for (auto _ : state) {
        before = StatusKb("VmRSS");
        peak = std::max(peak, PeakResidentKbDuring([&] {
                            const lumeno::Text text = lumeno::WebRequest(LargeUrl());
                            if (static_cast<long>(text.size()) != kLargeBytes)
                                state.SkipWithError("short body");
                        }));
    }
    state.SetBytesProcessed(state.iterations() * kLargeBytes);
    CountPeakMemory(state, before, peak);
}

// One GET through the WinHTTP functions alone, every piece read into one reused buffer and
// dropped, as curl writes to /dev/null; the number of body bytes read.
long ReadLoop(const std::u16string& path, std::vector<char>& buffer) {
    using namespace lumeno::platform;
    const auto port =
        static_cast<INTERNET_PORT>(std::stoi(g_baseUrl.substr(g_baseUrl.rfind(':') + 1)));
    HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, u"", nullptr, 0);
    HINTERNET connection = WinHttpConnect(session, u"127.0.0.1", port, 0);
    HINTERNET request =
        WinHttpOpenRequest(connection, u"GET", path.c_str(), nullptr, nullptr, nullptr, 0);
    long total = 0;
    if (WinHttpSendRequest(request, nullptr, 0, nullptr, 0, 0, 0) &&
        WinHttpReceiveResponse(request, nullptr)) {
        DWORD available = 0, read = 0;
        while (WinHttpQueryDataAvailable(request, &available) && available > 0) {
            if (buffer.size() < available) buffer.resize(available);
            if (!WinHttpReadData(request, buffer.data(), available, &read)) break;
            total += read;
        }
    }
    WinHttpCloseHandle(request);
    WinHttpCloseHandle(connection);
    WinHttpCloseHandle(session);
    return total;
}

// The transport's own throughput without holding the body.
void BM_WinHttpReadLoop_50MB(benchmark::State& state) {
    std::vector<char> buffer;
    for (auto _ : state) {
        if (ReadLoop(u"/size?bytes=52428800", buffer) != kLargeBytes) {
            state.SkipWithError("short body");
        }
    }
    state.SetBytesProcessed(state.iterations() * kLargeBytes);
}

// The cost of one request in the WinHTTP layer alone, below WebRequest.
void BM_WinHttpReadLoop_50x100KB(benchmark::State& state) {
    std::vector<char> buffer;
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            if (ReadLoop(u"/size?bytes=102400", buffer) != kPageBytes) {
                state.SkipWithError("short page");
            }
        }
    }
}

// libcurl keeping the body in one buffer grown with realloc: what WebRequest must do as well.
void BM_Libcurl_50MB_IntoMemory(benchmark::State& state) {
    long before = 0, peak = 0;
    for (auto _ : state) {
        before = StatusKb("VmRSS");
        peak = std::max(peak, PeakResidentKbDuring([&] {
                            lumeno::bench::MemoryBody body;
                            if (!lumeno::bench::FetchIntoMemory(LargeUrl(), &body) ||
                                static_cast<long>(body.size) != kLargeBytes) {
                                state.SkipWithError("libcurl failed");
                            }
                        }));
    }
    state.SetBytesProcessed(state.iterations() * kLargeBytes);
    CountPeakMemory(state, before, peak);
}

void BM_Curl_50MB(benchmark::State& state) {
    for (auto _ : state) {
        if (!RunCurl({"-s", "-o", "/dev/null", "--noproxy", "*", LargeUrl()})) {
            state.SkipWithError("curl failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * kLargeBytes);
}

void BM_WebRequest_50x100KB(benchmark::State& state) {
    const std::string url = PageUrl();
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            const lumeno::Text text = lumeno::WebRequest(url);
            if (static_cast<int>(text.size()) != kPageBytes) state.SkipWithError("short page");
        }
    }
}

// One curl process per request: a fresh session each time, as WebRequest opens one per call.
void BM_Curl_50x100KB_ProcessEach(benchmark::State& state) {
    const std::string url = PageUrl();
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            if (!RunCurl({"-s", "-o", "/dev/null", "--noproxy", "*", url})) {
                state.SkipWithError("curl failed");
            }
        }
    }
}

// libcurl in this process, a fresh easy handle and so a new connection for each URL, each body
// kept in memory: the same work WebRequest is asked to do.
void BM_Libcurl_50x100KB_NewConnectionEach(benchmark::State& state) {
    const std::string url = PageUrl();
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            std::string body;
            if (!lumeno::bench::FetchOnNewConnection(url, &body, WebRequestHeaderLines()) ||
                static_cast<int>(body.size()) != kPageBytes) {
                state.SkipWithError("libcurl failed");
            }
        }
    }
}

// libcurl in this process on one easy handle, so one reused connection.
void BM_Libcurl_50x100KB_Reused(benchmark::State& state) {
    const std::string url = PageUrl();
    lumeno::bench::ReusedConnection connection;
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            std::string body;
            if (!connection.Fetch(url, &body) || static_cast<int>(body.size()) != kPageBytes) {
                state.SkipWithError("libcurl failed");
            }
        }
    }
}

// One curl process fetching all fifty URLs over one reused connection.
void BM_Curl_50x100KB_OneProcess(benchmark::State& state) {
    std::vector<std::string> arguments = {"-s", "--noproxy", "*"};
    for (int i = 0; i < kRequests; ++i) {
        arguments.push_back(PageUrl());
        arguments.push_back("-o");
        arguments.push_back("/dev/null");
    }
    for (auto _ : state) {
        if (!RunCurl(arguments)) state.SkipWithError("curl failed");
    }
}

BENCHMARK(BM_WebRequest_50MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WinHttpReadLoop_50MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Libcurl_50MB_IntoMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Curl_50MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WebRequest_50x100KB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_WinHttpReadLoop_50x100KB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_Libcurl_50x100KB_NewConnectionEach)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(BM_Libcurl_50x100KB_Reused)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_Curl_50x100KB_ProcessEach)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(BM_Curl_50x100KB_OneProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    g_baseUrl = StartSiteProcess();  // before any thread of this process starts
    lumeno::platform::InitializeHttpEngine();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    kill(g_sitePid, SIGTERM);
    waitpid(g_sitePid, nullptr, 0);
    return 0;
}
