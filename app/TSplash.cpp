#include "app/TSplash.h"

#include "core/Clock.h"
#include "core/Globals.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>

namespace app {

TSplash::TSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TSplash"));
    setFixedSize(420, 170);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, QColor(0x20, 0x20, 0x20));
    setPalette(pal);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image"));
    picture->setGeometry(0, 0, 175, 170);
    picture->setScaledContents(true);
    const QPixmap art(core::globals().programDir + QStringLiteral("Ressources/Splash.png"));
    if (!art.isNull())
        picture->setPixmap(art);
    else
        picture->setStyleSheet(QStringLiteral("background-color: #3398FF;"));

    auto* title = new QLabel(core::globals().productName, this);
    title->setObjectName(QStringLiteral("Lab_Title"));
    QFont big = title->font();
    big.setPointSize(14);
    big.setBold(true);
    title->setFont(big);
    title->setGeometry(188, 14, 226, 26);

    auto* notice = new QLabel(noticeText(core::today().year()), this);
    notice->setObjectName(QStringLiteral("Lab_Notice"));
    notice->setWordWrap(true);
    QFont small = notice->font();
    small.setPointSize(8);
    notice->setFont(small);
    notice->setGeometry(188, 44, 226, 48);

    auto* version = new QLabel(QStringLiteral("Version ") + core::globals().version, this);
    version->setObjectName(QStringLiteral("Lab_Version"));
    version->setGeometry(188, 96, 226, 18);

    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("info"));
    m_info->setFont(small);
    m_info->setGeometry(188, 126, 226, 16);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("barre"));
    m_bar->setGeometry(188, 148, 186, 6);
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 8);
    m_bar->setValue(0);

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
    }
}

QString TSplash::noticeText(int year)
{
    QString text = QStringLiteral("Copyright © 2008 Brindell Software Development.\nTous droits réservés.");
    text.replace(QStringLiteral("2008"), QString::number(year));
    return text;
}

void TSplash::setStatus(const QString& text)
{
    m_info->setText(text);
}

QString TSplash::status() const
{
    return m_info->text();
}

void TSplash::setMaximum(int maximum)
{
    m_bar->setMaximum(maximum);
}

void TSplash::setPosition(int position)
{
    m_bar->setValue(position);
}

int TSplash::position() const
{
    return m_bar->value();
}

int TSplash::maximum() const
{
    return m_bar->maximum();
}

}  // namespace app
