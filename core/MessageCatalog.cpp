#include "core/MessageCatalog.h"

namespace core {

QString LookupText(const QString& section, const QString& key, const QString& defaultText)
{
    // No file of translated texts is read: section and key only name the text.
    Q_UNUSED(section);
    Q_UNUSED(key);
    QString text = defaultText;
    text.replace(QStringLiteral("{CR}"), QStringLiteral("\r"));
    return text;
}

QString LookupText(const CatalogText& text)
{
    return LookupText(QString::fromUtf8(text.section), QString::fromUtf8(text.key),
                      QString::fromUtf8(text.defaultText));
}

}  // namespace core
