// ImageList click: the thumbnail of the selected row (its address stands in SourceList at the
// same row) is downloaded and shown in the picture box. The click reads the row and the
// address on the window thread; the download runs on a worker, so the window keeps answering
// while a thumbnail stalls, and closing the window aborts it with every other transfer.
#include "crawler/control_names.h"
#include "crawler/crawler.h"
#include "http/object_web_request.h"
#include "util/runtime_services.h"

namespace lumeno {

void Crawler::PreviewImage() {
    const int row = window_.CurrentRow(controls::ImageList);
    const Text address = window_.ListCellText(controls::SourceList, row);
    std::unique_lock lock(previewMutex_);
    const std::uint64_t click = ++latestPreview_;
    if (address.empty()) {
        // Nothing to fetch: the box is cleared now, and any answer still on its way is stale.
        window_.SetPicture(controls::图片框1, {});
        return;
    }
    lock.unlock();
    // No worker starts once the window is closing; the box is gone then anyway.
    StartThread([this, address, click] { ShowPreview(address, click); });
}

void Crawler::ShowPreview(const Text& address, std::uint64_t click) {
    const ByteSet bytes = ObjectWebRequest(address);
    // Handing the bytes over under the lock keeps the picture box's calls in click order. The
    // hand-over only queues work for the window thread, so the lock is never held while
    // waiting for it.
    std::lock_guard lock(previewMutex_);
    if (click != latestPreview_) return;
    window_.SetPicture(controls::图片框1, bytes);
}

}  // namespace lumeno
