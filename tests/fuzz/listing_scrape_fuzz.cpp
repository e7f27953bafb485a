// The listing scrape on any page text, with the recording window: the two lists grow by the same
// number of rows, row for row, and those rows are exactly what the scrape rules (held against the
// character-by-character references) make of the page; PageThumbnails holds the thumbnails.
#include <algorithm>

#include "crawler/control_names.h"
#include "crawler/crawler.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/reference_text.h"
#include "tests/support/fake_window_controls.h"

namespace {

using namespace lumeno;
namespace ref = lumeno::fuzz::reference;

constexpr std::size_t kMaxPage = 16 * 1024;
const Text kBaseUrl = "http://127.0.0.1:8808";

std::vector<Text> Column(testing::FakeWindowControls& window, const char* list) {
    std::vector<Text> rows;
    for (int r = 0; r < window.ListRowCount(list); ++r)
        rows.push_back(window.ListCellText(list, r));
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const int rowsBefore = in.Int(0, 3);
    Text page = in.RestText();
    std::replace(page.begin(), page.end(), '\0', ' ');
    if (page.size() > kMaxPage) page.resize(kMaxPage);

    testing::FakeWindowControls window;
    CrawlerState state;
    state.PageThumbnails.Append("left over from an earlier page");
    Crawler crawler(window, state, kBaseUrl, "/nonexistent", "");
    // Rows of earlier pages stay and the new ones follow them.
    for (int r = 0; r < rowsBefore; ++r) {
        window.SetListCellText(controls::ImageList, window.AppendListRow(controls::ImageList), 0,
                               "earlier full " + std::to_string(r));
        window.SetListCellText(controls::SourceList, window.AppendListRow(controls::SourceList), 0,
                               "earlier thumbnail " + std::to_string(r));
    }

    const int count = crawler.AppendListingRows(page);

    const Text list = ref::TextBetween(page, "<div class=\"piclist clearfix\">",
                                       "<div class=\"side\">", 1, false);
    const std::vector<std::string> thumbnails =
        ref::AllTextsBetween(list, "<img src=\"", "\"", false, 0, kBaseUrl, "", false, false, 1);
    FUZZ_CHECK(count == static_cast<int>(thumbnails.size()));
    FUZZ_CHECK(state.PageThumbnails.Items() == thumbnails);

    const std::vector<Text> images = Column(window, controls::ImageList);
    const std::vector<Text> sources = Column(window, controls::SourceList);
    FUZZ_CHECK(images.size() == sources.size());
    FUZZ_CHECK(images.size() == static_cast<std::size_t>(rowsBefore + count));
    for (int i = 0; i < count; ++i) {
        const std::size_t row = static_cast<std::size_t>(rowsBefore + i);
        const std::string& thumbnail = thumbnails[static_cast<std::size_t>(i)];
        FUZZ_CHECK(sources[row] == thumbnail);
        const std::string full =
            ref::DropRight(ref::ReplaceText(thumbnail, "small", "", 1, -1, false), 14) + ".jpg";
        FUZZ_CHECK(images[row] == full);
    }
    return 0;
}
