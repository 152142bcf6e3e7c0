#include "db/UpdateScript.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "core/MessageCatalog.h"
#include "core/ScriptFeedback.h"
#include "db/Compaction.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/ScriptConversions.h"
#include "db/ScriptLine.h"
#include "db/UpdateLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <array>

namespace db {

namespace {

class NoFeedback final : public core::ScriptFeedback {
public:
    bool confirm(const QString&) override { return false; }
    void beginProgress(int, int) override { }
    void setProgressText(const QString&) override { }
    void advanceProgress() override { }
    void endProgress() override { }
    void setStatus(const QString&) override { }
    void pump() override { }
};

// Closes the progress window however the run ends.
struct ProgressWindow {
    core::ScriptFeedback& feedback;
    ProgressWindow(core::ScriptFeedback& f, int maximum) : feedback(f) { feedback.beginProgress(maximum, 1); }
    ~ProgressWindow() { feedback.endProgress(); }
};

// Type names of NotFieldType and their codes; a name not listed stands for 0.
constexpr std::array<const char*, 36> kTypeNames{
    "ftUnknown",    "ftString",     "ftSmallint", "ftInteger",     "ftWord",      "ftBoolean",
    "ftFloat",      "ftCurrency",   "ftBCD",      "ftDate",        "ftTime",      "ftDateTime",
    "ftBytes",      "ftVarBytes",   "ftAutoInc",  "ftBlob",        "ftMemo",      "ftGraphic",
    "ftFmtMemo",    "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor",    "ftFixedChar",
    "ftWideString", "ftLargeInt",   "ftADT",      "ftArray",       "ftReference", "ftDataSet",
    "ftOraBlob",    "ftOraClob",    "ftVariant",  "ftInterface",   "ftIDispatch", "ftGuid"};
constexpr int kWideMemoCode = 39;

int typeCodeOfName(const QString& name)
{
    if (name == QStringLiteral("ftWideMemo"))
        return kWideMemoCode;
    for (int i = 0; i < static_cast<int>(kTypeNames.size()); ++i) {
        if (name == QLatin1String(kTypeNames[i]))
            return i;
    }
    return 0;
}

// The code of the column kind the data layer reports.
int typeCodeOf(FieldType type)
{
    switch (type) {
    case FieldType::Unknown: return 0;
    case FieldType::Smallint: return 2;
    case FieldType::Integer: return 3;
    case FieldType::Boolean: return 5;
    case FieldType::Float: return 6;
    case FieldType::DateTime: return 11;
    case FieldType::AutoInc: return 14;
    case FieldType::Blob: return 15;
    case FieldType::WideString: return 24;
    case FieldType::WideMemo: return kWideMemoCode;
    }
    return 0;
}

bool tableExists(Connection& c, const QString& table)
{
    QSqlQuery q(c.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' "
                               "ESCAPE '\\'")))
        throw DbError(sqlErrorText(q.lastError()));
    const QString wanted = table.toUpper();
    while (q.next()) {
        if (q.value(0).toString().toUpper() == wanted)
            return true;
    }
    return false;
}

bool fieldExists(Connection& c, const QString& table, const QString& field)
{
    QSqlQuery q(c.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT * FROM ") + table))
        throw DbError(sqlErrorText(q.lastError()));
    const QSqlRecord record = q.record();
    const QString wanted = field.toUpper();
    for (int i = 0; i < record.count(); ++i) {
        if (record.fieldName(i).toUpper() == wanted)
            return true;
    }
    return false;
}

bool tableEmpty(Connection& c, const QString& table)
{
    QSqlQuery q(c.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT id FROM ") + table))
        throw DbError(sqlErrorText(q.lastError()));
    return !q.next();
}

int fieldTypeCode(Connection& c, const QString& table, const QString& field)
{
    if (!fieldExists(c, table, field))
        throw DbError(QStringLiteral("Le champ \"%1\" n'existe pas dans la table \"%2\".").arg(field, table));
    c.forgetTableInfo();
    const TableInfo* info = c.tableInfo(table);
    const ColumnInfo* column = info ? info->find(field) : nullptr;
    return column ? typeCodeOf(column->type) : 0;
}

// Table and column names of the tests go into SQL as they are: only plain
// identifiers are taken, so that a line can never run a second statement.
void checkIdentifier(const QString& name, const QString& line)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!plain.match(name).hasMatch())
        throw DbError(QStringLiteral("Le nom « %1 » de la ligne « %2 » n'est pas un nom de table ou de champ valide.")
                          .arg(name, line));
}

// True when the block under the test is to run.
bool blockRuns(Connection& c, const ScriptLine& t, const QString& text)
{
    checkIdentifier(t.table, text);
    if (t.command == ScriptCommand::NotFieldType || t.command == ScriptCommand::NotFieldExists
        || t.command == ScriptCommand::FieldExists)
        checkIdentifier(t.field, text);
    switch (t.command) {
    case ScriptCommand::NotFieldType: return fieldTypeCode(c, t.table, t.field) != typeCodeOfName(t.type);
    case ScriptCommand::NotFieldExists: return !fieldExists(c, t.table, t.field);
    case ScriptCommand::FieldExists: return fieldExists(c, t.table, t.field);
    case ScriptCommand::NotTableExists: return !tableExists(c, t.table);
    case ScriptCommand::TableExists: return tableExists(c, t.table);
    case ScriptCommand::TableEmpty: return tableEmpty(c, t.table);
    default: return true;
    }
}

bool runConversion(Connection& c, const ScriptLine& line)
{
    switch (line.command) {
    case ScriptCommand::ConvertStatScript: return ConvertStatScript(c, line);
    case ScriptCommand::ReplaceStringInStatScript: return ReplaceStringInStatScript(c, line);
    case ScriptCommand::ConvertQueryScript: return ConvertQueryScript(c, line);
    case ScriptCommand::ReplaceStringInQueryScript: return ReplaceStringInQueryScript(c, line);
    case ScriptCommand::ExtractImageToJpeg: return ExtractImageToJpeg(c, line);
    case ScriptCommand::ExtractJpegImage: return ExtractJpegImage(c, line);
    case ScriptCommand::ResizeBitmapInDataBase: return ResizeBitmapInDataBase(c, line);
    case ScriptCommand::ConvertBitmapToJpegInDataBase: return ConvertBitmapToJpegInDataBase(c, line);
    default: return true;
    }
}

// Bytes that no text in Windows-1252 holds: NUL (a UTF-16 or UTF-32 file)
// and the five codes the character set leaves undefined.
bool isWindows1252Text(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0 || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
            return false;
    }
    return true;
}

QString withResult(const QString& text, const QString& error)
{
    if (error.isEmpty())
        return text + QStringLiteral(" (Ok)");
    return text + QStringLiteral(" (error : ") + error + QLatin1Char(')');
}

bool sqlExe(Connection& c, const QString& statement)
{
    QString error;
    try {
        c.exec(statement);
    } catch (const DbError& e) {
        error = e.message();
    }
    AppendLog(withResult(QStringLiteral("SQL:") + statement, error));
    return error.isEmpty();
}

// The file the connection works on.
QString connectionFile(const Connection& c)
{
    return c.isOdbc() ? core::databaseFilePath() : c.connectionValue(QStringLiteral("Data Source"));
}

void reopen(Connection& c)
{
    c.open();
}

bool compactDataBase(Connection& c, const QString& fileName)
{
    const QString path = core::globals().dataDir + QStringLiteral("Access/") + fileName;
    QString error;
    const QFileInfo target(path);
    if (!target.isFile()) {
        error = QStringLiteral("Le fichier de base de données \"%1\" est introuvable.").arg(path);
    } else if (target.canonicalFilePath() != QFileInfo(connectionFile(c)).canonicalFilePath()) {
        // Another connection may hold that file open: it is left alone.
        error = QStringLiteral("Le fichier \"%1\" n'est pas la base de données mise à jour.").arg(path);
    } else {
        c.close();
        try {
            CompactInPlace(path);
        } catch (const DbError& e) {
            error = e.message();
        }
        reopen(c);
    }
    AppendLog(withResult(core::LookupText(core::msg::LibBdMaj_String6), error));
    return error.isEmpty();
}

void makeSafetyCopy(Connection& c, core::ScriptFeedback& feedback)
{
    const core::Globals& g = core::globals();
    QDir().mkpath(g.dataRoot + QStringLiteral("Backup/Maj"));
    feedback.setProgressText(core::LookupText(core::msg::LibBdMaj_String1));
    c.close();
    feedback.setProgressText(g.dataDir + g.databaseFile);
    try {
        CompactDatabaseFile(core::databaseFilePath(), SafetyCopyPath(g.databaseFile, core::now()));
    } catch (...) {
        reopen(c);
        throw;
    }
    reopen(c);
}

}  // namespace

QString SafetyCopyPath(const QString& databaseFile, const QDateTime& dateTime)
{
    QString name = QFileInfo(databaseFile).fileName();
    name.chop(4);
    return core::globals().dataRoot + QStringLiteral("Backup/Maj/") + name.toUpper()
        + QStringLiteral("_ACCESS_BACKUP_MAJ_") + dateTime.toString(QStringLiteral("ddMMyyyyhhmmss"))
        + QStringLiteral(".bkp");
}

int RunScript(Connection& connection, const QString& directory, const QString& fileName, bool askAndDelete,
              core::ScriptFeedback* feedbackOrNull)
{
    NoFeedback none;
    core::ScriptFeedback& feedback = feedbackOrNull ? *feedbackOrNull : none;
    const QString path = directory + fileName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(
            QStringLiteral("Impossible de lire le script de mise à jour \"%1\" : %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    file.close();
    if (!isWindows1252Text(bytes))
        throw DbError(QStringLiteral("Le script de mise à jour « %1 » n'est pas un texte lisible (il doit être écrit "
                                     "en Windows-1252, pas en UTF-16) : il n'a pas été exécuté. Remplacez-le par le "
                                     "script fourni avec le logiciel.")
                          .arg(path));
    const QStringList lines = ScriptLines(bytes);
    int failed = 0;

    {
        ProgressWindow progress(feedback, qMax(0, static_cast<int>(lines.size()) - 1));
        if (askAndDelete
            && feedback.confirm(
                QStringLiteral("Souhaitez-vous effectuer une sauvegarde de la base de données avant la mise à jour ?")))
            makeSafetyCopy(connection, feedback);

        feedback.setProgressText(core::LookupText(core::msg::LibBdMaj_String2));
        feedback.setStatus(core::LookupText(core::msg::LibBdMaj_String3));
        feedback.pump();

        const qsizetype count = lines.size();
        for (qsizetype i = 0; i < count; ++i) {
            feedback.advanceProgress();
            const ScriptLine line = ParseScriptLine(lines.at(i));
            if (line.command == ScriptCommand::None)
                continue;
            if (line.command == ScriptCommand::Comment) {
                AppendLog(line.text);
            } else if (IsTest(line.command)) {
                feedback.setStatus(core::LookupText(core::msg::LibBdMaj_String4));
                feedback.pump();
                bool runs = true;
                try {
                    runs = blockRuns(connection, line, lines.at(i));
                } catch (const DbError& e) {
                    AppendLog(withResult(lines.at(i), e.message()));
                    throw;
                }
                if (!runs) {
                    AppendLog(QString::fromUtf8(kAlreadyDone));
                    // The block ends at the first END line; without one, at the end of the file.
                    qsizetype end = i + 1;
                    while (end < count && !IsEndLine(lines.at(end)))
                        ++end;
                    i = end;
                }
            } else if (IsConversion(line.command) || line.command == ScriptCommand::SqlExe) {
                feedback.setStatus(core::LookupText(core::msg::LibBdMaj_String5));
                feedback.pump();
                const bool ok = line.command == ScriptCommand::SqlExe ? sqlExe(connection, line.text)
                                                                      : runConversion(connection, line);
                failed += ok ? 0 : 1;
            } else if (line.command == ScriptCommand::CompactDataBase) {
                failed += compactDataBase(connection, line.table) ? 0 : 1;
            }
        }
        AppendLog(QString::fromUtf8(kUpdateFinished));
        AppendLog(QString());
    }

    if (askAndDelete && !QFile::remove(path) && QFileInfo::exists(path))
        AppendLog(QStringLiteral("Impossible de supprimer le script \"%1\".").arg(path));
    if (failed > 0)
        feedback.reportFailures(failed, UpdateLogPath());
    return failed;
}

}  // namespace db
