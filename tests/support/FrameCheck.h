#pragma once

#include <QSize>
#include <QString>

class QWidget;

namespace testing_support {

// Checks a shown framed window against its design's client size: with the
// drawn frame the title bar lies inside that size; with the system's frame
// the window loses exactly the bar. Every visible control lies inside the
// window and the layout needs no more room than the window has.
// PLANNING_SHOTS_DIR=<dir> also saves the window's picture there as
// <name>-drawn.png or <name>-system.png.
void ExpectFramedWindow(QWidget* window, const QSize& design, bool systemFrame, const QString& name);

}  // namespace testing_support
