// FindText, ReplaceText, SplitText and AllTextsBetween over 1 MB and 10 MB GBK pages (HTML
// with Chinese captions), next to memmem on the same buffer as the memory-speed reference.
#include "util/runtime_services.h"
#include "util/text_slicing.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>

namespace lumeno {
namespace {

// A listing-like page of the given size: picture entries with double-byte captions, and the
// searched marker only at the very end so every search crosses the whole text.
const Text& Page(std::size_t bytes) {
    static std::map<std::size_t, Text> pages;
    Text& page = pages[bytes];
    if (page.empty()) {
        const Text entry =
            "<li><a href=\"/fengjing/12345.html\" title=\"温馨提示 高清壁纸 风景\">"
            "<img src=\"/uploads/2024/05/01/smallabc1234567890.jpg\" alt=\"高清壁纸\">"
            "<p>风景 1080P 壁纸下载</p></a></li>\r\n";
        page.reserve(bytes + 64);
        while (page.size() + entry.size() < bytes) page += entry;
        page += "<div class=\"side\">";
    }
    return page;
}

void SetBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_Memmem(benchmark::State& state) {
    const Text& page = Page(static_cast<std::size_t>(state.range(0)));
    const char marker[] = "<div class=\"side\">";
    for (auto _ : state) {
        benchmark::DoNotOptimize(memmem(page.data(), page.size(), marker, sizeof marker - 1));
    }
    SetBytes(state, page.size());
}

void BM_FindText(benchmark::State& state) {
    const Text& page = Page(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(FindText(page, "<div class=\"side\">"));
    SetBytes(state, page.size());
}

void BM_FindTextIgnoreCase(benchmark::State& state) {
    const Text& page = Page(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(FindText(page, "<DIV class=\"SIDE\">", 1, true));
    SetBytes(state, page.size());
}

// Only double-byte characters, and a needle that occurs at every second byte: every candidate
// memmem reports must be rejected by the boundary check.
void BM_FindTextSecondByteCandidates(benchmark::State& state) {
    Text page;
    page.reserve(static_cast<std::size_t>(state.range(0)));
    while (page.size() < static_cast<std::size_t>(state.range(0))) page += "\xB0\xA1";
    for (auto _ : state) benchmark::DoNotOptimize(FindText(page, "\xA1\xB0"));
    SetBytes(state, page.size());
}

void BM_ReplaceText(benchmark::State& state) {
    const Text& page = Page(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(ReplaceText(page, "small", ""));
    SetBytes(state, page.size());
}

void BM_SplitText(benchmark::State& state) {
    const Text& page = Page(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(SplitText(page, "\r\n"));
    SetBytes(state, page.size());
}

void BM_AllTextsBetween(benchmark::State& state) {
    const Text& page = Page(static_cast<std::size_t>(state.range(0)));
    TextArray results;
    BetweenOptions options;
    options.prefix = "http://h";
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            CollectTextsBetween(page, "<img src=\"", "\"", results, options, [] {}));
    }
    SetBytes(state, page.size());
}

// Many left markers before one right marker: must stay linear.
void BM_AllTextsBetweenNested(benchmark::State& state) {
    const Text page = Text(static_cast<std::size_t>(state.range(0)) - 1, '[') + "]";
    TextArray results;
    BetweenOptions options;
    options.maxLength = 2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CollectTextsBetween(page, "[", "]", results, options, [] {}));
    }
    SetBytes(state, page.size());
}

constexpr int64_t kOneMb = 1 << 20;
constexpr int64_t kTenMb = 10 << 20;

BENCHMARK(BM_Memmem)->Arg(kOneMb)->Arg(kTenMb);
BENCHMARK(BM_FindText)->Arg(kOneMb)->Arg(kTenMb);
BENCHMARK(BM_FindTextIgnoreCase)->Arg(kOneMb)->Arg(kTenMb);
BENCHMARK(BM_FindTextSecondByteCandidates)->Arg(kOneMb)->Arg(kTenMb);
BENCHMARK(BM_ReplaceText)->Arg(kOneMb)->Arg(kTenMb);
BENCHMARK(BM_SplitText)->Arg(kOneMb)->Arg(kTenMb);
BENCHMARK(BM_AllTextsBetween)->Arg(kOneMb)->Arg(kTenMb);
BENCHMARK(BM_AllTextsBetweenNested)->Arg(kOneMb)->Arg(kTenMb);

}  // namespace
}  // namespace lumeno

BENCHMARK_MAIN();
