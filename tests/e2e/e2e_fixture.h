// Whole-window runs: the real main window, the crawler bound to it and the local wallpaper
// site over loopback, with a temporary run directory for the save folder.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/category_selection.h"
#include "app/crawler_binding.h"
#include "app/main_window.h"
#include "crawler/control_names.h"
#include "demo_site/demo_site.h"
#include "platform/codepage/codepage.h"
#include "platform/system/worker_threads.h"
#include "tests/ui/window_test_support.h"

namespace lumeno::testing {

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.Start());
        runDirectory =
            std::filesystem::temp_directory_path() / ("lumeno-e2e-" + std::to_string(site.Port()));
        std::filesystem::remove_all(runDirectory);
        std::filesystem::create_directories(runDirectory);
        window = std::make_unique<MainWindow>(site.BaseUrl(), [this](const std::string& url) {
            std::lock_guard lock(openedMutex);
            opened.push_back(url);
            return true;
        });
        crawler = std::make_unique<Crawler>(window->Controls(), state, site.BaseUrl(),
                                            platform::Utf8ToGbk(runDirectory.string()), "");
        BindCategoryBoxes(*window);
        BindCrawler(*window, *crawler);
        driver = DriveForm(window->Form());
        window->Show();
        ASSERT_TRUE(driver->WaitExposed());
    }

    void TearDown() override {
        // Workers may still be talking to the window: keep its event loop running meanwhile.
        EXPECT_TRUE(
            WaitUntil([] { return platform::RunningWorkers() == 0; }, std::chrono::seconds(30)));
        std::filesystem::remove_all(runDirectory);
    }

    void Click(const char* name) { driver->Click(name); }
    // Clicks the middle of a row of a list view, as a user does.
    void ClickRow(const char* list, int row) { driver->ClickListRow(list, row); }
    // Rows of the listing pages appended the way the crawl does, without a crawl worker.
    void AppendListingRows(std::initializer_list<const char*> listings) {
        for (const char* listing : listings) crawler->AppendListingRows(site.PictureBytes(listing));
        TestWindowSystem().ProcessEvents();
    }
    // Gives SourceList row `row` a thumbnail address that the site answers slowly or never.
    void SetThumbnailAddress(int row, const Text& address) {
        window->Controls().SetListCellText(controls::SourceList, row, 0, address);
    }
    int Rows(const char* list) { return driver->Rows(list); }
    Text Cell(const char* list, int row) { return driver->Cell(list, row); }
    bool Enabled(const char* name) { return driver->Control(name)->enabled; }
    Text Caption(const char* name) { return driver->Control(name)->text; }
    std::filesystem::path SaveDirectory() const {
        return runDirectory / std::filesystem::path(u8"Lumeno图片 1080P");
    }

    demo::DemoSite site;
    CrawlerState state;
    std::filesystem::path runDirectory;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<Crawler> crawler;
    std::unique_ptr<FormDriver> driver;
    std::mutex openedMutex;
    std::vector<std::string> opened;
};

}  // namespace lumeno::testing
