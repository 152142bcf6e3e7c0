#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QBoxLayout;
class QVBoxLayout;

class QLabel;
class QTimer;

namespace ui {

// The window's tag: -1 keeps the drawn frame in system-frame mode, 1024
// restores to 1024 × 768 instead of 800 × 600. Read from the "tag" property.
int WindowTag(const QWidget* window);

// The common set-up every window runs when it is created: hints, centring on
// the owner, and in system-frame mode the hand-over to the system's frame
// (caption from the Title label, resizable when it has a "RezisePad", its
// frame buttons, the TitleBar hidden and the client area made smaller by the
// title bar's height). In drawn-frame mode the window becomes frameless.
void SetUpWindow(QWidget* window);

// The caption of a dialog: its title without leading spaces, "''" as "'".
QString WindowCaptionFromTitle(const QString& title);

// Fills the work area, or returns from it to 800 × 600 (1024 × 768 for tag
// 1024) centred; answers the new hint of the maximise button.
QString ToggleMaximized(QWidget* window, const QRect& workArea);

// The main window's font on recent systems: "Segoe UI" one point larger when
// installed, then the system's title font (or its interface font).
void AdaptWindowFont(QWidget* window);

// Whether the controls show their hints (true once the main window exists).
void SetHintsEnabled(bool enabled);
bool HintsEnabled();

// The drawn title bar: a gradient panel with the caption label "Title" and
// the image buttons "SysMiniBtn", "SysMaxiBtn" and "SysExitBtn" (or "Exit").
// Dragging it moves the window; ActiveTest repaints it in the active or the
// inactive colours every 10 ms.
class TitleBar : public QWidget {
    Q_OBJECT
public:
    enum Button { Minimize = 1, Maximize = 2, Close = 4, CloseAsExit = 8 };

    TitleBar(const QString& title, int buttons, QWidget* parent);

    QLabel* titleLabel() const { return m_title; }
    bool activeColors() const { return m_active; }
    // Called by the ActiveTest timer; public so tests can run it.
    void ActiveTestTimer();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    void layoutButtons();
    QLabel* m_title;
    QList<QWidget*> m_buttons;
    QTimer* m_timer;
    bool m_active = false;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QPoint m_pressWindowPos;
};

// Puts the drawn title bar at the top of a window's layout and takes its
// caption from the title (trimmed, as the system frame shows it).
TitleBar* AddTitleBar(QWidget* window, QBoxLayout* layout, const QString& title, int buttons);
// The outer layout of a framed window, without margins, with the title bar
// already in it; the window's controls go below.
QVBoxLayout* FramedLayout(QWidget* window, const QString& title, int buttons);

// The resize grip at the bottom right ("RezisePad" on dialogs, "Image1" on
// the main window). A new width or height is applied only when it is above
// the window's minimum.
class ResizeGrip : public QWidget {
    Q_OBJECT
public:
    ResizeGrip(const QString& name, int minimumWidth, int minimumHeight, QWidget* parent);
    void dragTo(const QPoint& globalPos);  // the mouse-move rule, for tests too
    void beginDrag(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    int m_minWidth;
    int m_minHeight;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QSize m_pressSize;
};

}  // namespace ui
