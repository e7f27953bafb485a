// The preview shows the thumbnail that SourceList holds at the row selected in ImageList. The
// click returns at once; the download runs on a worker and the latest click decides the picture.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/system/worker_threads.h"
#include "tests/crawler/crawler_fixture.h"

namespace lumeno::testing {
namespace {

using Clock = std::chrono::steady_clock;

class PreviewTest : public CrawlerTest {
protected:
    // Selects `row` and clicks, as the window's click on ImageList does.
    void ClickRow(int row) {
        window.SetCurrentRow(controls::ImageList, row);
        crawler->PreviewImage();
    }
    void WaitForPreviews() { ASSERT_TRUE(platform::WaitForWorkers(std::chrono::seconds(30))); }
    std::string Shown() {
        const ByteSet shown = window.PictureOf(controls::图片框1);
        return std::string(shown.begin(), shown.end());
    }
    int PictureCalls() {
        const auto calls = window.Calls();
        return static_cast<int>(std::count(calls.begin(), calls.end(), "SetPicture(图片框1)"));
    }
    std::string Thumbnail(int index) { return site->ThumbnailPaths("/fengjing/index.html")[index]; }
};

TEST_F(PreviewTest, ShowsTheThumbnailOfTheSelectedRowNotTheFullSizePicture) {
    Check(controls::选择框风景);
    SetPages("1", "1");
    crawler->CrawlPages();
    ASSERT_GE(window.ListRowCount(controls::ImageList), 3);
    site->ClearRequests();

    ClickRow(2);
    WaitForPreviews();

    ASSERT_EQ(site->Requests().size(), 1u);
    EXPECT_EQ(site->Requests()[0].path, Thumbnail(2));
    EXPECT_EQ(Shown(), site->PictureBytes(Thumbnail(2)));
    EXPECT_EQ(PictureCalls(), 1);
}

TEST_F(PreviewTest, NoSelectionOrAnEmptyListClearsTheBoxAtOnce) {
    window.SetPicture(controls::图片框1, ByteSet{0xFF, 0xD8, 0xFF});
    ClickRow(-1);
    // Cleared before the click returns, with no request and no worker.
    EXPECT_TRUE(window.PictureOf(controls::图片框1).empty());
    EXPECT_EQ(platform::RunningWorkers(), 0);
    EXPECT_TRUE(site->Requests().empty());
    EXPECT_EQ(PictureCalls(), 2);
}

TEST_F(PreviewTest, ASlowThumbnailNeitherHoldsUpTheClickNorReplacesALaterOne) {
    struct Case {
        const char* name;
        int secondRow;  // -1: no selection, an empty address
    };
    for (const Case& c : {Case{"later row", 1}, Case{"empty address", -1}}) {
        window.ClearListRows(controls::ImageList);
        window.ClearListRows(controls::SourceList);
        // Row 0 answers after a second and a half with bytes that are no picture.
        AppendRow("a", site->BaseUrl() + "/fault/stall-headers?ms=1500");
        AppendRow("b", site->BaseUrl() + Thumbnail(1));

        const auto start = Clock::now();
        ClickRow(0);
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500)) << c.name;
        ClickRow(c.secondRow);
        WaitForPreviews();

        const std::string expected = c.secondRow < 0 ? "" : site->PictureBytes(Thumbnail(1));
        EXPECT_EQ(Shown(), expected) << c.name;
    }
}

}  // namespace
}  // namespace lumeno::testing
