// Forms and the window system on Qt Widgets.
#include "ui/qt_form.h"

#include <QUrl>

#include "platform/system/message_loop.h"
#include "ui/qt_message_loop.h"
#include "ui/qt_program_icon.h"
#include "ui/qt_translations.h"

namespace lumeno::ui {
namespace {

QtWindowControls::ShellOpener ToQtOpener(ShellOpener opener) {
    if (!opener) return {};
    return [opener = std::move(opener)](const QUrl& url) {
        return opener(url.toString(QUrl::FullyEncoded).toStdString());
    };
}

}  // namespace

QtForm::QtForm(const WindowLayout& layout, ShellOpener opener)
    : window_(layout), controls_(window_, ToQtOpener(std::move(opener))) {}

bool QtForm::OnClicked(const Text& control, std::function<void()> handler) {
    return window_.OnClicked(control, std::move(handler));
}

void QtForm::OnClose(std::function<void()> handler) {
    window_.OnClose(std::move(handler));
}

void QtForm::Show(int outerWidth, int outerHeight) {
    window_.ShowFixed(QSize(outerWidth, outerHeight));
}

void QtForm::Close() {
    window_.close();
}

void QtForm::ShowFatalError(const Text& boxText) {
    controls_.ShowFatalError(boxText);
}

void QtForm::Shutdown() {
    controls_.Shutdown();
}

bool QtForm::IsShutDown() const {
    return controls_.IsShutDown();
}

// QApplication keeps a reference to argc: it lives in the object beside it.
QtWindowSystem::QtWindowSystem(int argc, char** argv) : argc_(argc), application_(argc_, argv) {
    InstallProgramIcon();
}

void QtWindowSystem::Run() {
    QtThreadMessageLoop loop;
    platform::InstallThreadMessageLoop(&loop);
    QApplication::exec();
    platform::InstallThreadMessageLoop(nullptr);
}

void QtWindowSystem::Quit() {
    QCoreApplication::quit();
}

void QtWindowSystem::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::unique_ptr<WindowSystem> CreateWindowSystem(int argc, char** argv) {
    return std::make_unique<QtWindowSystem>(argc, argv);
}

std::unique_ptr<Form> CreateForm(const WindowLayout& layout, ShellOpener opener) {
    // Before any widget exists: Qt's own texts (message-box buttons, context menus) in Chinese.
    InstallChineseQtTranslations();
    return std::make_unique<QtForm>(layout, std::move(opener));
}

}  // namespace lumeno::ui
