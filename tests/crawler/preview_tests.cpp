// The preview shows the thumbnail that SourceList holds at the row selected in ImageList.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/crawler/crawler_fixture.h"

namespace lumeno::testing {
namespace {

using PreviewTest = CrawlerTest;

TEST_F(PreviewTest, ShowsTheThumbnailOfTheSelectedRowNotTheFullSizePicture) {
    Check(controls::选择框风景);
    SetPages("1", "1");
    crawler->CrawlPages();
    ASSERT_GE(window.ListRowCount(controls::ImageList), 3);
    site->ClearRequests();

    window.SetCurrentRow(controls::ImageList, 2);
    crawler->PreviewImage();

    const std::string thumbnail = site->ThumbnailPaths("/fengjing/index.html")[2];
    ASSERT_EQ(site->Requests().size(), 1u);
    EXPECT_EQ(site->Requests()[0].path, thumbnail);
    const ByteSet shown = window.PictureOf(controls::图片框1);
    EXPECT_EQ(std::string(shown.begin(), shown.end()), site->PictureBytes(thumbnail));
}

TEST_F(PreviewTest, NoSelectionOrAnEmptyListHandsAnEmptyPicture) {
    window.SetCurrentRow(controls::ImageList, -1);
    crawler->PreviewImage();
    EXPECT_TRUE(window.PictureOf(controls::图片框1).empty());
    EXPECT_TRUE(site->Requests().empty());
    bool pictureSet = false;
    for (const Text& call : window.Calls()) pictureSet |= call == "SetPicture(图片框1)";
    EXPECT_TRUE(pictureSet);
}

}  // namespace
}  // namespace lumeno::testing
