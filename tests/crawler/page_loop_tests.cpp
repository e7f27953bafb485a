// The page loop and the listing-address rules, against the local site over real sockets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "crawler/category_table.h"
#include "platform/system/worker_threads.h"
#include "tests/crawler/crawler_fixture.h"

namespace lumeno::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using PageLoopTest = CrawlerTest;

TEST_F(PageLoopTest, AddressesFollowTheLinkBoxCategoryAndPage) {
    const Text link = site->BaseUrl();
    EXPECT_THAT(crawler->ListingAddresses(1), ElementsAre(link));
    EXPECT_THAT(crawler->ListingAddresses(4), ElementsAre(link + "/index_4.html"));
    EXPECT_THAT(crawler->ListingAddresses(0), IsEmpty());
    EXPECT_THAT(crawler->ListingAddresses(-3), IsEmpty());

    Check(controls::选择框风景);
    EXPECT_THAT(crawler->ListingAddresses(1), ElementsAre(link + "/fengjing/index.html"));
    window.SetChecked(controls::选择框风景, 0);
    Check(controls::选择框系统);
    EXPECT_THAT(crawler->ListingAddresses(12), ElementsAre(link + "/xitong/index_12.html"));
    window.SetChecked(controls::选择框系统, 0);
    Check(controls::选择框动漫);
    EXPECT_THAT(crawler->ListingAddresses(2), ElementsAre(link + "/donman/index_2.html"));
}

TEST_F(PageLoopTest, EveryCategoryUsesItsSegment) {
    const char* segments[] = {"youxi",  "donman", "fengjing", "meinv", "yingshi",
                              "paoche", "mengwu", "meishi",   "xitong"};
    for (std::size_t i = 0; i < kCategories.size(); ++i) {
        window.SetChecked(kCategories[i].checkBox, 1);
        EXPECT_THAT(crawler->ListingAddresses(1),
                    ElementsAre(site->BaseUrl() + "/" + segments[i] + "/index.html"));
        window.SetChecked(kCategories[i].checkBox, 0);
    }
}

TEST_F(PageLoopTest, TypicalCrawlFetchesBothPagesAndListsTheirPicturesInOrder) {
    Check(controls::选择框风景);
    crawler->CrawlPages();

    EXPECT_THAT(RequestedPaths(), ElementsAre("/fengjing/index.html", "/fengjing/index_2.html"));
    std::vector<Text> thumbnails, pictures;
    for (const char* listing : {"/fengjing/index.html", "/fengjing/index_2.html"}) {
        for (const auto& path : site->ThumbnailPaths(listing))
            thumbnails.push_back(site->BaseUrl() + path);
        for (const auto& path : site->FullSizePaths(listing))
            pictures.push_back(site->BaseUrl() + path);
    }
    ASSERT_FALSE(thumbnails.empty());
    EXPECT_EQ(ListColumn(controls::SourceList), thumbnails);
    EXPECT_EQ(ListColumn(controls::ImageList), pictures);
    EXPECT_TRUE(window.MessageBoxes().empty());
    // PageThumbnails keeps the last page's thumbnails.
    std::lock_guard lock(state.pageThumbnailsMutex);
    EXPECT_EQ(state.PageThumbnails.Count(),
              static_cast<int>(site->ThumbnailPaths("/fengjing/index_2.html").size()));
}

TEST_F(PageLoopTest, RootListingWithoutCategory) {
    crawler->CrawlPages();
    EXPECT_THAT(RequestedPaths(), ElementsAre("/", "/index_2.html"));
    EXPECT_EQ(ListColumn(controls::ImageList).size(),
              site->FullSizePaths("/").size() + site->FullSizePaths("/index_2.html").size());
}

TEST_F(PageLoopTest, SinglePageOfAUtf8Category) {
    Check(controls::选择框美食);
    SetPages("3", "3");
    crawler->CrawlPages();
    EXPECT_THAT(RequestedPaths(), ElementsAre("/meishi/index_3.html"));
    EXPECT_EQ(ListColumn(controls::ImageList).size(),
              site->FullSizePaths("/meishi/index_3.html").size());
}

TEST_F(PageLoopTest, ReversedRangeDoesNothing) {
    SetPages("5", "2");
    crawler->CrawlPages();
    EXPECT_THAT(RequestedPaths(), IsEmpty());
    EXPECT_TRUE(window.MessageBoxes().empty());
}

TEST_F(PageLoopTest, EmptyFirstPageFailsPageZeroThenFetchesPageOne) {
    SetPages("", "1");
    crawler->CrawlPages();
    const auto boxes = window.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "访问失败，请重试！");
    EXPECT_EQ(boxes[0].title, "信息：");
    EXPECT_EQ(boxes[0].buttons, kButtonsOk);
    EXPECT_THAT(RequestedPaths(), ElementsAre("/"));
}

TEST_F(PageLoopTest, FullWidthDigitsCountAsAsciiDigits) {
    Check(controls::选择框游戏);
    SetPages("１", "２");
    crawler->CrawlPages();
    EXPECT_THAT(RequestedPaths(), ElementsAre("/youxi/index.html", "/youxi/index_2.html"));
}

TEST_F(PageLoopTest, UnreachableSiteShowsTheFailureOncePerPage) {
    window.SetContent(controls::编辑框4,
                      "http://127.0.0.1:" + std::to_string(demo::RefusingPort()));
    SetPages("1", "3");
    crawler->CrawlPages();
    const auto boxes = window.MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    for (const auto& box : boxes) EXPECT_EQ(box.message, "访问失败，请重试！");
    EXPECT_EQ(window.ListRowCount(controls::ImageList), 0);
}

TEST_F(PageLoopTest, StartCrawlDisablesTheNineBoxesAndCrawlsOnAWorker) {
    Check(controls::选择框风景);
    crawler->OnStartCrawl();
    for (const Category& category : kCategories)
        EXPECT_EQ(window.Disabled(category.checkBox), 1) << category.segment;
    // The worker fetches both pages; wait for the rows (bounded).
    const auto expected = site->FullSizePaths("/fengjing/index.html").size() +
                          site->FullSizePaths("/fengjing/index_2.html").size();
    for (int i = 0;
         i < 200 && window.ListRowCount(controls::SourceList) < static_cast<int>(expected); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    ASSERT_TRUE(platform::WaitForWorkers(std::chrono::seconds(30)));
    EXPECT_EQ(window.ListRowCount(controls::ImageList), static_cast<int>(expected));
    EXPECT_EQ(window.ListRowCount(controls::SourceList), static_cast<int>(expected));
}

TEST_F(PageLoopTest, TwoCrawlsAtOnceKeepEveryRowPairTogether) {
    Check(controls::选择框跑车);
    SetPages("1", "3");
    std::thread first([&] { crawler->CrawlPages(); });
    std::thread second([&] { crawler->CrawlPages(); });
    first.join();
    second.join();
    const auto images = ListColumn(controls::ImageList);
    const auto thumbnails = ListColumn(controls::SourceList);
    ASSERT_EQ(images.size(), thumbnails.size());
    std::size_t perCrawl = 0;
    for (const char* page : {"/paoche/index.html", "/paoche/index_2.html", "/paoche/index_3.html"})
        perCrawl += site->ThumbnailPaths(page).size();
    EXPECT_EQ(images.size(), 2 * perCrawl);
    // Row k of ImageList is the full-size picture of row k of SourceList.
    for (std::size_t k = 0; k < images.size(); ++k) {
        Text derived = thumbnails[k];
        derived.erase(derived.find("small"), 5);
        derived = derived.substr(0, derived.size() - 14) + ".jpg";
        EXPECT_EQ(images[k], derived) << "row " << k;
    }
}

}  // namespace
}  // namespace lumeno::testing
