// "开始爬虫": the crawl worker's page loop and the rules that build a listing page's address
// from the link box, the checked category and the page number.
#include "crawler/category_table.h"
#include "crawler/control_names.h"
#include "crawler/crawler.h"
#include "platform/system/worker_threads.h"
#include "util/runtime_services.h"

namespace lumeno {

void Crawler::OnStartCrawl() {
    StartThread([this] { CrawlPages(); });
    for (const Category& category : kCategories) window_.SetDisabled(category.checkBox, 1);
}

void Crawler::CrawlPages() {
    const int first = TextToInteger(window_.Content(controls::编辑框2));
    const int last = TextToInteger(window_.Content(controls::编辑框3));
    // Counting in 64 bits keeps a last page of INT_MAX from wrapping the loop around. Closing
    // the window ends the crawl before its next page.
    for (long long page = first; page <= last && !platform::ShutdownRequested(); ++page)
        ScrapeListingPage(static_cast<int>(page));
}

std::vector<Text> Crawler::ListingAddresses(int page) {
    std::vector<Text> addresses;
    if (page < 1) return addresses;

    bool noneChecked = true;
    for (const Category& category : kCategories) {
        if (window_.Checked(category.checkBox) != 0) {
            noneChecked = false;
            break;
        }
    }
    const Text number = ToText(page);
    if (noneChecked) {
        const Text link = window_.Content(controls::编辑框4);
        addresses.push_back(page == 1 ? link : link + "/index_" + number + ".html");
    }
    for (const Category& category : kCategories) {
        if (window_.Checked(category.checkBox) != 1) continue;
        const Text link = window_.Content(controls::编辑框4);
        const Text folder = link + "/" + category.segment;
        addresses.push_back(page == 1 ? folder + "/index.html"
                                      : folder + "/index_" + number + ".html");
    }
    return addresses;
}

}  // namespace lumeno
