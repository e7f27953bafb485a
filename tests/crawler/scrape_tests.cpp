// The listing scrape's cut, collection and address derivation on crafted pages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/crawler/crawler_fixture.h"

namespace lumeno::testing {
namespace {

using ::testing::ElementsAre;

using ScrapeTest = CrawlerTest;

Text Page(const Text& pictureList, const Text& before = {}, const Text& after = {}) {
    return "<html><body>" + before + "<div class=\"piclist clearfix\">" + pictureList +
           "</div><div class=\"side\">" + after + "</div></body></html>";
}

TEST_F(ScrapeTest, ThreeTagsGiveThreeRowPairsInPageOrder) {
    const Text base = site->BaseUrl();
    const Text page = Page(
        "<li><img src=\"/uploads/2022/12/08/smallabc1234567890.jpg\"></li>"
        "<li><img src=\"/uploads/2022/12/08/smalldef1234567890.jpg\" alt=\"风景\"></li>"
        "<li><img src=\"/uploads/2022/12/09/smallghi0987654321.jpg\"></li>");
    EXPECT_EQ(crawler->AppendListingRows(page), 3);
    EXPECT_THAT(ListColumn(controls::ImageList), ElementsAre(base + "/uploads/2022/12/08/abc.jpg",
                                                             base + "/uploads/2022/12/08/def.jpg",
                                                             base + "/uploads/2022/12/09/ghi.jpg"));
    EXPECT_THAT(ListColumn(controls::SourceList),
                ElementsAre(base + "/uploads/2022/12/08/smallabc1234567890.jpg",
                            base + "/uploads/2022/12/08/smalldef1234567890.jpg",
                            base + "/uploads/2022/12/09/smallghi0987654321.jpg"));
    std::lock_guard lock(state.pageThumbnailsMutex);
    EXPECT_EQ(state.PageThumbnails.Items(), ListColumn(controls::SourceList));
}

TEST_F(ScrapeTest, OnlyExactTagsInsideThePictureListAreCollected) {
    const Text page = Page(
        "<IMG SRC=\"/upper1234567890.jpg\">"
        "<img alt=\"x\" src=\"/other-attribute1234567890.jpg\">"
        "<img  src=\"/two-spaces1234567890.jpg\">"
        "<img src=\"/kept1234567890.jpg\">",
        "<img src=\"/before-the-list1234567890.jpg\">",
        "<img src=\"/after-the-list1234567890.jpg\">");
    EXPECT_EQ(crawler->AppendListingRows(page), 1);
    EXPECT_THAT(ListColumn(controls::ImageList), ElementsAre(site->BaseUrl() + "/kept.jpg"));
}

TEST_F(ScrapeTest, SmallIsRemovedInAnyCaseAnywhereAndShortAddressesGiveJpg) {
    CrawlerState otherState;
    Crawler shortBase(window, otherState, "", "", "");
    const Text page = Page(
        "<img src=\"http://SMALL.host/SmAlL/x/smallname0123456789.jpg\">"
        "<img src=\"abc\">");
    EXPECT_EQ(shortBase.AppendListingRows(page), 2);
    EXPECT_THAT(ListColumn(controls::ImageList), ElementsAre("http://.host//x/name.jpg", ".jpg"));
}

TEST_F(ScrapeTest, PagesWithoutMarkersOrTagsAddNothing) {
    EXPECT_EQ(crawler->AppendListingRows("<img src=\"/a1234567890.jpg\">"), 0);
    EXPECT_EQ(crawler->AppendListingRows(Page("<p>no pictures</p>")), 0);
    EXPECT_EQ(crawler->AppendListingRows(Page("<img src=\"/unterminated")), 0);
    EXPECT_EQ(window.ListRowCount(controls::ImageList), 0);
    EXPECT_TRUE(window.MessageBoxes().empty());
}

TEST_F(ScrapeTest, TwoCrawlsOfTheSamePageListEverythingTwice) {
    const Text page =
        Page("<img src=\"/a/smallx1234567890.jpg\"><img src=\"/a/smally1234567890.jpg\">");
    crawler->AppendListingRows(page);
    crawler->AppendListingRows(page);
    const Text base = site->BaseUrl();
    EXPECT_THAT(ListColumn(controls::ImageList), ElementsAre(base + "/a/x.jpg", base + "/a/y.jpg",
                                                             base + "/a/x.jpg", base + "/a/y.jpg"));
}

TEST_F(ScrapeTest, BothRowsAreAppendedBeforeEitherTextIsSet) {
    crawler->AppendListingRows(Page("<img src=\"/a/smallx1234567890.jpg\">"));
    std::vector<Text> listCalls;
    for (const Text& call : window.Calls())
        if (call.find("ListRow(") != Text::npos || call.find("CellText(") != Text::npos)
            listCalls.push_back(call);
    EXPECT_THAT(listCalls,
                ElementsAre("AppendListRow(超级列表框1)", "AppendListRow(超级列表框12)",
                            "SetListCellText(超级列表框1)", "SetListCellText(超级列表框12)"));
}

}  // namespace
}  // namespace lumeno::testing
