// The crawler's construction and the save-folder paths it shares between its routines.
#include "crawler/crawler.h"

namespace lumeno {

namespace {

constexpr char kSaveFolderName[] = "\\Lumeno图片 1080P\\";

}  // namespace

Crawler::Crawler(WindowControls& window, CrawlerState& state, Text baseUrl, Text runDirectory,
                 Text picturesDirectory)
    : window_(window),
      state_(state),
      baseUrl_(std::move(baseUrl)),
      runDirectory_(std::move(runDirectory)),
      picturesDirectory_(std::move(picturesDirectory)) {}

Text Crawler::SaveFolderPath() const {
    return runDirectory_ + kSaveFolderName;
}

Text Crawler::FallbackSaveFolderPath() const {
    return picturesDirectory_.empty() ? Text() : picturesDirectory_ + kSaveFolderName;
}

}  // namespace lumeno
