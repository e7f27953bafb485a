// Shared set-up for the crawler tests.
#include "tests/crawler/crawler_fixture.h"

#include <algorithm>
#include <random>

#include "platform/codepage/codepage.h"
#include "platform/system/worker_threads.h"

namespace lumeno::testing {

void CrawlerTest::SetUp() {
    site = std::make_unique<demo::DemoSite>();
    ASSERT_TRUE(site->Start());
    std::random_device random;
    const std::string suffix = std::to_string(random());
    runDirectory = std::filesystem::temp_directory_path() / ("lumeno-crawler-" + suffix);
    picturesDirectory = std::filesystem::temp_directory_path() / ("lumeno-pictures-" + suffix);
    std::filesystem::create_directories(runDirectory);
    window.SetContent(controls::编辑框4, site->BaseUrl());
    SetPages("1", "2");
    auto logicPath = [](const std::filesystem::path& path) {
        const std::u8string utf8 = path.u8string();
        return platform::Utf8ToGbk(std::string(utf8.begin(), utf8.end()));
    };
    crawler = std::make_unique<Crawler>(window, state, site->BaseUrl(), logicPath(runDirectory),
                                        logicPath(picturesDirectory));
}

void CrawlerTest::TearDown() {
    // A worker started by the test may still be finishing: it uses the crawler and the window.
    EXPECT_TRUE(platform::WaitForWorkers(std::chrono::seconds(30)));
    crawler.reset();
    site->Stop();
    std::error_code ignored;
    std::filesystem::remove_all(runDirectory, ignored);
    std::filesystem::remove_all(picturesDirectory, ignored);
}

void CrawlerTest::SetPages(const Text& first, const Text& last) {
    window.SetContent(controls::编辑框2, first);
    window.SetContent(controls::编辑框3, last);
}

std::vector<std::string> CrawlerTest::RequestedPaths() const {
    std::vector<std::string> paths;
    for (const auto& request : site->Requests()) paths.push_back(request.path);
    return paths;
}

std::vector<Text> CrawlerTest::ListColumn(const char* list) {
    std::vector<Text> texts;
    const int rows = window.ListRowCount(list);
    for (int row = 0; row < rows; ++row) texts.push_back(window.ListCellText(list, row));
    return texts;
}

void CrawlerTest::AppendRow(const Text& imageAddress, const Text& thumbnailAddress) {
    const int a = window.AppendListRow(controls::ImageList);
    const int b = window.AppendListRow(controls::SourceList);
    window.SetListCellText(controls::ImageList, a, 0, imageAddress);
    window.SetListCellText(controls::SourceList, b, 0, thumbnailAddress);
}

void CrawlerTest::SaveAllAndWait() {
    crawler->OnSaveAll();
    EXPECT_TRUE(std::filesystem::is_directory(SaveDirectory()));
    ASSERT_TRUE(platform::WaitForWorkers(std::chrono::seconds(30)));
}

std::filesystem::path CrawlerTest::SaveDirectory() const {
    return runDirectory / std::filesystem::path(u8"Lumeno图片 1080P");
}

std::filesystem::path CrawlerTest::FallbackDirectory() const {
    return picturesDirectory / std::filesystem::path(u8"Lumeno图片 1080P");
}

std::vector<std::string> CrawlerTest::SavedFiles() const {
    return FilesIn(SaveDirectory());
}

std::vector<std::string> CrawlerTest::FilesIn(const std::filesystem::path& folder) const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace lumeno::testing
