// Closing the window while a save runs: the program's shutdown ends promptly and the save
// folder holds only whole pictures, never a partial or temporary file. A program of its own:
// the shutdown flag stays set for the whole process.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/application.h"
#include "crawler/category_table.h"
#include "tests/e2e/e2e_fixture.h"

LUMENO_WINDOW_TEST_ENVIRONMENT();

namespace lumeno::testing {
namespace {

TEST_F(EndToEndTest, ClosingDuringASaveLeavesOnlyWholePictures) {
    // Rows of three listing pages, then "下载全部".
    AppendListingRows({"/meinv/index.html", "/meinv/index_2.html", "/meinv/index_3.html"});
    ASSERT_GT(Rows(controls::ImageList), 6);

    RunSoonOnWindowThread([&] { Click(controls::按钮3); });
    int progressSeen = 0;
    bool closed = false;
    WindowThreadTimer closer(std::chrono::milliseconds(5), [&] {
        // Close once the second picture is being read.
        if (closed) return;
        const Text hint = Caption(controls::标签提示);
        if (hint.starts_with("温馨提示 - 读取")) ++progressSeen;
        if (progressSeen < 2 && hint.find("保存完成") == Text::npos) return;
        closed = true;
        window->Form().Close();
    });

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(RunMainWindow(TestWindowSystem(), *window, std::chrono::seconds(3)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));

    // Whatever was written is a whole picture the site served; nothing else is in the folder.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SaveDirectory())) {
        ++files;
        const std::string name = entry.path().filename().string();
        ASSERT_EQ(entry.path().extension(), ".jpg") << name;
        std::string served;
        for (const char* listing :
             {"/meinv/index.html", "/meinv/index_2.html", "/meinv/index_3.html"})
            for (const auto& path : site.FullSizePaths(listing))
                if (path.substr(path.rfind('/') + 1) == name) served = site.PictureBytes(path);
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string written{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
        EXPECT_EQ(written, served) << name;
    }
    EXPECT_LT(files, Rows(controls::ImageList));  // the save stopped early
}

}  // namespace
}  // namespace lumeno::testing
