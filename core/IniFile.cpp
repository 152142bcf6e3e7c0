#include "core/IniFile.h"

#include "core/SaveFile.h"
#include "core/TextFile.h"

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <QFile>

namespace core {

struct IniFile::Impl {
    CSimpleIniA ini{true, false, false};
};

IniFile::IniFile() : d(std::make_unique<Impl>())
{
    d->ini.SetSpaces(false);
}

IniFile::~IniFile() = default;

bool IniFile::load(const QString& path)
{
    d->ini.Reset();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    QByteArray utf8;
    // An editor that saved the file as UTF-8 marks it so; without the mark
    // the first section's name would start with three stray characters.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        utf8 = bytes.mid(3);
    else
        utf8 = decodeWindows1252(bytes).toUtf8();
    return d->ini.LoadData(utf8.constData(), static_cast<size_t>(utf8.size())) >= 0;
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    return d->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr) != nullptr;
}

QString IniFile::value(const QString& section, const QString& key, const QString& def) const
{
    const char* v = d->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
    return v ? QString::fromUtf8(v) : def;
}

int IniFile::intValue(const QString& section, const QString& key, int def) const
{
    bool ok = false;
    const int v = value(section, key).trimmed().toInt(&ok, 10);
    return ok ? v : def;
}

bool IniFile::boolValue(const QString& section, const QString& key, bool def) const
{
    bool ok = false;
    const qlonglong v = value(section, key).trimmed().toLongLong(&ok, 10);
    return ok ? v != 0 : def;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    d->ini.SetValue(section.toUtf8().constData(), key.toUtf8().constData(), value.toUtf8().constData());
}

void IniFile::setInt(const QString& section, const QString& key, int value)
{
    setValue(section, key, QString::number(value));
}

void IniFile::setBool(const QString& section, const QString& key, bool value)
{
    setValue(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString IniFile::toText() const
{
    // Sections and keys in the order they were read or set.
    CSimpleIniA::TNamesDepend sections;
    d->ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    QString out;
    bool first = true;
    for (const auto& section : sections) {
        if (!first)
            out += QStringLiteral("\r\n");
        first = false;
        out += QLatin1Char('[') + QString::fromUtf8(section.pItem) + QStringLiteral("]\r\n");
        CSimpleIniA::TNamesDepend keys;
        d->ini.GetAllKeys(section.pItem, keys);
        keys.sort(CSimpleIniA::Entry::LoadOrder());
        for (const auto& key : keys) {
            const char* v = d->ini.GetValue(section.pItem, key.pItem, "");
            out += QString::fromUtf8(key.pItem) + QLatin1Char('=') + QString::fromUtf8(v) + QStringLiteral("\r\n");
        }
    }
    return out;
}

bool IniFile::save(const QString& path, QString* error) const
{
    return saveFileAtomically(path, encodeWindows1252(toText()), error);
}

}  // namespace core
