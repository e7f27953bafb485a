// The batch save: hints, files, the final question and its answers, and the sound handling of
// failed downloads, unsafe names and re-saves, and the pictures folder when the program's own
// folder cannot take the save.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "crawler/category_table.h"
#include "platform/system/worker_threads.h"
#include "tests/crawler/crawler_fixture.h"

namespace lumeno::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

using SaveTest = CrawlerTest;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SavedFileNameTest, TakesTheTextAfterTheFirstSlashFromByte41) {
    EXPECT_EQ(SavedFileName("http://www.example.com/uploads/2022/12/08/abc.jpg"),
              "abc");  // 23-byte base
    EXPECT_EQ(SavedFileName("http://127.0.0.1:8808/uploads/2022/12/08/abc.jpg"),
              "abc");  // 21-byte base
    EXPECT_EQ(SavedFileName("http://www.example.com/up/2022/abc.jpg"), "");
    EXPECT_EQ(SavedFileName("http://127.0.0.1:8808/uploads/2022/12/08/abc.png"), "");
}

TEST(SafeFileNameTest, RejectsNamesThatCouldLeaveTheFolder) {
    EXPECT_TRUE(IsSafeFileName("abc"));
    EXPECT_TRUE(IsSafeFileName("风景 01"));
    EXPECT_TRUE(IsSafeFileName("..a"));
    for (const Text& bad : {Text(), Text("."), Text(".."), Text("../x"), Text("a/b"), Text("a\\b"),
                            Text("a\nb"), Text("a\x7f")})
        EXPECT_FALSE(IsSafeFileName(bad)) << bad;
}

TEST(LooksLikePictureTest, KnowsTheLeadingBytesOfPictureFormats) {
    EXPECT_TRUE(LooksLikePicture({0xFF, 0xD8, 0xFF, 0xE0}));
    EXPECT_TRUE(LooksLikePicture({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0}));
    EXPECT_TRUE(LooksLikePicture({'G', 'I', 'F', '8', '9', 'a'}));
    EXPECT_TRUE(LooksLikePicture({'B', 'M', 0, 0}));
    EXPECT_TRUE(LooksLikePicture({0, 0, 1, 0, 1, 0}));
    EXPECT_FALSE(LooksLikePicture({'<', 'h', 't', 'm', 'l', '>'}));
    EXPECT_FALSE(LooksLikePicture({}));
    EXPECT_FALSE(LooksLikePicture({0xFF, 0xD8}));
}

TEST_F(SaveTest, ThreeRowsGiveTheHintSequenceFilesAndTheQuestion) {
    const auto paths = site->FullSizePaths("/fengjing/index.html");
    ASSERT_GE(paths.size(), 3u);
    std::vector<Text> names;
    for (int i = 0; i < 3; ++i) {
        AppendRow(site->BaseUrl() + paths[i]);
        names.push_back(SavedFileName(site->BaseUrl() + paths[i]));
    }
    SaveAllAndWait();

    std::vector<Text> expected;
    for (const Text& name : names) {
        expected.push_back("温馨提示 - 读取 " + name);
        expected.push_back("温馨提示 - 图片数据保存完成 " + name);
    }
    expected.push_back("温馨提示 - 所有图片保存完成");
    EXPECT_EQ(window.CaptionHistory(controls::标签提示), expected);

    const auto boxes = window.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "保存成功，是否打开文件夹查看？");
    EXPECT_EQ(boxes[0].title, "Kestrune - 提示");
    EXPECT_EQ(boxes[0].buttons, kButtonsYesNo);

    for (int i = 0; i < 3; ++i) {
        const auto file = SaveDirectory() / (names[i] + ".jpg");
        EXPECT_EQ(ReadFile(file), site->PictureBytes(paths[i])) << names[i];
    }
    EXPECT_EQ(SavedFiles().size(), 3u);  // nothing else, no temporary left behind
    EXPECT_FALSE(std::filesystem::exists(picturesDirectory));  // a writable folder: no fallback
}

TEST_F(SaveTest, YesOpensTheFolderEmptiesBothListsAndEnablesTheBoxes) {
    const auto paths = site->FullSizePaths("/meinv/index.html");
    AppendRow(site->BaseUrl() + paths[0],
              site->BaseUrl() + site->ThumbnailPaths("/meinv/index.html")[0]);
    for (const Category& category : kCategories) window.SetDisabled(category.checkBox, 1);
    window.QueueAnswer(kAnswerYes);
    SaveAllAndWait();

    EXPECT_THAT(window.ShellTargets(), ElementsAre(crawler->SaveFolderPath()));
    EXPECT_EQ(window.ListRowCount(controls::ImageList), 0);
    EXPECT_EQ(window.ListRowCount(controls::SourceList), 0);
    for (const Category& category : kCategories) EXPECT_EQ(window.Disabled(category.checkBox), 0);
    std::lock_guard lock(state.saveFolderMutex);
    EXPECT_EQ(state.SaveFolder, "");
}

TEST_F(SaveTest, NoKeepsEverythingAndASecondSaveRewritesTheSameFiles) {
    const auto paths = site->FullSizePaths("/yingshi/index.html");
    AppendRow(site->BaseUrl() + paths[0]);
    AppendRow(site->BaseUrl() + paths[1]);
    for (const Category& category : kCategories) window.SetDisabled(category.checkBox, 1);
    window.QueueAnswer(kAnswerNo);
    window.QueueAnswer(kAnswerNo);
    SaveAllAndWait();
    const auto firstFiles = SavedFiles();
    std::filesystem::remove(SaveDirectory() / firstFiles[0]);

    SaveAllAndWait();
    EXPECT_EQ(SavedFiles(), firstFiles);
    EXPECT_EQ(window.ListRowCount(controls::ImageList), 2);
    EXPECT_THAT(window.ShellTargets(), IsEmpty());
    for (const Category& category : kCategories) EXPECT_EQ(window.Disabled(category.checkBox), 1);
    std::lock_guard lock(state.saveFolderMutex);
    EXPECT_EQ(state.SaveFolder, crawler->SaveFolderPath());
}

TEST_F(SaveTest, AnErrorPageIsNeverSavedAsAPicture) {
    const Text missing = site->BaseUrl() + "/uploads/2022/12/08/missing.jpg";
    const Text good = site->BaseUrl() + site->FullSizePaths("/youxi/index.html")[0];
    AppendRow(missing);
    AppendRow(good);
    SaveAllAndWait();

    EXPECT_THAT(SavedFiles(), ElementsAre(SavedFileName(good) + ".jpg"));
    const auto hints = window.CaptionHistory(controls::标签提示);
    EXPECT_EQ(hints[1], "温馨提示 - 图片下载失败 missing");
    EXPECT_EQ(hints.back(), "温馨提示 - 图片保存结束，失败 1 张");
    ASSERT_EQ(window.MessageBoxes().size(), 1u);
    EXPECT_EQ(window.MessageBoxes()[0].message, "部分图片保存失败（1 张），是否打开文件夹查看？");
    EXPECT_EQ(window.MessageBoxes()[0].title, "Kestrune - 提示");
}

TEST_F(SaveTest, AFailedResaveLeavesTheGoodFileIntact) {
    const auto path = site->FullSizePaths("/mengwu/index.html")[0];
    AppendRow(site->BaseUrl() + path);
    SaveAllAndWait();
    const auto file = SaveDirectory() / (SavedFileName(site->BaseUrl() + path) + ".jpg");
    const std::string first = ReadFile(file);
    ASSERT_EQ(first, site->PictureBytes(path));

    site->Stop();  // every download of the second save fails
    crawler->SaveAllImages();
    EXPECT_EQ(ReadFile(file), first);
    EXPECT_EQ(window.CaptionHistory(controls::标签提示).back(),
              "温馨提示 - 图片保存结束，失败 1 张");
}

TEST_F(SaveTest, NamesThatPointOutsideTheFolderWriteNothing) {
    const Text base = site->BaseUrl();
    const auto good = site->FullSizePaths("/xitong/index.html")[0];
    const Text goodName = SavedFileName(base + good);
    // The same picture reached through a name holding "../": the site would serve it, but the
    // name would land beside the save folder.
    AppendRow(base + good.substr(0, good.rfind('/') + 1) + "../" +
              good.substr(good.rfind('/') + 1));
    AppendRow(base + "/up/short.jpg");  // no name at all
    SaveAllAndWait();

    EXPECT_THAT(SavedFiles(), IsEmpty());
    std::vector<std::string> outside;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(runDirectory))
        if (entry.is_regular_file()) outside.push_back(entry.path().string());
    EXPECT_THAT(outside, IsEmpty());
    const auto hints = window.CaptionHistory(controls::标签提示);
    EXPECT_EQ(hints[1], "温馨提示 - 图片保存失败 ../" + goodName);
    EXPECT_EQ(hints[3], "温馨提示 - 图片保存失败 ");
    EXPECT_EQ(hints.back(), "温馨提示 - 图片保存结束，失败 2 张");
}

TEST_F(SaveTest, EmptyListStillMakesTheFolderAndAsks) {
    SaveAllAndWait();
    EXPECT_TRUE(std::filesystem::is_directory(SaveDirectory()));
    EXPECT_THAT(window.CaptionHistory(controls::标签提示),
                ElementsAre("温馨提示 - 所有图片保存完成"));
    ASSERT_EQ(window.MessageBoxes().size(), 1u);
    EXPECT_EQ(window.MessageBoxes()[0].message, "保存成功，是否打开文件夹查看？");
}

// The program's folder cannot take the save folder: a file of that name is in the way, which
// stops an administrator as well as a user (a read-only install folder or share does the same;
// the platform tests cover the write check on a read-only file system).
TEST_F(SaveTest, ABlockedProgramFolderSendsEveryPictureToThePicturesFolderAndOpensIt) {
    std::ofstream(SaveDirectory()) << "in the way";
    const auto paths = site->FullSizePaths("/fengjing/index.html");
    AppendRow(site->BaseUrl() + paths[0]);
    AppendRow(site->BaseUrl() + paths[1]);
    window.QueueAnswer(kAnswerYes);
    crawler->OnSaveAll();
    ASSERT_TRUE(platform::WaitForWorkers(std::chrono::seconds(30)));

    std::vector<std::string> expected;
    for (int i = 0; i < 2; ++i) {
        const Text name = SavedFileName(site->BaseUrl() + paths[i]);
        expected.push_back(name + ".jpg");
        EXPECT_EQ(ReadFile(FallbackDirectory() / (name + ".jpg")), site->PictureBytes(paths[i]));
    }
    EXPECT_EQ(FilesIn(FallbackDirectory()), expected);  // every picture, nothing else
    EXPECT_EQ(ReadFile(SaveDirectory()), "in the way");
    EXPECT_THAT(FilesIn(runDirectory), ElementsAre(SaveDirectory().filename().string()));
    EXPECT_EQ(window.CaptionHistory(controls::标签提示).back(), "温馨提示 - 所有图片保存完成");
    ASSERT_EQ(window.MessageBoxes().size(), 1u);
    EXPECT_EQ(window.MessageBoxes()[0].message, "保存成功，是否打开文件夹查看？");
    EXPECT_THAT(window.ShellTargets(), ElementsAre(crawler->FallbackSaveFolderPath()));
}

TEST_F(SaveTest, WithNoPlaceToWriteEveryPictureCountsAsFailedAndNothingIsLeft) {
    std::ofstream(SaveDirectory()) << "in the way";
    std::ofstream(picturesDirectory) << "in the way too";
    AppendRow(site->BaseUrl() + site->FullSizePaths("/meishi/index.html")[0]);
    crawler->OnSaveAll();
    ASSERT_TRUE(platform::WaitForWorkers(std::chrono::seconds(30)));

    EXPECT_THAT(FilesIn(runDirectory), ElementsAre(SaveDirectory().filename().string()));
    EXPECT_TRUE(std::filesystem::is_regular_file(picturesDirectory));
    EXPECT_EQ(window.CaptionHistory(controls::标签提示).back(),
              "温馨提示 - 图片保存结束，失败 1 张");
    std::lock_guard lock(state.saveFolderMutex);
    EXPECT_EQ(state.SaveFolder, crawler->SaveFolderPath());
}

TEST(EnsureFolderTest, AddsTheMissingBackslashAndMakesNestedFolders) {
    const auto root = std::filesystem::temp_directory_path() / "lumeno-ensure-folder";
    std::filesystem::remove_all(root);
    const Text logicPath = root.string() + "\\a\\b";
    EXPECT_TRUE(Crawler::EnsureFolder(logicPath));
    EXPECT_TRUE(std::filesystem::is_directory(root / "a" / "b"));
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace lumeno::testing
