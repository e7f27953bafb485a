// MainWindow on the window framework: the control table becomes a FormWindow, the services
// attach to it.
#include "app/main_window.h"

#include <QUrl>

#include "app/main_window_controls.h"
#include "ui/form_window.h"
#include "ui/qt_translations.h"
#include "ui/qt_window_controls.h"

namespace lumeno {

struct MainWindow::Parts {
    Parts(const Text& url, ShellOpener opener)
        : baseUrl(url),
          table(MainWindowControls(baseUrl.c_str())),
          window(ui::WindowLayout{MainWindowCaption(), kMainWindowClientWidth,
                                  kMainWindowClientHeight, table}),
          controls(window, ToQtOpener(std::move(opener))) {}

    static ui::QtWindowControls::ShellOpener ToQtOpener(ShellOpener opener) {
        if (!opener) return {};
        return [opener = std::move(opener)](const QUrl& url) {
            return opener(url.toString(QUrl::FullyEncoded).toStdString());
        };
    }

    Text baseUrl;  // the link box's text points into it
    std::vector<ui::ControlRow> table;
    ui::FormWindow window;
    ui::QtWindowControls controls;  // after the window: shut down and destroyed first
};

MainWindow::MainWindow(const Text& baseUrl, ShellOpener opener) {
    // Before any widget exists: Qt's own texts (message-box buttons, context menus) in Chinese.
    ui::InstallChineseQtTranslations();
    parts_ = std::make_unique<Parts>(baseUrl, std::move(opener));
}

MainWindow::~MainWindow() = default;

WindowControls& MainWindow::Controls() {
    return parts_->controls;
}
ui::QtWindowControls& MainWindow::QtControls() {
    return parts_->controls;
}
ui::FormWindow& MainWindow::Window() {
    return parts_->window;
}

bool MainWindow::OnClicked(const char* control, std::function<void()> handler) {
    return control && parts_->window.OnClicked(control, std::move(handler));
}

void MainWindow::OnClose(std::function<void()> handler) {
    parts_->window.OnClose(std::move(handler));
}

void MainWindow::Show() {
    parts_->window.ShowFixed(QSize(kMainWindowOuterWidth, kMainWindowOuterHeight));
}

}  // namespace lumeno
