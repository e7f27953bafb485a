// The crawler's event bindings (see crawler_binding.h).
#include "app/crawler_binding.h"

#include "crawler/control_names.h"

namespace lumeno {

void BindCrawler(MainWindow& window, Crawler& crawler) {
    window.OnClicked(controls::按钮1, [&crawler] { crawler.OnStartCrawl(); });
    window.OnClicked(controls::按钮3, [&crawler] { crawler.OnSaveAll(); });
    window.OnClicked(controls::ImageList, [&crawler] { crawler.PreviewImage(); });
}

}  // namespace lumeno
