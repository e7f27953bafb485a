// Building the window from its table and routing clicks and the close request.
#include "ui/form_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTableWidget>
#include <QWindow>

#include "ui/control_factory.h"
#include "ui/qt_text.h"
#include "ui/x11_frame.h"

namespace lumeno::ui {

FormWindow::FormWindow(const WindowLayout& spec, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(ToQString(spec.caption));
    // A small UI font so the captions fit their 16-pixel rows.
    QFont font = this->font();
    font.setPixelSize(12);
    setFont(font);
    setFixedSize(spec.clientWidth, spec.clientHeight);
    for (const ControlRow& control : spec.controls) {
        QWidget* widget = CreateControl(control, this);
        controls_[control.name] = widget;
        kinds_[widget] = control.kind;
        names_.emplace_back(control.name);
        if (control.left < spec.clientWidth && control.top < spec.clientHeight) {
            contentsExtent_ = contentsExtent_.expandedTo(
                QSize(control.left + control.width, control.top + control.height));
        }
    }
}

QWidget* FormWindow::Control(const Text& name) const {
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

ControlKind FormWindow::KindOf(const QWidget* control) const {
    const auto found = kinds_.find(control);
    return found == kinds_.end() ? ControlKind::Label : found->second;
}

bool FormWindow::OnClicked(const Text& name, std::function<void()> handler) {
    QWidget* control = Control(name);
    if (!control || !handler) return false;
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QObject::connect(button, &QAbstractButton::clicked, this,
                         [handler = std::move(handler)] { handler(); });
        return true;
    }
    if (auto* list = qobject_cast<QTableWidget*>(control)) {
        QObject* viewport = list->viewport();
        if (!listClicks_.contains(viewport)) viewport->installEventFilter(this);
        listClicks_[viewport].push_back(std::move(handler));
        return true;
    }
    return false;
}

void FormWindow::OnClose(std::function<void()> handler) {
    if (handler) closeHandlers_.push_back(std::move(handler));
}

void FormWindow::CentreOnScreen(QSize outer) {
    const QScreen* target = screen();
    if (!target) return;
    const QRect area = target->availableGeometry();
    move(area.x() + (area.width() - outer.width()) / 2,
         area.y() + (area.height() - outer.height()) / 2);
}

void FormWindow::ShowFixed(QSize outer) {
    wantedOuter_ = outer;
    AdvertiseFixedFrame(*this);
    // On X11 the window manager says what frame it drew, whenever it draws it; elsewhere the
    // platform knows the frame once the window is shown.
    if (OnX11()) WatchFrameExtents(*this, [this](QMargins frame) { FitToFrame(frame); });
    CentreOnScreen(outer);
    show();
    if (!OnX11() && windowHandle()) FitToFrame(windowHandle()->frameMargins());
}

void FormWindow::FitToFrame(QMargins frame) {
    if (!wantedOuter_.isValid() || frame.isNull()) return;
    const QSize client = QSize(wantedOuter_.width() - frame.left() - frame.right(),
                               wantedOuter_.height() - frame.top() - frame.bottom())
                             .expandedTo(contentsExtent_);
    if (client == size()) return;
    setFixedSize(client);
    // Centred again only the first time: later the user may have moved the window.
    if (!fitted_) CentreOnScreen(client.grownBy(frame));
    fitted_ = true;
}

void FormWindow::closeEvent(QCloseEvent* event) {
    for (const auto& handler : closeHandlers_) handler();
    event->accept();
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto found = listClicks_.find(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* viewport = qobject_cast<QWidget*>(watched);
        if (found != listClicks_.end() && mouse->button() == Qt::LeftButton && viewport &&
            viewport->rect().contains(mouse->position().toPoint())) {
            // Copy: a handler may bind further handlers.
            const auto handlers = found->second;
            for (const auto& handler : handlers) handler();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lumeno::ui
