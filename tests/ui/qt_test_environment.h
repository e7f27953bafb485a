// One QApplication for a whole test program (created before the first test, destroyed after
// the last), for the tests of Qt pieces that need no form of the window system. They wait with
// the window tests' WaitUntil, which runs Qt's event loop itself.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include <QApplication>

#include "tests/ui/window_test_support.h"

namespace lumeno::testing {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "lumeno-window-tests";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { application_.reset(); }

private:
    std::unique_ptr<QApplication> application_;
};

}  // namespace lumeno::testing

// Registers the environment once per test program.
#define LUMENO_QT_TEST_ENVIRONMENT()                                            \
    static ::testing::Environment* const lumenoQtEnvironment [[maybe_unused]] = \
        ::testing::AddGlobalTestEnvironment(new ::lumeno::testing::QtApplicationEnvironment)
