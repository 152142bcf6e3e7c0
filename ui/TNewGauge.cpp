#include "ui/TNewGauge.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

namespace ui {

TNewGauge::TNewGauge(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TNewGauge"));
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);

    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("info"));
    m_info->setGeometry(8, 6, kWidth - 16, 18);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("Gauge"));
    m_bar->setGeometry(8, 30, kWidth - 16, 16);
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
}

void TNewGauge::setText(const QString& text)
{
    m_info->setText(text);
}

QString TNewGauge::text() const
{
    return m_info->text();
}

void TNewGauge::setMaximum(int maximum)
{
    m_bar->setRange(0, qMax(0, maximum));
}

void TNewGauge::setPosition(int position)
{
    m_bar->setValue(qBound(m_bar->minimum(), position, m_bar->maximum()));
}

void TNewGauge::advance()
{
    setPosition(m_bar->value() + 1);
}

int TNewGauge::position() const
{
    return m_bar->value();
}

int TNewGauge::maximum() const
{
    return m_bar->maximum();
}

void TNewGauge::showCentered()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect a = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    move(a.left() + (a.width() - kWidth) / 2, a.top() + (a.height() - kHeight) / 2);
    show();
    raise();
    redraw();
}

void TNewGauge::redraw()
{
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace ui
