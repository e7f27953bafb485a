// Fatal runtime errors: the exact box text, the reporter and the exit code -1.
#include "util/runtime_services.h"

#include <gtest/gtest.h>

#include "tests/util/runtime/exit_code.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

namespace lumeno {
namespace {

// The program's aligned forms: every alignment honoured, each block writable to its end and
// released by its own delete (the sanitizer builds check the pairing).
TEST(AlignedAllocation, HonoursTheAlignment) {
    for (std::size_t alignment : {16u, 64u, 4096u, 65536u}) {
        for (std::size_t size : {0u, 1u, 100u, 70000u}) {
            void* block = ::operator new (size, std::align_val_t{alignment});
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignment, 0u) << alignment;
            std::memset(block, 0xAB, size);
            ::operator delete (block, std::align_val_t{alignment});
        }
    }
}

TEST(FatalErrorText, WithAndWithoutCode) {
    EXPECT_EQ(FatalErrorText(1, "数组成员引用下标超出定义范围"),
              "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n");
    EXPECT_EQ(FatalErrorText(-1, "不能求余数于零"),
              "运行时出错!\r\n\r\n错误信息：不能求余数于零\r\n");
}

TEST(FatalRuntimeErrorDeathTest, DefaultReporterWritesStandardErrorAndExits) {
    // The death-test regex sees GBK bytes; match the ASCII parts and the code.
    EXPECT_EXIT(FatalRuntimeError(7, "x-message"), ExitedWithMinusOne, "x-message");
}

TEST(FatalRuntimeErrorDeathTest, InstalledReporterGetsTheBoxText) {
    EXPECT_EXIT(
        {
            SetFatalErrorReporter([](const Text& boxText) {
                const Text expected = FatalErrorText(4, "m");
                std::fputs(boxText == expected ? "reporter-saw-box" : "reporter-wrong", stderr);
            });
            FatalRuntimeError(4, "m");
        },
        ExitedWithMinusOne, "reporter-saw-box");
}

TEST(FatalRuntimeErrorDeathTest, ErrorInsideReporterStillExits) {
    EXPECT_EXIT(
        {
            SetFatalErrorReporter([](const Text&) { FatalRuntimeError(-1, "nested-error"); });
            FatalRuntimeError(1, "outer");
        },
        ExitedWithMinusOne, "nested-error");
}

TEST(TextArrayDeathTest, IndexChecks) {
    TextArray array{"a", "b"};
    EXPECT_EQ(array[1], "a");
    EXPECT_EQ(array[2], "b");
    EXPECT_EXIT((void)array[3], ExitedWithMinusOne, "");
    EXPECT_EXIT((void)array[0], ExitedWithMinusOne, "");
    EXPECT_EXIT(
        {
            SetFatalErrorReporter([](const Text& boxText) {
                std::fputs(boxText == FatalErrorText(1, "数组成员引用下标超出定义范围")
                               ? "above-count"
                               : "wrong",
                           stderr);
            });
            (void)array[3];
        },
        ExitedWithMinusOne, "above-count");
    EXPECT_EXIT(
        {
            SetFatalErrorReporter([](const Text& boxText) {
                std::fputs(boxText == FatalErrorText(4, "数组成员引用下标必须大于等于1")
                               ? "below-one"
                               : "wrong",
                           stderr);
            });
            (void)array[-1];
        },
        ExitedWithMinusOne, "below-one");
}

}  // namespace
}  // namespace lumeno
