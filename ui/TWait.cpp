#include "ui/TWait.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace ui {

WaitGauge::WaitGauge(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kTrackWidth + 2, 12);
}

void WaitGauge::setMaximum(int maximum)
{
    m_maximum = maximum;
    update();
}

void WaitGauge::setPosition(int position)
{
    m_position = position;
    update();
}

int WaitGauge::filledWidth() const
{
    if (m_maximum <= 0 || m_position <= 0)
        return 0;
    const double w = static_cast<double>(m_position) / m_maximum * kTrackWidth;
    return qMin(kTrackWidth, static_cast<int>(w));
}

void WaitGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0xF0, 0xF0, 0xF0));
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const int w = filledWidth();
    if (w > 0)
        p.fillRect(QRect(1, 1, w, height() - 2), QColor(0x00, 0x50, 0xD2));
}

TWait::TWait(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TWait"));
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    m_task = new QLabel(this);
    m_task->setObjectName(QStringLiteral("Lab_Task"));
    QFont bold = m_task->font();
    bold.setBold(true);
    m_task->setFont(bold);
    m_task->setGeometry(12, 6, kWidth - 24, 18);

    m_message = new QLabel(QStringLiteral("Quelques instants, SVP ..."), this);
    m_message->setObjectName(QStringLiteral("Lab_Msg"));
    m_message->setGeometry(12, 25, kWidth - 24, 16);

    m_gauge = new WaitGauge(this);
    m_gauge->setObjectName(QStringLiteral("Gauge_Back"));
    m_gauge->move(12, 46);
    m_gauge->hide();
}

void TWait::setTask(const QString& text)
{
    m_task->setText(text);
}

void TWait::setMessage(const QString& text)
{
    m_message->setText(text);
}

void TWait::setGaugeVisible(bool visible)
{
    m_gauge->setVisible(visible);
}

void TWait::setMaximum(int maximum)
{
    m_gauge->setMaximum(maximum);
}

void TWait::setPosition(int position)
{
    m_gauge->setPosition(position);
}

void TWait::centerOn(const QWidget* owner)
{
    if (!owner) {
        centerOnWorkArea();
        return;
    }
    const QRect g = owner->frameGeometry();
    move(g.left() + (g.width() - kWidth) / 2, g.top() + (g.height() - kHeight) / 2);
}

void TWait::centerOnWorkArea()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect a = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    move(a.left() + (a.width() - kWidth) / 2, a.top() + (a.height() - kHeight) / 2);
}

void TWait::showAndPump()
{
    show();
    raise();
    repaint();
    pump();
}

void TWait::pump()
{
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace ui
