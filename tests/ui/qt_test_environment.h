// Shared helpers of the window tests: one QApplication for the whole test program (created
// before the first test, destroyed after the last), polling waits that keep the event loop
// running, and finders for top-level widgets such as message boxes.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

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

// Runs the event loop until `condition` holds or `limit` has passed; returns the condition.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// The visible top-level message box, nullptr when there is none.
inline QMessageBox* VisibleMessageBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box && box->isVisible()) return box;
    }
    return nullptr;
}

}  // namespace lumeno::testing

// Registers the environment once per test program.
#define LUMENO_QT_TEST_ENVIRONMENT()                                            \
    static ::testing::Environment* const lumenoQtEnvironment [[maybe_unused]] = \
        ::testing::AddGlobalTestEnvironment(new ::lumeno::testing::QtApplicationEnvironment)
