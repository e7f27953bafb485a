// Whole-or-nothing writes on Windows: a target that another program holds open without sharing
// cannot be replaced; the write fails, the old file stays as it was and no temporary file is
// left beside it.
#include "tests/util/runtime/files_test_support.h"

#include <windows.h>

namespace lumeno {
namespace {

TEST_F(WriteFileTest, HeldTargetKeepsTheOldFile) {
    ASSERT_TRUE(WriteFileBytes(LogicPath("keep.bin"), ByteSet{'o', 'l', 'd'}));
    const HANDLE held = ::CreateFileW((dir_ / "keep.bin").wstring().c_str(), GENERIC_READ, 0,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFileBytes(LogicPath("keep.bin"), ByteSet(100000, 'n')));
    ::CloseHandle(held);
    EXPECT_EQ(Read(dir_ / "keep.bin"), "old");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(WriteFileTest, ForwardSlashesAndBackslashesBothSeparate) {
    ASSERT_TRUE(WriteFileBytes(LogicPath("a.bin"), ByteSet{'1'}));
    const std::u8string folder = dir_.u8string();
    const Text mixed = platform::Utf8ToGbk(std::string(folder.begin(), folder.end())) + "/b.bin";
    ASSERT_TRUE(WriteFileBytes(mixed, ByteSet{'2'}));
    EXPECT_EQ(Read(dir_ / "b.bin"), "2");
    EXPECT_EQ(EntryCount(), 2u);
}

}  // namespace
}  // namespace lumeno
