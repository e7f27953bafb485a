// Fatal runtime errors: the exact box text, the reporter and the exit code -1.
#include "util/runtime_services.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace lumeno {
namespace {

TEST(FatalErrorText, WithAndWithoutCode) {
    EXPECT_EQ(FatalErrorText(1, "数组成员引用下标超出定义范围"),
              "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n");
    EXPECT_EQ(FatalErrorText(-1, "不能求余数于零"),
              "运行时出错!\r\n\r\n错误信息：不能求余数于零\r\n");
}

TEST(FatalRuntimeErrorDeathTest, DefaultReporterWritesStandardErrorAndExits) {
    // The death-test regex sees GBK bytes; match the ASCII parts and the code.
    EXPECT_EXIT(FatalRuntimeError(7, "x-message"), testing::ExitedWithCode(255), "x-message");
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
        testing::ExitedWithCode(255), "reporter-saw-box");
}

TEST(FatalRuntimeErrorDeathTest, ErrorInsideReporterStillExits) {
    EXPECT_EXIT(
        {
            SetFatalErrorReporter([](const Text&) { FatalRuntimeError(-1, "nested-error"); });
            FatalRuntimeError(1, "outer");
        },
        testing::ExitedWithCode(255), "nested-error");
}

TEST(TextArrayDeathTest, IndexChecks) {
    TextArray array{"a", "b"};
    EXPECT_EQ(array[1], "a");
    EXPECT_EQ(array[2], "b");
    EXPECT_EXIT((void)array[3], testing::ExitedWithCode(255), "");
    EXPECT_EXIT((void)array[0], testing::ExitedWithCode(255), "");
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
        testing::ExitedWithCode(255), "above-count");
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
        testing::ExitedWithCode(255), "below-one");
}

}  // namespace
}  // namespace lumeno
