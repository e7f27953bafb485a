// Binds the crawler's three event routines to the main window: "开始爬虫", "下载全部" and the
// left click in ImageList.
#pragma once

#include "app/main_window.h"
#include "crawler/crawler.h"

namespace lumeno {

void BindCrawler(MainWindow& window, Crawler& crawler);

}  // namespace lumeno
