// Runs a program as a child process with a time limit and reports how it ended, what it printed
// and its memory peak (the kernel's maximum resident set size of the child).
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace lumeno::testing {

struct ChildResult {
    bool started = false;
    bool timedOut = false;  // killed at the limit
    int exitCode = -1;      // when it exited
    int signal = 0;         // when a signal ended it (a crash, or the kill at the limit)
    std::chrono::milliseconds elapsed{0};
    long peakKiB = 0;    // ru_maxrss
    std::string output;  // standard output; standard error goes to the test's own
};

ChildResult RunChild(const std::vector<std::string>& arguments, std::chrono::milliseconds limit);

}  // namespace lumeno::testing
