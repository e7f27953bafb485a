// Creates the Qt widget for one row of a control table, with its text, geometry, state and
// style applied.
#pragma once

#include <QWidget>

#include "ui/control_table.h"

namespace lumeno::ui {

QWidget* CreateControl(const ControlRow& spec, QWidget* parent);

}  // namespace lumeno::ui
