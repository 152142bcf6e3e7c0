#include "app/FrenchLocale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>

namespace app {

namespace {

// Texts of Qt 6 that its French catalogues of this release miss (they moved
// to new contexts) or get wrong; the Qt catalogues answer everything else.
// Installed after them, so that it is asked first.
class QtGapsTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        struct Text {
            const char* context;
            const char* source;
            const char* french;
        };
        static const Text kTexts[] = {
            {"QAbstractFileIconProvider", "Folder", "Dossier"},
            {"QAbstractFileIconProvider", "Drive", "Lecteur"},
            {"QAbstractFileIconProvider", "File", "Fichier"},
            {"QAbstractFileIconProvider", "%1 File", "Fichier %1"},
            {"QAbstractFileIconProvider", "File Folder", "Dossier de fichiers"},
            {"QAbstractFileIconProvider", "Shortcut", "Raccourci"},
            {"QAbstractFileIconProvider", "Alias", "Alias"},
            // The shipped text lacks the full stop between its two sentences.
            {"QFileDialog", "%1 already exists.\nDo you want to replace it?",
             "Le fichier %1 existe déjà.\nVoulez-vous l'écraser ?"},
        };
        for (const Text& t : kTexts) {
            if (std::strcmp(context, t.context) == 0 && std::strcmp(source, t.source) == 0)
                return QString::fromUtf8(t.french);
        }
        return {};
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

void PrepareFrenchDates()
{
    // LC_ALL would override LC_TIME: hand its value to each category instead.
    const QByteArray all = qgetenv("LC_ALL");
    if (!all.isEmpty()) {
        for (const char* category :
             {"LANG", "LC_CTYPE", "LC_NUMERIC", "LC_COLLATE", "LC_MONETARY", "LC_MESSAGES", "LC_PAPER", "LC_NAME",
              "LC_ADDRESS", "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION"})
            qputenv(category, all);
        qunsetenv("LC_ALL");
    }
    qputenv("LC_TIME", "fr_FR.UTF-8");
}

void InstallFrenchTranslations()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // "qt" gathers the catalogues of every Qt module installed.
    static QTranslator qt;
    if (qt.load(QLocale(QLocale::French), QStringLiteral("qt"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
    static QtGapsTranslator gaps;
    QCoreApplication::installTranslator(&gaps);
}

}  // namespace app
