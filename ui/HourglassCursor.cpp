#include "ui/HourglassCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace ui {

HourglassCursor::HourglassCursor()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

HourglassCursor::~HourglassCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace ui
