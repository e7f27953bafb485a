// Allocation failure is the fatal runtime error: the box text with the requested byte count and
// exit code -1, brought about in death-test children whose address space is limited
// (setrlimit), so this part runs where that limit exists.
#include "util/runtime_services.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <thread>

namespace lumeno {
namespace {

// A sanitizer's runtime is linked ahead of the program's libraries and brings its own operator
// new, which the linker then takes instead of the program's: an allocation failure ends with
// the sanitizer's out-of-memory report, by design of that build. These tests need the
// program's operator new, so they run in the plain build only.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SKIP_UNDER_SANITIZERS() GTEST_SKIP() << "the sanitizer supplies operator new itself"
#else
#define SKIP_UNDER_SANITIZERS() (void)0
#endif

// One large allocation fails under this limit while the small ones of the report succeed.
void LimitAddressSpace() {
    const rlimit limit{1u << 30, 1u << 30};
    if (setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(2);
}

// Installs a reporter that says whether it was handed the box text of an allocation failure of
// `bytes`; the fatal error then ends the process.
void ExpectAllocationReport(const char* bytes) {
    const Text expected = FatalErrorText(-1, Text("分配 ") + bytes + " 字节内存失败!");
    SetFatalErrorReporter([expected](const Text& boxText) {
        std::fputs(boxText == expected ? "box-text-matches" : "box-text-differs", stderr);
    });
}

TEST(AllocationFailureDeathTest, EndsWithTheBoxTextAndExitCodeMinusOne) {
    SKIP_UNDER_SANITIZERS();
    struct Case {
        const char* name;
        const char* bytes;
        std::function<void()> allocate;
    };
    const Case cases[] = {
        {"byte set", "2000000000", [] { (void)BlankBytes(2000000000); }},
        // A count beyond the range of int is shown in full, not as a negative number.
        {"beyond int", "3000000000", [] { ::operator delete(::operator new(3000000000u)); }},
        {"aligned", "2000000000",
         [] { ::operator delete(::operator new (2000000000u, std::align_val_t{4096})); }},
        // Before, a worker's allocation failure became an exception that the worker swallowed.
        {"on a worker", "2000000000",
         [] {
             StartThread([] { (void)BlankBytes(2000000000); });
             for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
         }},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                LimitAddressSpace();
                ExpectAllocationReport(c.bytes);
                c.allocate();
                std::_Exit(0);
            },
            testing::ExitedWithCode(255), "box-text-matches")
            << c.name;
    }
}

TEST(AllocationFailureDeathTest, FailureWhileReportingStillEndsTheProcess) {
    SKIP_UNDER_SANITIZERS();
    EXPECT_EXIT(
        {
            LimitAddressSpace();
            // The report itself fails to allocate: the fixed text goes to standard error.
            SetFatalErrorReporter([](const Text&) { (void)BlankBytes(1900000000); });
            (void)BlankBytes(2000000000);
        },
        testing::ExitedWithCode(255), "1900000000");
}

TEST(AllocationFailureDeathTest, NothrowFormReturnsNull) {
    SKIP_UNDER_SANITIZERS();
    EXPECT_EXIT(
        {
            LimitAddressSpace();
            char* volatile block = new (std::nothrow) char[2000000000];  // volatile: not elided
            std::fputs(block == nullptr ? "null" : "not-null", stderr);
            std::_Exit(3);
        },
        testing::ExitedWithCode(3), "null");
}

}  // namespace
}  // namespace lumeno
