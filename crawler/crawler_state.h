// The program's two pieces of global state, created at start-up and shared by the window
// thread and the workers. Each is guarded so that two crawls or two saves at once never race.
#pragma once

#include <mutex>

#include "util/text_types.h"

namespace lumeno {

struct CrawlerState {
    // Thumbnail addresses of the listing page most recently scraped.
    std::mutex pageThumbnailsMutex;
    TextArray PageThumbnails;

    // The save folder path while a save runs; empty otherwise.
    std::mutex saveFolderMutex;
    Text SaveFolder;
};

}  // namespace lumeno
