// Whole-path folder creation: nested folders, existing ones, a file in the way, non-ASCII names;
// the can-create-files check and the user's pictures folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/system/folders.h"

namespace lumeno::platform {
namespace {

namespace fs = std::filesystem;

class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() /
            ("lumeno-folders-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Under(const std::string& rest) const { return root_.string() + "/" + rest; }

    fs::path root_;
};

TEST_F(FoldersTest, CreatesEveryMissingFolderUpToTheLastSeparator) {
    EXPECT_TRUE(MakeSureDirectoryPathExists(Under("a/b/c/")));
    EXPECT_TRUE(fs::is_directory(root_ / "a" / "b" / "c"));
}

TEST_F(FoldersTest, LeavesTheLastComponentAlone) {
    EXPECT_TRUE(MakeSureDirectoryPathExists(Under("a/b/file.jpg")));
    EXPECT_TRUE(fs::is_directory(root_ / "a" / "b"));
    EXPECT_FALSE(fs::exists(root_ / "a" / "b" / "file.jpg"));
}

TEST_F(FoldersTest, IsTrueForFoldersThatAlreadyExist) {
    fs::create_directories(root_ / "x" / "y");
    EXPECT_TRUE(MakeSureDirectoryPathExists(Under("x/y/")));
    EXPECT_TRUE(MakeSureDirectoryPathExists(Under("x/y/")));
    EXPECT_TRUE(fs::is_directory(root_ / "x" / "y"));
}

TEST_F(FoldersTest, IsFalseWhereAFileBlocksThePath) {
    std::ofstream(root_ / "blocker") << "data";
    EXPECT_FALSE(MakeSureDirectoryPathExists(Under("blocker/")));
    EXPECT_FALSE(MakeSureDirectoryPathExists(Under("blocker/inner/")));
    EXPECT_TRUE(fs::is_regular_file(root_ / "blocker"));
}

TEST_F(FoldersTest, CreatesFoldersWithNonAsciiNames) {
    const char8_t name[] = u8"Lumeno图片 1080P";
    const std::string utf8(reinterpret_cast<const char*>(name));
    EXPECT_TRUE(MakeSureDirectoryPathExists(Under(utf8 + "/")));
    EXPECT_TRUE(fs::is_directory(root_ / fs::path(std::u8string(name))));
}

TEST_F(FoldersTest, CanCreateFilesOnlyInAnExistingFolderAndLeavesNothingThere) {
    EXPECT_TRUE(CanCreateFilesIn(root_.string()));
    EXPECT_TRUE(CanCreateFilesIn(root_.string() + "/"));
    EXPECT_TRUE(fs::is_empty(root_));
    EXPECT_FALSE(CanCreateFilesIn(Under("missing")));
    std::ofstream(root_ / "file") << "data";
    EXPECT_FALSE(CanCreateFilesIn(Under("file")));
    EXPECT_FALSE(CanCreateFilesIn(""));
}

TEST(UserPicturesFolderTest, NamesAFolderWithoutATrailingSeparator) {
    const std::string folder = UserPicturesFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_NE(folder.back(), '\\');
}

TEST(FoldersWithoutSeparator, HaveNothingToCreate) {
    EXPECT_TRUE(MakeSureDirectoryPathExists("plain-name.jpg"));
    EXPECT_FALSE(fs::exists("plain-name.jpg"));
    EXPECT_TRUE(MakeSureDirectoryPathExists(""));
    EXPECT_TRUE(MakeSureDirectoryPathExists("/"));
}

}  // namespace
}  // namespace lumeno::platform
