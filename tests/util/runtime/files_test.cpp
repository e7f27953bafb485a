// NativePath, WriteFileBytes (whole or nothing) and RunDirectory, in a scratch folder.
#include "util/runtime_services.h"

#include "platform/codepage/codepage.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

class WriteFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumeno-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The logic's form of a path in the scratch folder: GBK with backslash separators.
    Text LogicPath(const Text& name) const {
        return platform::Utf8ToGbk(dir_.string()) + "\\" + name;
    }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::size_t EntryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    fs::path dir_;
};

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

TEST_F(WriteFileTest, ChineseNameIsUtf8OnDisk) {
    ASSERT_TRUE(WriteFileBytes(LogicPath("图片.jpg"), ByteSet{'x'}));
    EXPECT_EQ(Read(dir_ / (kPicturesUtf8 + ".jpg")), "x");
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

// Runs in a child process: limits the file size so that the write fails half-way, reports the
// result on standard error and exits.
[[noreturn]] void WriteUnderFileSizeLimit(const Text& path) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool ok = WriteFileBytes(path, ByteSet(100000, 'n'));
    std::fputs(ok ? "written" : "refused", stderr);
    std::_Exit(0);
}

TEST_F(WriteFileTest, FailedWriteKeepsTheOldFile) {
    ASSERT_TRUE(WriteFileBytes(LogicPath("keep.bin"), ByteSet{'o', 'l', 'd'}));
    // In a child process, limit the file size so the second write fails half-way.
    EXPECT_EXIT(WriteUnderFileSizeLimit(LogicPath("keep.bin")), testing::ExitedWithCode(0),
                "refused");
    EXPECT_EQ(Read(dir_ / "keep.bin"), "old");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST(RunDirectory, HoldsThisProgram) {
    const Text dir = RunDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '/');
    EXPECT_NE(dir.back(), '\\');
    EXPECT_TRUE(fs::exists(NativePath(dir + "\\util_runtime_tests")));
}

}  // namespace
}  // namespace lumeno
