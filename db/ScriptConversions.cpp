#include "db/ScriptConversions.h"

#include "core/Globals.h"
#include "core/SaveFile.h"
#include "core/TextFile.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/UpdateLog.h"
#include "images/ImageRoutines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QSqlError>
#include <QSqlQuery>
#include <QVector>

#include <functional>

namespace db {

namespace {

// Runs work in one transaction; answers the failure's message, empty when none.
QString runInTransaction(Connection& c, const std::function<void()>& work)
{
    QString error;
    try {
        c.beginTransaction();
    } catch (const DbError& e) {
        return e.message();
    }
    try {
        work();
    } catch (const DbError& e) {
        error = e.message();
    } catch (const images::ImageError& e) {
        error = e.detail().isEmpty() ? e.message() : e.message() + QStringLiteral(" : ") + e.detail();
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    // A command that failed changes nothing, so that it can run whole again.
    if (!error.isEmpty()) {
        try {
            c.rollback();
        } catch (...) {
        }
        return error;
    }
    try {
        c.commit();
    } catch (const DbError& e) {
        if (error.isEmpty())
            error = e.message();
        try {
            c.rollback();
        } catch (...) {
        }
    }
    return error;
}

QString withResult(const QString& text, const QString& error)
{
    if (error.isEmpty())
        return text + QStringLiteral(" (Ok)");
    return text + QStringLiteral(" (error : ") + error + QLatin1Char(')');
}

QString argument(const ScriptLine& line, int index)
{
    return line.args.value(index);
}

QString imagesDir()
{
    return core::globals().dataDir + QStringLiteral("Images/");
}

QString imageFile(const QString& prefix, const QVariant& id)
{
    // The name comes from the script: it never leaves the Images folder.
    return imagesDir() + images::MakeFileNameSafe(prefix + id.toString() + QStringLiteral(".jpg"));
}

// Ids of the rows of "SELECT Id, FIELD FROM TABLE" whose FIELD is not null;
// rows gets the number of rows read.
QVector<QVariant> rowsWithPicture(Connection& c, const QString& table, const QString& field, int& rows)
{
    QSqlQuery q(c.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT Id, ") + field + QStringLiteral(" FROM ") + table))
        throw DbError(sqlErrorText(q.lastError()));
    QVector<QVariant> ids;
    rows = 0;
    while (q.next()) {
        ++rows;
        if (!q.isNull(1))
            ids.append(q.value(0));
    }
    return ids;
}

QByteArray pictureOf(Connection& c, const QString& table, const QString& field, const QVariant& id)
{
    const auto v = c.scalar(
        QStringLiteral("SELECT ") + field + QStringLiteral(" FROM ") + table + QStringLiteral(" WHERE Id=?"), {id});
    return v ? v->toByteArray() : QByteArray();
}

void storePicture(Connection& c, const QString& table, const QString& field, const QVariant& id, const QVariant& value)
{
    c.exec(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + field + QStringLiteral("=? WHERE Id=?"),
           {value, id});
}

QImage readBitmap(const QByteArray& blob, const QVariant& id)
{
    const QImage image = images::ImageFromBlob(blob);
    if (image.isNull())
        throw DbError(QStringLiteral("L'image %1 n'est pas une image bitmap lisible.").arg(id.toString()));
    return image.convertToFormat(QImage::Format_RGB888);
}

bool convertTree(Connection& c, const QString& logText, const QString& dir, const QString& treeName,
                 const QString& extension, const QString& treeTable, const QString& queryTable, const QString* braces)
{
    const QString treeFile = dir + treeName;
    if (!QFileInfo(treeFile).isFile()) {
        AppendLog(logText + QStringLiteral(" (Ok)"));
        return true;
    }
    const QString error = runInTransaction(c, [&] {
        const auto lines = core::readTextFile(treeFile);
        if (!lines)
            throw DbError(QStringLiteral("Impossible de lire le fichier \"%1\".").arg(treeFile));
        for (int i = 0; i < lines->size(); ++i) {
            const QString& line = lines->at(i);
            const bool leaf = line.startsWith(QLatin1Char('\t'));
            QString name = leaf ? line.mid(1) : line;
            name.chop(2);
            c.exec(QStringLiteral("INSERT INTO ") + treeTable
                       + QStringLiteral(" (Id_File, NodeTitle, NodeLevel, NodePos, NodeType) VALUES (-1, ?, ?, ?, ?)"),
                   {name.trimmed(), leaf ? 1 : 0, i, leaf ? 2 : 1});
            if (!leaf)
                continue;
            const QVariant treeId = c.scalar(QStringLiteral("SELECT last_insert_rowid()")).value_or(QVariant());
            const QString textFile = dir + name + extension;
            if (!QFileInfo(textFile).isFile())
                continue;
            auto text = core::readTextFile(textFile);
            if (!text)
                throw DbError(QStringLiteral("Impossible de lire le fichier \"%1\".").arg(textFile));
            if (braces) {
                if (text->size() < 2)
                    throw DbError(QStringLiteral("Le fichier \"%1\" n'a pas de deuxième ligne.").arg(textFile));
                (*text)[1] += QLatin1Char('{') + *braces + QLatin1Char('}');
            }
            const QString query =
                text->isEmpty() ? QString() : text->join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
            c.exec(QStringLiteral("INSERT INTO ") + queryTable + QStringLiteral(" (Id_Tree, Query) VALUES (?, ?)"),
                   {treeId, query});
        }
    });
    AppendLog(withResult(logText, error));
    return error.isEmpty();
}

bool replaceInQueries(Connection& c, const QString& logText, const QString& table, const ScriptLine& line)
{
    const QString before = argument(line, 0);
    const QString after = argument(line, 1);
    const QString error = runInTransaction(c, [&] {
        QVector<std::pair<QVariant, QString>> rows;
        {
            QSqlQuery q(c.database());
            q.setForwardOnly(true);
            if (!q.exec(QStringLiteral("SELECT Id, Id_Tree, Query FROM ") + table))
                throw DbError(sqlErrorText(q.lastError()));
            while (q.next())
                rows.append({q.value(0), q.value(2).toString()});
        }
        // An empty text to find changes nothing.
        if (before.isEmpty())
            return;
        for (auto& [id, text] : rows) {
            const QString replaced = QString(text).replace(before, after, Qt::CaseSensitive);
            if (replaced != text)
                c.exec(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET Query=? WHERE Id=?"), {replaced, id});
        }
    });
    AppendLog(withResult(logText + before + QLatin1Char(')'), error));
    return error.isEmpty();
}

// Shared frame of the picture commands: the opening entry, the rows, the
// closing entry.
bool forEachPicture(Connection& c, const QString& opening, const QString& noPicture, const ScriptLine& line,
                    const std::function<void(const QVariant&, const QByteArray&)>& convert,
                    const std::function<void()>& before = {})
{
    const QString table = argument(line, 0);
    const QString field = argument(line, 1);
    AppendLog(opening + table);
    QString closing;
    const QString error = runInTransaction(c, [&] {
        if (before)
            before();
        int rows = 0;
        const QVector<QVariant> ids = rowsWithPicture(c, table, field, rows);
        if (rows == 0)
            closing = noPicture;
        for (const QVariant& id : ids) {
            closing.clear();
            convert(id, pictureOf(c, table, field, id));
        }
    });
    AppendLog(error.isEmpty() ? closing : QString(closing + QStringLiteral(" (error : ") + error + QLatin1Char(')')));
    return error.isEmpty();
}

int boxSide(const QString& text)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < 1 || v > kMaxBoxSide)
        throw DbError(
            QStringLiteral("La dimension \"%1\" n'est pas un nombre entre 1 et %2.").arg(text).arg(kMaxBoxSide));
    return v;
}

}  // namespace

bool ConvertStatScript(Connection& c, const ScriptLine& line)
{
    return convertTree(c, QStringLiteral("CONVERSION:Statistiques"), core::globals().statDir,
                       QStringLiteral("StatTree.def"), QStringLiteral(".stq"), QStringLiteral("STAT_TREE"),
                       QStringLiteral("STAT_QUERY"), &line.text);
}

bool ConvertQueryScript(Connection& c, const ScriptLine&)
{
    return convertTree(c, QStringLiteral("CONVERSION:Requêtes"), core::globals().queryDir,
                       QStringLiteral("QueryTree.def"), QStringLiteral(".req"), QStringLiteral("SQL_TREE"),
                       QStringLiteral("SQL_QUERY"), nullptr);
}

bool ReplaceStringInStatScript(Connection& c, const ScriptLine& line)
{
    return replaceInQueries(c, QStringLiteral("MODIFICATION:Statistiques("), QStringLiteral("STAT_QUERY"), line);
}

bool ReplaceStringInQueryScript(Connection& c, const ScriptLine& line)
{
    return replaceInQueries(c, QStringLiteral("MODIFICATION:Requêtes("), QStringLiteral("SQL_QUERY"), line);
}

bool ExtractImageToJpeg(Connection& c, const ScriptLine& line)
{
    const QString table = argument(line, 0);
    const QString field = argument(line, 1);
    const QString prefix = argument(line, 2);
    QDir().mkpath(imagesDir());
    return forEachPicture(c, QStringLiteral("OPTIMISATION:Extraction des images au format jpeg de la table "),
                          QStringLiteral("Pas d'images dans la base"), line,
                          [&](const QVariant& id, const QByteArray& blob) {
                              const QString target = imageFile(prefix, id);
                              AppendLog(QStringLiteral("Conversion de l'image : ") + target);
                              if (!blob.isEmpty()) {
                                  const QImage bitmap = readBitmap(blob, id);
                                  if (!QFileInfo::exists(target))
                                      images::SaveBitmapAsJpeg(bitmap, target, 100);
                              }
                              if (!line.keepColumn)
                                  storePicture(c, table, field, id, QVariant());
                          });
}

bool ExtractJpegImage(Connection& c, const ScriptLine& line)
{
    const QString table = argument(line, 0);
    const QString field = argument(line, 1);
    const QString prefix = argument(line, 2);
    QDir().mkpath(imagesDir());
    return forEachPicture(c, QStringLiteral("OPTIMISATION:Extraction des images jpeg de la table "),
                          QStringLiteral("Pas d'images dans la base"), line,
                          [&](const QVariant& id, const QByteArray& blob) {
                              const QString target = imageFile(prefix, id);
                              AppendLog(QStringLiteral("Extraction de l'image : ") + target);
                              QString why;
                              if (!core::saveFileAtomically(target, blob, &why))
                                  throw DbError(QStringLiteral("Impossible d'écrire \"%1\" : %2").arg(target, why));
                              storePicture(c, table, field, id, QVariant());
                          });
}

bool ResizeBitmapInDataBase(Connection& c, const ScriptLine& line)
{
    const QString table = argument(line, 0);
    const QString field = argument(line, 1);
    int width = 0;
    int height = 0;
    return forEachPicture(
        c, QStringLiteral("OPTIMISATION:Redimensionne les images Bitmap de la table "),
        QStringLiteral("Pas d'images dans la table"), line,
        [&](const QVariant& id, const QByteArray& blob) {
            AppendLog(QStringLiteral("Redimensionnement de l'image : ") + id.toString() + QStringLiteral(".jpg"));
            const QImage scaled = images::FitBitmapInto(readBitmap(blob, id), width, height);
            QImage result = scaled;
            if (line.whiteBox) {
                result = QImage(width, height, QImage::Format_RGB888);
                result.fill(Qt::white);
                QPainter p(&result);
                p.drawImage((width - scaled.width()) / 2, (height - scaled.height()) / 2, scaled);
            }
            storePicture(c, table, field, id, images::BitmapFileBytes(result));
        },
        [&] {
            width = boxSide(argument(line, 2));
            height = boxSide(argument(line, 3));
        });
}

bool ConvertBitmapToJpegInDataBase(Connection& c, const ScriptLine& line)
{
    const QString table = argument(line, 0);
    const QString field = argument(line, 1);
    const QString temporary = imagesDir() + QStringLiteral("temp.jpg");
    QDir().mkpath(imagesDir());
    const bool ok = forEachPicture(
        c, QStringLiteral("OPTIMISATION:Conversion des images Bitmap en Jpeg de la table "),
        QStringLiteral("Pas d'images dans la table"), line, [&](const QVariant& id, const QByteArray& blob) {
            AppendLog(QStringLiteral("Conversion de l'image : ") + id.toString() + QStringLiteral(".jpg"));
            images::SaveBitmapAsJpeg(readBitmap(blob, id), temporary, 100);
            QFile file(temporary);
            if (!file.open(QIODevice::ReadOnly))
                throw DbError(QStringLiteral("Impossible de lire \"%1\".").arg(temporary));
            storePicture(c, table, field, id, file.readAll());
        });
    QFile::remove(temporary);
    return ok;
}

}  // namespace db
