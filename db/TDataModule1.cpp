#include "db/TDataModule1.h"

#include "core/Globals.h"
#include "db/DbError.h"

#include <QFile>

namespace db {

namespace {
TDataModule1* g_instance = nullptr;
}

bool DatabaseFileExists()
{
    const core::Globals& g = core::globals();
    return QFile::exists(g.dataDir + g.db.oledbFileName);
}

QString personImageFile(int id)
{
    return core::globals().dataDir + QStringLiteral("Images/People%1.jpg").arg(id);
}

QString projectImageFile(int id)
{
    return core::globals().dataDir + QStringLiteral("Images/Project%1.jpg").arg(id);
}

QString documentImageFile(int id)
{
    return core::globals().dataDir + QStringLiteral("Images/Doc%1.jpg").arg(id);
}

QString storedDocumentFile(int id)
{
    return core::globals().dataDir + QStringLiteral("Files/File%1.f").arg(id);
}

TDataModule1::TDataModule1()
    : MainFile(&ADOConnection1, QStringLiteral("MainFile")),
      People(&ADOConnection1, QStringLiteral("People")),
      Project(&ADOConnection1, QStringLiteral("Project")),
      ComboItems(&ADOConnection1, QStringLiteral("ComboItems")),
      CustomLabel(&ADOConnection1, QStringLiteral("CustomLabel")),
      DocumentImg(&ADOConnection1, QStringLiteral("DocumentImg")),
      DocumentFile(&ADOConnection1, QStringLiteral("DocumentFile")),
      Backup(&ADOConnection1, QStringLiteral("Backup")),
      Event(&ADOConnection1, QStringLiteral("Event")),
      Query(&ADOConnection1, QStringLiteral("Query"))
{
    setUpQueries();
    attachRules();
    g_instance = this;
}

TDataModule1::~TDataModule1()
{
    if (g_instance == this)
        g_instance = nullptr;
    ADOConnection1.close();
}

TDataModule1* TDataModule1::instance()
{
    return g_instance;
}

void TDataModule1::setUpQueries()
{
    MainFile.setSQL(
        {QStringLiteral("SELECT ID, FullName, LoginName, LoginPassword, Administrator, Image, PlanningMode, "
                        "Comment as [Color], Custom00144243 as [Size] FROM PROFILES")});
    People.setSQL({QStringLiteral("SELECT *"), QStringLiteral("FROM PEOPLE"), QStringLiteral("WHERE ID_FILE=-1"),
                   QStringLiteral("ORDER BY Name")});
    Project.setSQL({QStringLiteral("SELECT *"), QStringLiteral("FROM PROJECT"), QStringLiteral("WHERE ID_FILE=-1"),
                    QStringLiteral("ORDER BY Title")});
    ComboItems.setSQL({QStringLiteral("SELECT * FROM COMBOITEMS")});
    CustomLabel.setSQL({QStringLiteral("SELECT * FROM CUSTOMLAB"), QStringLiteral("WHERE Id_File=-1")});
    DocumentImg.setSQL({QStringLiteral("SELECT * FROM DOCUMENTIMG"), QStringLiteral("WHERE ID_REF=-1")});
    DocumentFile.setSQL({QStringLiteral("SELECT * FROM DOCUMENTFILE"), QStringLiteral("WHERE Id_Ref=-1")});
    Backup.setSQL({QStringLiteral("SELECT * FROM BACKUP")});
    Event.setSQL({QStringLiteral("SELECT * FROM EVENT"), QStringLiteral("WHERE ID_REF=-1"),
                  QStringLiteral("ORDER BY DATE_EVENT")});
}

void TDataModule1::attachRules()
{
    People.OnNewRecord = [this](Dataset& ds) { personOrProjectDefaults(ds); };
    Project.OnNewRecord = [this](Dataset& ds) { personOrProjectDefaults(ds); };
    People.BeforeDelete = [this](Dataset& ds) {
        cascadeObject(ds, QStringLiteral("Images/People"), QStringLiteral("PLANNING.Id_People"), kOwnerPerson);
    };
    Project.BeforeDelete = [this](Dataset& ds) {
        cascadeObject(ds, QStringLiteral("Images/Project"), QStringLiteral("PLANNING.Id_Project"), kOwnerProject);
    };
    DocumentImg.BeforeDelete = [this](Dataset& ds) {
        removeDataFileAfterCommit(
            QStringLiteral("Images/Doc%1.jpg").arg(ds.FieldByName(QStringLiteral("Id")).AsInteger()));
    };
    DocumentFile.BeforeDelete = [this](Dataset& ds) {
        removeDataFileAfterCommit(
            QStringLiteral("Files/File%1.f").arg(ds.FieldByName(QStringLiteral("Id")).AsInteger()));
    };
    MainFile.BeforeDelete = [this](Dataset& ds) { cascadeDossier(ds); };
}

QString TDataModule1::OpenMainConnection()
{
    if (!DatabaseFileExists())
        return {};
    const core::Globals& g = core::globals();
    ADOConnection1.close();
    const QString provider = g.db.provider.trimmed().toUpper();
    if (provider == QStringLiteral("ODBC")) {
        QString text = QString::fromLatin1(kOdbcConnectionTemplate);
        text.replace(QStringLiteral("%DATASOURCE%"), g.db.odbcName);
        ADOConnection1.setConnectionString(text);
    } else if (provider == QStringLiteral("OLEDB")) {
        QString text = QString::fromLatin1(kOleDbConnectionTemplate);
        text.replace(QStringLiteral("%PROVIDER%"), g.db.oledbProvider);
        text.replace(QStringLiteral("%DATASOURCE%"), g.dataDir + g.db.oledbFileName);
        ADOConnection1.setConnectionString(text);
    }
    try {
        ADOConnection1.open();
    } catch (const DbError& e) {
        return e.message();
    }
    return {};
}

void TDataModule1::personOrProjectDefaults(Dataset& ds)
{
    ds.FieldByName(QStringLiteral("Id_File")).SetValue(currentDossier());
    ds.FieldByName(QStringLiteral("PenColor")).SetValue(255);
    ds.FieldByName(QStringLiteral("BrushColor")).SetValue(255);
    ds.FieldByName(QStringLiteral("BrushStyle")).SetValue(0);
    // Stored at once so that the key is known while the dialog is open.
    ds.Post();
    ds.Edit();
}

void TDataModule1::removeDataFileAfterCommit(const QString& relativePath)
{
    const QString path = core::globals().dataDir + relativePath;
    ADOConnection1.runAfterCommit([path] { QFile::remove(path); });
}

void TDataModule1::cascadeObject(Dataset& ds, const QString& imagePrefix, const QString& planningColumn, int kind)
{
    const int id = ds.FieldByName(QStringLiteral("Id")).AsInteger();
    removeDataFileAfterCommit(imagePrefix + QString::number(id) + QStringLiteral(".jpg"));
    ExecSql(Query,
            QStringLiteral("DELETE FROM PLANNING WHERE ") + planningColumn + QLatin1Char('=') + QString::number(id));
    DeleteDocumentFiles(id, kind);
    DeleteDocumentImages(id, kind);
}

void TDataModule1::DeleteDocumentFiles(int owner, int kind)
{
    DocumentFile.Close();
    ReplaceWhereLine(DocumentFile.SQL(),
                     QStringLiteral("WHERE DOCUMENTFILE.DoType=%1 AND Id_Ref=%2").arg(kind).arg(owner));
    DocumentFile.Open();
    while (!IsEmpty(DocumentFile))
        DocumentFile.Delete();
    DocumentFile.Close();
}

void TDataModule1::DeleteDocumentImages(int owner, int kind)
{
    DocumentImg.Close();
    ReplaceWhereLine(DocumentImg.SQL(),
                     QStringLiteral("WHERE DOCUMENTIMG.DoType=%1 AND Id_Ref=%2").arg(kind).arg(owner));
    DocumentImg.Open();
    while (!IsEmpty(DocumentImg))
        DocumentImg.Delete();
    DocumentImg.Close();
}

void TDataModule1::cascadeDossier(Dataset& ds)
{
    const QString n = QString::number(ds.FieldByName(QStringLiteral("ID")).AsInteger());
    for (Dataset* objects : {&People, &Project}) {
        objects->Open();
        while (!IsEmpty(*objects))
            objects->Delete();
        objects->Close();
    }
    static const char* const kTables[][2] = {
        {"CUSTOMLAB", "Id_File"},      {"COMBOITEMS", "Id_File"},     {"OBJECT_VAL_BIT", "USERID"},
        {"OBJECT_VAL_INT", "USERID"},  {"OBJECT_VAL_MEMO", "USERID"}, {"OBJECT_VAL_OLE", "USERID"},
        {"OBJECT_VAL_REAL", "USERID"}, {"OBJECT_VAL_STR", "USERID"},
    };
    for (const auto& t : kTables) {
        const QString table = QString::fromLatin1(t[0]);
        ExecSql(Query,
                QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE ") + table + QLatin1Char('.')
                    + QString::fromLatin1(t[1]) + QLatin1Char('=') + n);
    }
}

}  // namespace db
