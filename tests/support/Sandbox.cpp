#include "Sandbox.h"

#include "core/Clock.h"
#include "core/Globals.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace testing_support {

Sandbox::Sandbox(bool withInstallation)
{
    m_oldHome = qgetenv("HOME");
    m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    m_oldData = qgetenv("XDG_DATA_HOME");
    m_oldOdbcIni = qgetenv("ODBCINI");
    QDir().mkpath(programDir());
    QDir().mkpath(documents());
    QDir().mkpath(runtimeDir());
    QDir().mkpath(home() + QStringLiteral(".config"));
    QFile::setPermissions(runtimeDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", QFile::encodeName(QDir(home()).absolutePath()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(QDir(runtimeDir()).absolutePath()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home() + QStringLiteral(".config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home() + QStringLiteral(".local/share")));
    qputenv("ODBCINI", QFile::encodeName(home() + QStringLiteral(".odbc.ini")));
    core::resetGlobals();
    core::globals().executableName = QStringLiteral("planning");
    core::setClock({});
    if (withInstallation)
        installProgramFiles();
}

Sandbox::~Sandbox()
{
    auto restore = [](const char* name, const QByteArray& v) {
        if (v.isNull())
            qunsetenv(name);
        else
            qputenv(name, v);
    };
    restore("HOME", m_oldHome);
    restore("XDG_RUNTIME_DIR", m_oldRuntime);
    restore("XDG_CONFIG_HOME", m_oldConfig);
    restore("XDG_DATA_HOME", m_oldData);
    restore("ODBCINI", m_oldOdbcIni);
    core::resetGlobals();
    core::setClock({});
}

void Sandbox::installProgramFiles()
{
    const QString dist = QStringLiteral(PLANNING_DIST_DIR);
    QDirIterator it(dist, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString rel = QDir(dist).relativeFilePath(from);
        if (rel == QStringLiteral("planning"))
            continue;
        const QString to = programDir() + rel;
        QDir().mkpath(QFileInfo(to).path());
        QFile::remove(to);
        QFile::copy(from, to);
    }
    for (const char* d : {"Ressources/DB/Data/Images", "Ressources/DB/Data/Files"})
        QDir().mkpath(programDir() + QString::fromLatin1(d));
}

void Sandbox::writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(data);
}

QByteArray Sandbox::readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

}  // namespace testing_support
