// MainWindow on the window system: the control table becomes a form with its services.
#include "app/main_window.h"

#include "app/main_window_controls.h"

namespace lumeno {

MainWindow::MainWindow(const Text& baseUrl, ShellOpener opener)
    : baseUrl_(baseUrl),
      table_(MainWindowControls(baseUrl_.c_str())),
      form_(ui::CreateForm(ui::WindowLayout{MainWindowCaption(), kMainWindowClientWidth,
                                            kMainWindowClientHeight, table_},
                           std::move(opener))) {}

MainWindow::~MainWindow() = default;

WindowControls& MainWindow::Controls() {
    return form_->Controls();
}

ui::Form& MainWindow::Form() {
    return *form_;
}

bool MainWindow::OnClicked(const char* control, std::function<void()> handler) {
    return control && form_->OnClicked(control, std::move(handler));
}

void MainWindow::OnClose(std::function<void()> handler) {
    form_->OnClose(std::move(handler));
}

void MainWindow::Show() {
    form_->Show(kMainWindowOuterWidth, kMainWindowOuterHeight);
}

}  // namespace lumeno
