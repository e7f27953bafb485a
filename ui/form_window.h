// A fixed-size top-level window built from a WindowLayout: one widget per control row, found
// again by control name, with click and close notifications for the application to bind.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include <QWidget>

#include "ui/control_table.h"
#include "util/text_types.h"

namespace lumeno::ui {

class FormWindow : public QWidget {
public:
    explicit FormWindow(const WindowLayout& spec, QWidget* parent = nullptr);

    // The control's widget, nullptr for an unknown name.
    QWidget* Control(const Text& name) const;
    ControlKind KindOf(const QWidget* control) const;
    const std::vector<Text>& ControlNames() const { return names_; }

    // Runs `handler` on the window thread when the control is clicked: buttons and check boxes
    // after the click has toggled them, list views on a left click anywhere in the list area
    // (rows or the empty space below them). False for an unknown control or another kind.
    bool OnClicked(const Text& name, std::function<void()> handler);

    // Runs `handler` when the window is being closed, before it disappears.
    void OnClose(std::function<void()> handler);

    // Places the window (outer frame size `outer`) in the middle of its screen's work area.
    void CentreOnScreen(QSize outer);

    // Shows the window centred on its screen with the fixed frame: moving, minimising and
    // closing only. Each time the window manager puts its frame around the window, the client
    // area becomes `outer` less that frame, so the frame measures `outer` where the window
    // manager allows it; never smaller than the controls inside the layout's client area
    // need. Without a frame (no window manager) the layout's client size stays.
    void ShowFixed(QSize outer);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Build(const ControlRow& spec);
    // Fits the client area to the wanted outer size around a frame of these widths.
    void FitToFrame(QMargins frame);

    std::map<Text, QWidget*> controls_;
    std::map<const QWidget*, ControlKind> kinds_;
    std::vector<Text> names_;
    std::map<QObject*, std::vector<std::function<void()>>> listClicks_;  // by list viewport
    std::vector<std::function<void()>> closeHandlers_;
    QSize contentsExtent_;  // right and bottom edges of the controls inside the client area
    QSize wantedOuter_;     // set by ShowFixed
    bool fitted_ = false;
};

}  // namespace lumeno::ui
