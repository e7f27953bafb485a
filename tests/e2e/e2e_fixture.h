// Whole-window runs: the real main window (offscreen), the crawler bound to it and the local
// wallpaper site over loopback, with a temporary run directory for the save folder.
#pragma once

#include <QAbstractButton>
#include <QTableWidget>
#include <QTest>

#include <filesystem>
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
#include "tests/ui/qt_test_environment.h"
#include "ui/form_window.h"

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
                                            platform::Utf8ToGbk(runDirectory.string()));
        BindCategoryBoxes(*window);
        BindCrawler(*window, *crawler);
        window->Show();
    }

    void TearDown() override {
        // Workers may still be talking to the window: keep its event loop running meanwhile.
        EXPECT_TRUE(
            WaitUntil([] { return platform::RunningWorkers() == 0; }, std::chrono::seconds(30)));
        std::filesystem::remove_all(runDirectory);
    }

    QWidget* Widget(const char* name) { return window->Window().Control(name); }
    // Clicks the middle of a row of a list view, as a user does.
    void ClickRow(const char* list, int row) {
        QTableWidget* table = Table(list);
        const QRect cell = table->visualItemRect(table->item(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // Rows of the listing pages appended the way the crawl does, without a crawl worker.
    void AppendListingRows(std::initializer_list<const char*> listings) {
        for (const char* listing : listings) crawler->AppendListingRows(site.PictureBytes(listing));
        QCoreApplication::processEvents();
    }
    // Gives SourceList row `row` a thumbnail address that the site answers slowly or never.
    void SetThumbnailAddress(int row, const Text& address) {
        window->Controls().SetListCellText(controls::SourceList, row, 0, address);
    }
    void Click(const char* name) { QTest::mouseClick(Widget(name), Qt::LeftButton); }
    QTableWidget* Table(const char* name) { return qobject_cast<QTableWidget*>(Widget(name)); }
    int Rows(const char* list) { return Table(list)->rowCount(); }
    Text Cell(const char* list, int row) {
        auto* item = Table(list)->item(row, 0);
        if (item == nullptr) return {};
        const QString text = item->text();
        return platform::Utf16ToGbk(
            std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                static_cast<std::size_t>(text.size())));
    }
    std::filesystem::path SaveDirectory() const {
        return runDirectory / std::filesystem::path(u8"Lumeno图片 1080P");
    }

    demo::DemoSite site;
    CrawlerState state;
    std::filesystem::path runDirectory;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<Crawler> crawler;
    std::mutex openedMutex;
    std::vector<std::string> opened;
};

}  // namespace lumeno::testing
