#pragma once

#include <QWidget>

class QLabel;

namespace ui {

// The bar of the wait window: a sunken track whose filled part is
// truncate(position / maximum × 251) pixels wide.
class WaitGauge : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTrackWidth = 251;

    explicit WaitGauge(QWidget* parent = nullptr);
    void setMaximum(int maximum);
    void setPosition(int position);
    int maximum() const { return m_maximum; }
    int position() const { return m_position; }
    int filledWidth() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int m_maximum = 100;
    int m_position = 0;
};

// Borderless 277 × 65 window shown during long work: a bold task line
// (Lab_Task), a message line (Lab_Msg) and an optional bar (Gauge_Back).
// The caller owns it and frees it in every case when done.
class TWait : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 277;
    static constexpr int kHeight = 65;

    explicit TWait(QWidget* parent = nullptr);

    void setTask(const QString& text);
    void setMessage(const QString& text);
    void setGaugeVisible(bool visible);
    void setMaximum(int maximum);
    void setPosition(int position);

    // left = owner left + truncate((owner width − wait width) / 2), top likewise.
    void centerOn(const QWidget* owner);
    void centerOnWorkArea();

    // Shows (when asked) and lets pending window messages run.
    void showAndPump();
    static void pump();

    QLabel* taskLabel() const { return m_task; }
    QLabel* messageLabel() const { return m_message; }
    WaitGauge* gauge() const { return m_gauge; }

private:
    QLabel* m_task;
    QLabel* m_message;
    WaitGauge* m_gauge;
};

}  // namespace ui
