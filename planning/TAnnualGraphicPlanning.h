#pragma once

#include "planning/AnnualRenderer.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace planning {

// One object's year, months by weekday columns, two half-rows per month.
// Left button paints the current paint, right button erases; the owner saves
// on AfterChange. Draws into an offscreen bitmap that paintEvent copies.
class TAnnualGraphicPlanning : public QWidget, public AnnualRenderer {
    Q_OBJECT
public:
    explicit TAnnualGraphicPlanning(QWidget* parent = nullptr);

    bool ShowDayNumber() const { return m_showDayNumber; }
    void setShowDayNumber(bool show);
    quint32 BackGroundColor() const { return m_backgroundColor; }
    void setBackGroundColor(quint32 color);

    // Empties the cells and redraws everything.
    void ClearAndRedraw();
    // Rebuilds the layout when forced or when the year changed, else redraws
    // only the half-days; rebuilds the legend images in both cases.
    void Relayout(bool forced);

    const QImage& bitmap() const { return m_bitmap; }

    std::function<void(QObject*)> BeforeChange;
    std::function<void(QObject*)> AfterChange;
    // The control's mouse-move event, after the hover fields are updated.
    std::function<void(QObject*)> OnMouseMove;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    void paintAndDraw(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pos);

    QImage m_bitmap;
};

}  // namespace planning
