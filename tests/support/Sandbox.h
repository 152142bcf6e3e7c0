#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// A test's own world: a temporary program directory (optionally filled with
// the built installation files), HOME, XDG folders and runtime directory, and
// fresh process-wide values. Restores the environment when it goes.
class Sandbox {
public:
    explicit Sandbox(bool withInstallation = true);
    ~Sandbox();

    QString root() const { return m_dir.path() + QLatin1Char('/'); }
    QString programDir() const { return root() + QStringLiteral("program/"); }
    QString home() const { return root() + QStringLiteral("home/"); }
    QString documents() const { return home() + QStringLiteral("Documents/"); }
    QString runtimeDir() const { return root() + QStringLiteral("runtime/"); }
    // Where the data root lands by default.
    QString defaultDataRoot() const
    {
        return documents() + QStringLiteral("Brindell Software Development/Quillmark Planning/");
    }

    // Copies the built installation (build/dist) into the program directory.
    void installProgramFiles();

    static void writeFile(const QString& path, const QByteArray& data);
    static QByteArray readFile(const QString& path);

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome, m_oldRuntime, m_oldConfig, m_oldData, m_oldOdbcIni;
};

}  // namespace testing_support
