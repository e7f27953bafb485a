// Allocation failure is the fatal runtime error: the box text with the requested byte count and
// exit code -1, brought about in death-test children whose address space is limited
// (setrlimit), so this part runs where that limit exists.
#include "util/runtime_services.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <new>
#include <string>
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

// Limits this process's address space to what it maps now plus `headroom`, so one large
// allocation fails while the small ones of the report still succeed.
void LimitAddressSpace(std::size_t headroom) {
    std::ifstream status("/proc/self/status");
    std::size_t kilobytes = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0) kilobytes = std::stoull(line.substr(7));
    }
    const rlimit limit{kilobytes * 1024 + headroom, kilobytes * 1024 + headroom};
    if (kilobytes == 0 || setrlimit(RLIMIT_AS, &limit) != 0) {
        std::fputs("no-address-space-limit", stderr);
        std::_Exit(2);
    }
}

constexpr std::size_t kHeadroom = 512u << 20;

// Installs a reporter that says whether it was handed the box text of an allocation failure of
// `bytes`, then ends the process the way the fatal error does.
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
        {"array", "1999999999",
         [] {
             char* volatile block = new char[1999999999];  // volatile: not elided
             delete[] block;
         }},
        {"aligned", "2000000000",
         [] { ::operator delete(::operator new (2000000000u, std::align_val_t{64})); }},
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
                LimitAddressSpace(kHeadroom);
                ExpectAllocationReport(c.bytes);
                c.allocate();
                std::_Exit(0);
            },
            testing::ExitedWithCode(255), "box-text-matches")
            << c.name;
    }
}

TEST(AllocationFailureDeathTest, WithoutAReporterTheTextGoesToStandardError) {
    SKIP_UNDER_SANITIZERS();
    // The death-test regex sees GBK bytes; the count is ASCII.
    EXPECT_EXIT(
        {
            LimitAddressSpace(kHeadroom);
            (void)BlankBytes(2000000000);
        },
        testing::ExitedWithCode(255), "2000000000");
}

TEST(AllocationFailureDeathTest, FailureWhileReportingStillEndsTheProcess) {
    SKIP_UNDER_SANITIZERS();
    EXPECT_EXIT(
        {
            LimitAddressSpace(kHeadroom);
            SetFatalErrorReporter([](const Text&) { (void)BlankBytes(1900000000); });
            (void)BlankBytes(2000000000);
        },
        testing::ExitedWithCode(255), "1900000000");
}

TEST(AllocationFailureDeathTest, NothrowFormsReturnNull) {
    SKIP_UNDER_SANITIZERS();
    EXPECT_EXIT(
        {
            LimitAddressSpace(kHeadroom);
            char* block = new (std::nothrow) char[2000000000];
            void* aligned = ::operator new (2000000000u, std::align_val_t{64}, std::nothrow);
            std::fputs(block == nullptr && aligned == nullptr ? "null" : "not-null", stderr);
            std::_Exit(3);
        },
        testing::ExitedWithCode(3), "null");
}

}  // namespace
}  // namespace lumeno
