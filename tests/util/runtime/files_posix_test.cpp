// Whole-or-nothing writes on Linux: a write that fails half-way keeps the old file.
#include "tests/util/runtime/files_test_support.h"

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>

namespace lumeno {
namespace {

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

}  // namespace
}  // namespace lumeno
