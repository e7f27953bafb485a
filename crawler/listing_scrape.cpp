// The listing scrape: fetch one listing page, cut its picture list, collect every thumbnail
// address and append one row pair per picture (full-size address to ImageList, thumbnail
// address to SourceList).
#include "crawler/control_names.h"
#include "crawler/crawler.h"
#include "http/web_request.h"
#include "util/runtime_services.h"
#include "util/text_slicing.h"

namespace lumeno {
namespace {

constexpr const char* kPictureListStart = "<div class=\"piclist clearfix\">";
constexpr const char* kPictureListEnd = "<div class=\"side\">";
constexpr const char* kThumbnailStart = "<img src=\"";
constexpr const char* kThumbnailEnd = "\"";
// A thumbnail's file name is "small" + name + ten characters + ".jpg".
constexpr int kThumbnailTailBytes = 14;

}  // namespace

void Crawler::ScrapeListingPage(int page) {
    Text pageText;
    for (const Text& address : ListingAddresses(page)) pageText = WebRequest(address);

    if (pageText.empty()) {
        window_.ShowMessageBox("访问失败，请重试！", kButtonsOk);
        return;
    }
    AppendListingRows(std::move(pageText));
}

int Crawler::AppendListingRows(Text pageText) {
    // After the cut the page text holds only the picture list: a large page is not kept beside
    // the rows made from it.
    pageText = TextBetween(pageText, kPictureListStart, kPictureListEnd);
    const Text& pictureList = pageText;

    // One crawl at a time fills PageThumbnails and appends its rows, so two crawls never
    // empty the array under each other and every row pair stays together.
    std::lock_guard lock(state_.pageThumbnailsMutex);
    const int count = AllTextsBetween(pictureList, kThumbnailStart, kThumbnailEnd,
                                      state_.PageThumbnails, false, 0, baseUrl_);
    for (int i = 1; i <= count; ++i) {
        const Text& thumbnail = state_.PageThumbnails[i];
        Text full = ReplaceMany(thumbnail, "small", "");
        full = DropRight(full, kThumbnailTailBytes);
        full = JoinTexts(full, ".jpg");

        const int rowA = window_.AppendListRow(controls::ImageList);
        const int rowB = window_.AppendListRow(controls::SourceList);
        window_.SetListCellText(controls::ImageList, rowA, 0, full);
        window_.SetListCellText(controls::SourceList, rowB, 0, thumbnail);
    }
    return count;
}

}  // namespace lumeno
