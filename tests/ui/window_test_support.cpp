// The window-test support that is the same on every window system: the test program's one
// window system and the polling wait with a deadline.
#include "tests/ui/window_test_support.h"

#include "tests/ui/window_test_backend.h"

namespace lumeno::testing {
namespace {

std::unique_ptr<ui::WindowSystem>& SystemSlot() {
    static std::unique_ptr<ui::WindowSystem> system;
    return system;
}

}  // namespace

ui::WindowSystem& TestWindowSystem() {
    return *SystemSlot();
}

void WindowSystemEnvironment::SetUp() {
    SystemSlot() = CreateTestWindowSystem();
}

void WindowSystemEnvironment::TearDown() {
    SystemSlot().reset();
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        HandleEventsBriefly();
    }
    return true;
}

}  // namespace lumeno::testing
