// Crawler benchmarks: the scrape of one large listing page (rows produced per second, without
// a window), and a crawl of 50 local listing pages through WebRequest next to the curl
// command-line tool fetching the same 50 addresses in one run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "crawler/crawler.h"
#include "demo_site/demo_site.h"
#include "http/web_request.h"
#include "ui/null_window_controls.h"

namespace lumeno {
namespace {

// A window that only counts rows: the benchmark measures the scrape, not a widget.
class CountingWindow : public ui::NullWindowControls {
public:
    int ListRowCount(const Text&) override { return rows; }
    void SetListCellText(const Text&, int, int, const Text& text) override { bytes += text.size(); }
    int AppendListRow(const Text&) override { return rows++; }
    void ClearListRows(const Text&) override { rows = 0; }

    int rows = 0;
    std::size_t bytes = 0;
};

// About 5 MB: 10 000 thumbnails among filler markup and Chinese alt texts.
Text LargeListingPage() {
    Text list;
    for (int i = 0; i < 10000; ++i) {
        list += "<li><a href=\"/fengjing/" + std::to_string(i) + ".html\" title=\"风景壁纸第" +
                std::to_string(i) + "张\"><img src=\"/uploads/2022/12/08/smallpicture-" +
                std::to_string(i) + "1670457600.jpg\" alt=\"高清风景壁纸\"></a><p>" +
                std::string(380, 'x') + "</p></li>\n";
    }
    return "<html><head><meta charset=\"gb2312\"></head><body><div class=\"piclist "
           "clearfix\"><ul>" +
           list + "</ul></div><div class=\"side\"></div></body></html>";
}

void BM_ScrapeLargeListingPage(benchmark::State& state) {
    const Text page = LargeListingPage();
    CountingWindow window;
    CrawlerState crawlerState;
    Crawler crawler(window, crawlerState, "http://127.0.0.1:8808", "", "");
    for (auto _ : state) {
        window.rows = 0;
        benchmark::DoNotOptimize(crawler.AppendListingRows(page));
    }
    state.SetItemsProcessed(state.iterations() * 10000);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
    state.counters["page_MB"] = static_cast<double>(page.size()) / 1e6;
}
BENCHMARK(BM_ScrapeLargeListingPage)->Unit(benchmark::kMillisecond);

std::vector<std::string> ListingUrls(const demo::DemoSite& site) {
    static const char* segments[] = {"youxi",  "donman", "fengjing", "meinv",  "yingshi",
                                     "paoche", "mengwu", "meishi",   "xitong", ""};
    std::vector<std::string> urls;
    for (const char* segment : segments) {
        const std::string folder = *segment ? site.BaseUrl() + "/" + segment : site.BaseUrl();
        for (int page = 1; page <= 5; ++page)
            urls.push_back(page == 1 ? folder + (*segment ? "/index.html" : "")
                                     : folder + "/index_" + std::to_string(page) + ".html");
    }
    return urls;
}

void BM_Crawl50PagesWebRequest(benchmark::State& state) {
    demo::SiteOptions options;
    options.pagesPerListing = 5;
    demo::DemoSite site(options);
    site.Start();
    const auto urls = ListingUrls(site);
    for (auto _ : state) {
        for (const auto& url : urls) benchmark::DoNotOptimize(WebRequest(url));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(urls.size()));
}
BENCHMARK(BM_Crawl50PagesWebRequest)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Crawl50PagesCurlTool(benchmark::State& state) {
    demo::SiteOptions options;
    options.pagesPerListing = 5;
    demo::DemoSite site(options);
    site.Start();
    std::string command = "curl -s --noproxy '*'";
    for (const auto& url : ListingUrls(site)) command += " -o /dev/null '" + url + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("curl failed");
    }
    state.SetItemsProcessed(state.iterations() * 50);
}
BENCHMARK(BM_Crawl50PagesCurlTool)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lumeno

BENCHMARK_MAIN();
