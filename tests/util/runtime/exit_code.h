// The exit code -1 of a fatal runtime error as each platform reports it: 255 in a POSIX wait
// status, -1 (0xFFFFFFFF) from a Windows process.
#pragma once

#include <gtest/gtest.h>

namespace lumeno {

inline bool ExitedWithMinusOne(int status) {
    return testing::ExitedWithCode(255)(status) || testing::ExitedWithCode(-1)(status);
}

}  // namespace lumeno
