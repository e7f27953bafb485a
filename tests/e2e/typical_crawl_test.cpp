// The typical crawl, clicked through the real window: choose "风景", crawl pages 1 and 2,
// preview the third row, save everything and answer Yes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "crawler/category_table.h"
#include "platform/system/worker_threads.h"
#include "tests/e2e/e2e_fixture.h"

LUMENO_WINDOW_TEST_ENVIRONMENT();

namespace lumeno::testing {
namespace {

using ::testing::ElementsAre;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(EndToEndTest, TypicalCrawlPreviewAndSave) {
    // 1. "游戏" then "风景": only "风景" stays checked.
    Click(controls::选择框游戏);
    Click(controls::选择框风景);
    for (const Category& category : kCategories)
        EXPECT_EQ(window->Controls().Checked(category.checkBox),
                  category.checkBox == controls::选择框风景 ? 1 : 0);

    // 2–5. "开始爬虫" with the page boxes at 1 and 2.
    Click(controls::按钮1);
    for (const Category& category : kCategories)
        EXPECT_FALSE(Enabled(category.checkBox)) << category.segment;
    std::vector<Text> pictures, thumbnails;
    for (const char* listing : {"/fengjing/index.html", "/fengjing/index_2.html"}) {
        for (const auto& path : site.FullSizePaths(listing))
            pictures.push_back(site.BaseUrl() + path);
        for (const auto& path : site.ThumbnailPaths(listing))
            thumbnails.push_back(site.BaseUrl() + path);
    }
    const int expected = static_cast<int>(pictures.size());
    ASSERT_TRUE(WaitUntil([&] { return Rows(controls::SourceList) == expected; },
                          std::chrono::seconds(20)));
    ASSERT_TRUE(platform::WaitForWorkers(std::chrono::seconds(10)));
    std::vector<std::string> paths;
    for (const auto& request : site.Requests()) paths.push_back(request.path);
    EXPECT_THAT(paths, ElementsAre("/fengjing/index.html", "/fengjing/index_2.html"));
    for (int row = 0; row < expected; ++row) {
        EXPECT_EQ(Cell(controls::ImageList, row), pictures[row]) << row;
        EXPECT_EQ(Cell(controls::SourceList, row), thumbnails[row]) << row;
    }
    // The crawl's end leaves the boxes disabled.
    EXPECT_FALSE(Enabled(controls::选择框风景));

    // 6. A click on the third row shows that row's thumbnail.
    site.ClearRequests();
    ClickRow(controls::ImageList, 2);
    ASSERT_TRUE(WaitUntil([&] { return driver->HasPicture(controls::图片框1); }));
    ASSERT_EQ(site.Requests().size(), 1u);
    EXPECT_EQ(site.BaseUrl() + site.Requests()[0].path, thumbnails[2]);

    // 7. "下载全部": every picture saved, then the question; Yes resets the window.
    Click(controls::按钮3);
    std::optional<MessageBoxView> box;
    ASSERT_TRUE(WaitUntil([&] { return (box = VisibleMessageBox()).has_value(); },
                          std::chrono::seconds(60)));
    EXPECT_EQ(box->text, "保存成功，是否打开文件夹查看？");
    EXPECT_EQ(box->title, "Kestrune - 提示");
    EXPECT_FALSE(box->hasOwner);
    EXPECT_EQ(Caption(controls::标签提示), "温馨提示 - 所有图片保存完成");
    ASSERT_TRUE(PressMessageBoxButton(kAnswerYes));
    ASSERT_TRUE(platform::WaitForWorkers(std::chrono::seconds(10)));
    // The two lists are emptied by two calls in turn: wait for both.
    EXPECT_TRUE(WaitUntil(
        [&] { return Rows(controls::ImageList) == 0 && Rows(controls::SourceList) == 0; }));

    EXPECT_EQ(Rows(controls::ImageList), 0);
    EXPECT_EQ(Rows(controls::SourceList), 0);
    for (const Category& category : kCategories)
        EXPECT_TRUE(Enabled(category.checkBox)) << category.segment;
    {
        std::lock_guard lock(openedMutex);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_NE(opened[0].find("Lumeno"), std::string::npos) << opened[0];
    }
    for (const Text& address : pictures) {
        const std::string name = platform::GbkToUtf8(SavedFileName(address));
        EXPECT_EQ(ReadFile(SaveDirectory() / (name + ".jpg")),
                  site.PictureBytes(address.substr(site.BaseUrl().size())))
            << name;
    }
}

// A typical crawl whose first thumbnail never answers: the window takes the next click at once
// and shows that row's picture while the first download still waits.
TEST_F(EndToEndTest, AThumbnailThatNeverAnswersLeavesTheWindowWorking) {
    Click(controls::选择框风景);
    Click(controls::按钮1);
    const int expected = static_cast<int>(site.ThumbnailPaths("/fengjing/index.html").size() +
                                          site.ThumbnailPaths("/fengjing/index_2.html").size());
    ASSERT_TRUE(WaitUntil([&] { return Rows(controls::SourceList) == expected; },
                          std::chrono::seconds(20)));
    ASSERT_TRUE(platform::WaitForWorkers(std::chrono::seconds(10)));
    SetThumbnailAddress(0, site.BaseUrl() + "/fault/stall-headers?ms=60000");
    site.ClearRequests();

    ClickRow(controls::ImageList, 0);
    const auto start = std::chrono::steady_clock::now();
    ClickRow(controls::ImageList, 1);
    const auto answered = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(WaitUntil([&] { return driver->HasPicture(controls::图片框1); }));
    std::printf(
        "the click on another row was answered after %.1f ms, its picture shown after %.1f ms\n",
        std::chrono::duration<double, std::milli>(answered).count(),
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    EXPECT_LT(answered, std::chrono::milliseconds(100));

    // The second picture may be shown before the site has logged the stalled request.
    EXPECT_TRUE(WaitUntil([&] { return site.Requests().size() >= 2; }));
    std::vector<std::string> paths;
    for (const auto& request : site.Requests()) paths.push_back(request.path);
    EXPECT_THAT(paths, ::testing::UnorderedElementsAre(
                           "/fault/stall-headers", site.ThumbnailPaths("/fengjing/index.html")[1]));
    // The stalled download fails when the site goes away; its empty answer is stale.
    site.Stop();
    ASSERT_TRUE(platform::WaitForWorkers(std::chrono::seconds(10)));
    TestWindowSystem().ProcessEvents();
    EXPECT_TRUE(driver->HasPicture(controls::图片框1));
}

// The real boxes answered through their buttons: No keeps the rows and opens nothing; a listing
// page that yields no text shows "访问失败，请重试！" with OK alone.
TEST_F(EndToEndTest, ASaveAnsweredNoAndTheFailedListingBox) {
    AppendListingRows({"/fengjing/index.html"});
    const int rows = Rows(controls::ImageList);
    ASSERT_GT(rows, 0);
    Click(controls::按钮3);
    std::optional<MessageBoxView> box;
    ASSERT_TRUE(WaitUntil([&] { return (box = VisibleMessageBox()).has_value(); },
                          std::chrono::seconds(30)));
    EXPECT_EQ(box->text, "保存成功，是否打开文件夹查看？");
    ASSERT_TRUE(PressMessageBoxButton(kAnswerNo));
    ASSERT_TRUE(WaitUntil([] { return platform::RunningWorkers() == 0; }));
    EXPECT_EQ(Rows(controls::ImageList), rows);
    EXPECT_EQ(Rows(controls::SourceList), rows);
    EXPECT_TRUE(opened.empty());

    site.Stop();
    driver->SetEditText(controls::编辑框3, "1");
    Click(controls::按钮1);
    ASSERT_TRUE(WaitUntil([&] { return (box = VisibleMessageBox()).has_value(); },
                          std::chrono::seconds(30)));
    EXPECT_EQ(box->text, "访问失败，请重试！");
    EXPECT_EQ(box->title, "信息：");
    EXPECT_FALSE(box->hasOwner);
    EXPECT_FALSE(PressMessageBoxButton(kAnswerYes));  // OK is its only button
    ASSERT_TRUE(PressMessageBoxButton(kAnswerOk));
    EXPECT_TRUE(WaitUntil([] { return !VisibleMessageBox().has_value(); }));
}

TEST_F(EndToEndTest, ClickingAnEmptyListClearsThePicture) {
    driver->ClickListBelowRows(controls::ImageList);
    EXPECT_FALSE(driver->HasPicture(controls::图片框1));
    EXPECT_TRUE(site.Requests().empty());
}

}  // namespace
}  // namespace lumeno::testing
