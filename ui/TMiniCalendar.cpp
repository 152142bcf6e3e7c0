#include "ui/TMiniCalendar.h"

#include "core/Clock.h"
#include "core/ColorRef.h"

#include <QPainter>

namespace ui {

namespace {

QColor fromRef(quint32 c)
{
    return QColor::fromRgb(core::RgbFromColorRef(c));
}

// The leaf: a page with a red binding, on the transparent grey (192, 192, 192).
QImage drawLeaf()
{
    QImage img(30, 43, QImage::Format_RGB32);
    img.fill(QColor(192, 192, 192));
    QPainter p(&img);
    p.setPen(QColor(120, 120, 120));
    p.setBrush(Qt::white);
    p.drawRect(1, 3, 27, 38);
    p.fillRect(2, 4, 26, 6, QColor(200, 40, 40));
    p.setPen(QColor(60, 60, 60));
    for (int x : {7, 14, 21})
        p.drawLine(x, 1, x, 6);
    return img;
}

}  // namespace

TMiniCalendar::TMiniCalendar(QWidget* parent) : QWidget(parent), m_background(drawLeaf())
{
    setObjectName(QStringLiteral("MiniCalendar"));
    resize(29, 43);
}

void TMiniCalendar::setDayFontName(const QString& name)
{
    m_dayFont = name;
    update();
}

void TMiniCalendar::setDayFontColor(quint32 color)
{
    m_dayColor = color;
    update();
}

void TMiniCalendar::setMonthFontName(const QString& name)
{
    m_monthFont = name;
    update();
}

void TMiniCalendar::setMonthFontColor(quint32 color)
{
    m_monthColor = color;
    update();
}

void TMiniCalendar::setLanguage(Language language)
{
    m_language = language;
    update();
}

QString TMiniCalendar::DayText(const QDate& date)
{
    return QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString TMiniCalendar::MonthText(const QDate& date) const
{
    static const char16_t* const kFrench[] = {u"Janvier",   u"Février", u"Mars",     u"Avril",
                                              u"Mai",       u"Juin",    u"Juillet",  u"Août",
                                              u"Septembre", u"Octobre", u"Novembre", u"Décembre"};
    static const char* const kEnglish[] = {"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
    const int m = date.month() - 1;
    const QString name =
        m_language == Language::French ? QString::fromUtf16(kFrench[m]) : QString::fromLatin1(kEnglish[m]);
    return name.left(3);
}

void TMiniCalendar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QImage leaf = m_background.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < leaf.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(leaf.scanLine(y));
        for (int x = 0; x < leaf.width(); ++x)
            if ((line[x] & 0xFFFFFF) == 0xC0C0C0)
                line[x] = 0;
    }
    p.drawImage(0, 0, leaf);
    const int h = m_background.height();
    const int w = m_background.width();
    const QDate today = core::today();
    const int daySize = static_cast<int>(h * 0.38);
    QFont dayFont(m_dayFont);
    dayFont.setPointSize(qMax(1, daySize));
    dayFont.setBold(true);
    p.setFont(dayFont);
    p.setPen(fromRef(m_dayColor));
    p.drawText(QRect(w / 2 - 50, static_cast<int>(h * 0.16), 100, 100), Qt::AlignHCenter | Qt::AlignTop,
               DayText(today));
    QFont monthFont(m_monthFont);
    monthFont.setPointSize(qMax(1, daySize / 2));
    p.setFont(monthFont);
    p.setPen(fromRef(m_monthColor));
    p.drawText(QRect(w / 2 - 50, h - 2 * (daySize / 2), 100, 100), Qt::AlignHCenter | Qt::AlignTop, MonthText(today));
}

}  // namespace ui
