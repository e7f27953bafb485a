// What each window system's part of the window-test support gives the part they share
// (window_test_support.cpp): the window system as the test program makes it, and one short
// round of event handling for the polling waits.
#pragma once

#include <memory>

#include "ui/window_system.h"

namespace lumeno::testing {

// The test program's window system, made once before the first test.
std::unique_ptr<ui::WindowSystem> CreateTestWindowSystem();

// Window thread: handles the events waiting now, then gives new ones a few milliseconds to
// arrive.
void HandleEventsBriefly();

}  // namespace lumeno::testing
