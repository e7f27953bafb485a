// NativePath, WriteFileBytes (whole or nothing) and RunDirectory, in a scratch folder.
#include "util/runtime_services.h"

#include "platform/codepage/codepage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "tests/util/runtime/files_test_support.h"

namespace lumeno {
namespace {

namespace fs = std::filesystem;

// UTF-8 bytes of 图片 (the GBK literal "图片" is other bytes at run time).
const std::string kPicturesUtf8 = "\xE5\x9B\xBE\xE7\x89\x87";

TEST(NativePath, BackslashesAndGbk) {
    EXPECT_EQ(NativePath("\\a\\b.jpg"), "/a/b.jpg");
    EXPECT_EQ(NativePath("/x\\Lumeno图片 1080P\\"), "/x/Lumeno" + kPicturesUtf8 + " 1080P/");
    // A double-byte character whose second byte is 0x5C is not a separator.
    const Text trailing5c = "\xD5\x5C";
    EXPECT_EQ(NativePath(trailing5c), platform::GbkToUtf8(trailing5c));
    EXPECT_EQ(NativePath(trailing5c).find('/'), std::string::npos);
    EXPECT_EQ(NativePath(""), "");
}

TEST_F(WriteFileTest, WritesPartsInOrderSkippingEmptyOnes) {
    ASSERT_TRUE(WriteFileBytes(LogicPath("a.bin"), ByteSet{'a', 0}, ByteSet{}, ByteSet{'b'}));
    EXPECT_EQ(Read(dir_ / "a.bin"), std::string("a\0b", 3));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(WriteFileTest, OverwritesAndTruncates) {
    ASSERT_TRUE(WriteFileBytes(LogicPath("a.bin"), ByteSet{'l', 'o', 'n', 'g'}));
    ASSERT_TRUE(WriteFileBytes(LogicPath("a.bin"), ByteSet{'s'}));
    EXPECT_EQ(Read(dir_ / "a.bin"), "s");
    ASSERT_TRUE(WriteFileBytes(LogicPath("a.bin"), ByteSet{}));
    EXPECT_TRUE(fs::exists(dir_ / "a.bin"));
    EXPECT_EQ(fs::file_size(dir_ / "a.bin"), 0u);
}

TEST_F(WriteFileTest, ChineseNameIsRightOnDisk) {
    ASSERT_TRUE(WriteFileBytes(LogicPath("图片.jpg"), ByteSet{'x'}));
    EXPECT_EQ(Read(dir_ / FsPath(kPicturesUtf8 + ".jpg")), "x");
}

TEST_F(WriteFileTest, MissingFolderGivesFalseAndCreatesNothing) {
    EXPECT_FALSE(WriteFileBytes(LogicPath("missing\\a.bin"), ByteSet{'x'}));
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
    EXPECT_EQ(EntryCount(), 0u);
}

TEST_F(WriteFileTest, BadNamesGiveFalse) {
    EXPECT_FALSE(WriteFileBytes("", ByteSet{'x'}));
    EXPECT_FALSE(WriteFileBytes(LogicPath("folder\\"), ByteSet{'x'}));
    // A folder in the target's place: the write fails and no temporary file stays.
    fs::create_directory(dir_ / "taken");
    EXPECT_FALSE(WriteFileBytes(LogicPath("taken"), ByteSet{'x'}));
    EXPECT_TRUE(fs::is_directory(dir_ / "taken"));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST(RunDirectory, HoldsThisProgram) {
    const Text dir = RunDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '/');
    EXPECT_NE(dir.back(), '\\');
    const fs::path program = FsPath(NativePath(dir + "\\util_runtime_tests"));
    EXPECT_TRUE(fs::exists(program) || fs::exists(fs::path(program) += ".exe"));
}

}  // namespace
}  // namespace lumeno
