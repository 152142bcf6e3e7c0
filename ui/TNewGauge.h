#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace ui {

// Borderless 222 × 56 progress window that stays on top, centred on the
// screen: a text line (info) and a progress bar (Gauge).
class TNewGauge : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 222;
    static constexpr int kHeight = 56;

    explicit TNewGauge(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;
    void setMaximum(int maximum);
    void setPosition(int position);
    void advance();
    int position() const;
    int maximum() const;

    // Centres on the screen, shows, and repaints at once.
    void showCentered();
    void redraw();

private:
    QLabel* m_info;
    QProgressBar* m_bar;
};

}  // namespace ui
