#include "core/StringUtils.h"

#include <QCollator>
#include <QLocale>

namespace core {

QString FoldAccents(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        switch (c.unicode()) {
        case 0x00E9:
        case 0x00E8:
        case 0x00EA:
        case 0x00EB: c = QLatin1Char('e'); break;
        case 0x00E0:
        case 0x00E2:
        case 0x00E4: c = QLatin1Char('a'); break;
        case 0x00F9:
        case 0x00FB:
        case 0x00FC: c = QLatin1Char('u'); break;
        case 0x00F4:
        case 0x00F6: c = QLatin1Char('o'); break;
        case 0x00EE:
        case 0x00EF: c = QLatin1Char('i'); break;
        case 0x00E7: c = QLatin1Char('c'); break;
        default: break;
        }
    }
    return out;
}

QString IncludeTrailingBackslash(const QString& path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QString normalizeSeparators(const QString& path)
{
    QString out = path;
    out.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return out;
}

int compareFrench(QStringView a, QStringView b)
{
    // Case differences rank below letters and accents, so "É" sorts with "E".
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::French, QLocale::France)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a, b);
}

QString WebAddress(const QString& text)
{
    for (const char* scheme : {"http://", "https://", "ftp://"}) {
        if (text.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return text;
    }
    return QStringLiteral("http://") + text;
}

}  // namespace core
