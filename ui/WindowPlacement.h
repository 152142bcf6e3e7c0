#pragma once

#include "core/Settings.h"

#include <QRect>

class QWidget;

namespace ui {

struct Placement {
    QRect geometry;  // position and client-area size
    bool maximized = false;
};

// Where a window saved in settings goes on a screen whose work area is given.
Placement ComputeRestoredPlacement(const core::Settings& settings, const QRect& workArea);

// Records the window's position, client size and state; a maximised window
// keeps the normal position and size recorded before.
void SaveWindowPlacement(const QWidget* window, core::Settings& settings);

// Places the window from settings (see ComputeRestoredPlacement).
void RestoreWindowPlacement(QWidget* window, const core::Settings& settings, const QRect& workArea);

// The primary screen's work area (the desktop without panels).
QRect screenWorkArea();

}  // namespace ui
