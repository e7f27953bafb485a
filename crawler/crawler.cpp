// The crawler's construction and the save-folder path it shares between its routines.
#include "crawler/crawler.h"

namespace lumeno {

Crawler::Crawler(WindowControls& window, CrawlerState& state, Text baseUrl, Text runDirectory)
    : window_(window),
      state_(state),
      baseUrl_(std::move(baseUrl)),
      runDirectory_(std::move(runDirectory)) {}

Text Crawler::SaveFolderPath() const {
    return runDirectory_ + "\\Lumeno图片 1080P\\";
}

}  // namespace lumeno
