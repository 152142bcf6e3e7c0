#include "ui/ThemeIcon.h"

#include <QPainter>
#include <QPixmap>

namespace ui {

QIcon ThemeIcon(const QString& name)
{
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    return QIcon::fromTheme(name);
}

QIcon PrinterIcon()
{
    QIcon icon = ThemeIcon(QStringLiteral("document-print"));
    if (!icon.isNull())
        return icon;
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);  // paper in
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(1, 6, 13, 6);  // body
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 7, 5);  // paper out
    p.end();
    return QIcon(pm);
}

}  // namespace ui
