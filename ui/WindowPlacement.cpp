#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ui {

Placement ComputeRestoredPlacement(const core::Settings& s, const QRect& workArea)
{
    // Edges as the design measures them: right and bottom are exclusive.
    const int waRight = workArea.x() + workArea.width();
    const int waBottom = workArea.y() + workArea.height();

    Placement p;
    int left, top, width, height;
    if (s.width != -1 && s.left + s.width <= waRight && s.top + s.height <= waBottom) {
        left = s.left;
        top = s.top;
        width = s.width;
        height = s.height;
    } else {
        width = 800;
        height = 600;
        left = (waRight - width) / 2;
        top = (waBottom - height) / 2;
    }
    if (left < 0) {
        left = (waRight - width) / 2;
        if (left < 0)
            left = 0;
    }
    if (top < 0) {
        top = (waBottom - height) / 2;
        if (top < 0)
            top = 0;
    }
    p.geometry = QRect(left, top, width, height);
    p.maximized = s.state == QStringLiteral("wsMaximized");
    return p;
}

void SaveWindowPlacement(const QWidget* window, core::Settings& s)
{
    const Qt::WindowStates st = window->windowState();
    if (!(st & Qt::WindowMaximized)) {
        // pos() is the frame's position, size() the client area's.
        s.left = window->x();
        s.top = window->y();
        s.width = window->width();
        s.height = window->height();
    }
    if (st & Qt::WindowMinimized)
        s.state = QStringLiteral("wsMinimized");
    else if (st & Qt::WindowMaximized)
        s.state = QStringLiteral("wsMaximized");
    else
        s.state = QStringLiteral("wsNormal");
}

void RestoreWindowPlacement(QWidget* window, const core::Settings& s, const QRect& workArea)
{
    const Placement p = ComputeRestoredPlacement(s, workArea);
    window->setWindowState(window->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
    window->move(p.geometry.topLeft());
    window->resize(p.geometry.size());
    if (p.maximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

QRect screenWorkArea()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace ui
