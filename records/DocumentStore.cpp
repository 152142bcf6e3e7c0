#include "records/DocumentStore.h"

#include "core/Globals.h"
#include "core/SaveFile.h"
#include "core/StringUtils.h"
#include "db/DbError.h"
#include "db/QueryHelpers.h"
#include "db/RowReader.h"
#include "db/TDataModule1.h"
#include "images/ImageFiles.h"
#include "images/ImageRoutines.h"
#include "records/PhotoStorage.h"

#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>

#include <memory>

namespace records {

namespace {

QString kindText(int kind)
{
    return QString::number(kind);
}

void renameOrThrow(const QString& from, const QString& to, const QString& what)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw DocumentError(QStringLiteral("%1 : %2.").arg(what, archive::ReasonOf(errno)));
    core::syncDirectory(QFileInfo(to).absolutePath());
}

void makeWritable(const QString& path)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
}

// Removed when the program ends (static destruction), contents included.
std::unique_ptr<QTemporaryDir>& tempDirHolder()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}

}  // namespace

QString FileSizeText(qint64 bytes)
{
    return QString::number(bytes / 1000) + QStringLiteral(" Ko");
}

QString FileTypeName(const QString& file)
{
    static const QMimeDatabase mimes;
    const QMimeType type = mimes.mimeTypeForFile(file, QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault() && !type.comment().isEmpty())
        return type.comment();
    return QFileInfo(file).suffix().toUpper() + QStringLiteral(" file");
}

QImage FileIconImage(const QString& file)
{
    const QIcon icon = QFileIconProvider().icon(QFileInfo(file));
    const QPixmap pixmap = icon.pixmap(32, 32);
    if (pixmap.isNull())
        return {};
    QImage image(pixmap.size(), QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.drawPixmap(0, 0, pixmap);
    return image;
}

QString BareDocumentName(const QString& fileName)
{
    const qsizetype cut = qMax(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    const QString bare = archive::SafeEntryName(fileName.mid(cut + 1));
    return bare.isEmpty() ? QStringLiteral("Document") : bare;
}

QString DocumentEntryName(const QString& fileName)
{
    QString name = fileName;
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F
            || c == QChar::ReplacementCharacter)
            c = QLatin1Char('_');
    }
    return archive::SafeEntryName(name).isEmpty() ? QStringLiteral("Document") : name;
}

void RemoveUnreferencedDocumentFiles(db::Connection& connection, const QString& filesDir)
{
    static const QRegularExpression stored(QStringLiteral("^File([0-9]+)\\.f$"));
    const QString dir = core::IncludeTrailingBackslash(filesDir);
    QFile::remove(dir + QStringLiteral("File.Tmp"));
    QSet<qint64> named;
    try {
        db::ForEachRow(connection, QStringLiteral("SELECT Id FROM DOCUMENTFILE"),
                       [&named](const db::RowView& row) { named.insert(row.integer(0)); });
    } catch (const db::DbError&) {
        return;
    }
    bool removed = false;
    for (const QString& name : QDir(dir).entryList({QStringLiteral("File*.f")}, QDir::Files)) {
        const QRegularExpressionMatch m = stored.match(name);
        if (m.hasMatch() && !named.contains(m.captured(1).toLongLong()))
            removed = QFile::remove(dir + name) || removed;
    }
    if (removed)
        core::syncDirectory(dir);
}

QString DocumentTempDir()
{
    auto& dir = tempDirHolder();
    if (!dir || !dir->isValid())
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quillmark-documents-XXXXXX"));
    if (!dir->isValid())
        throw DocumentError(
            QStringLiteral("Le dossier temporaire des documents n'a pas pu être créé : %1.").arg(dir->errorString()));
    return dir->path() + QLatin1Char('/');
}

void PackDocumentFile(const QString& source, const QString& archivePath, const archive::ProgressFn& progress)
{
    const QString tmp = QFileInfo(archivePath).absolutePath() + QStringLiteral("/File.Tmp");
    QFile::remove(tmp);
    try {
        archive::WriteCabinet(tmp, {source}, {DocumentEntryName(QFileInfo(source).fileName())}, progress);
        renameOrThrow(tmp, archivePath,
                      QStringLiteral("Le fichier « %1 » n'a pas pu être enregistré").arg(archivePath));
    } catch (const archive::ArchiveError& e) {
        QFile::remove(tmp);
        throw DocumentError(e.message());
    } catch (...) {
        QFile::remove(tmp);
        throw;
    }
}

void UnpackDocumentFile(const QString& archivePath, const QString& target, const archive::ProgressFn& progress)
{
    // Extracted beside the target under a private folder, so that the
    // final step is one rename and a failure leaves the target as it was.
    const QString dir = QFileInfo(target).absolutePath();
    QTemporaryDir work(dir + QStringLiteral("/.extract-XXXXXX"));
    if (!work.isValid())
        throw DocumentError(
            QStringLiteral("Impossible d'écrire dans le dossier « %1 » : %2.").arg(dir, work.errorString()));
    try {
        archive::CabinetReader reader(archivePath);
        if (reader.entries().isEmpty())
            throw DocumentError(QStringLiteral("L'archive « %1 » ne contient aucun fichier.").arg(archivePath));
        QStringList names(reader.entries().size());
        names[0] = QStringLiteral("document");
        reader.extract(work.path(), names, progress);
        const QString extracted = work.path() + QLatin1Char('/') + names.first();
        renameOrThrow(extracted, target, QStringLiteral("Le fichier « %1 » n'a pas pu être écrit").arg(target));
    } catch (const archive::ArchiveError& e) {
        throw DocumentError(e.message());
    }
}

QString ExtractForViewing(const QString& archivePath, const QString& fileName)
{
    const QString target = DocumentTempDir() + BareDocumentName(fileName);
    if (QFileInfo::exists(target)) {
        makeWritable(target);
        QFile::remove(target);
    }
    UnpackDocumentFile(archivePath, target);
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    return target;
}

ChosenFile ReadChosenFile(const QString& path)
{
    const QFileInfo info(path);
    QFile probe(path);
    if (!info.isFile() || !probe.open(QIODevice::ReadOnly))
        throw DocumentError(QStringLiteral("Fichier \"%1\" introuvable.").arg(info.fileName()));
    ChosenFile f;
    f.path = info.absoluteFilePath();
    f.name = info.fileName();
    f.type = FileTypeName(path);
    f.sizeText = FileSizeText(info.size());
    f.icon = FileIconImage(path);
    return f;
}

void DocumentStore::OpenDocumentFiles(int owner)
{
    db::Dataset& q = m_dm.DocumentFile;
    q.DisableControls();
    q.Close();
    db::ReplaceWhereLine(q.SQL(),
                         QStringLiteral("WHERE DOCUMENTFILE.DoType=") + kindText(m_kind)
                             + QStringLiteral(" AND DOCUMENTFILE.Id_Ref=") + QString::number(owner));
    try {
        q.Open();
    } catch (...) {
        q.EnableControls();
        throw;
    }
    q.EnableControls();
}

void DocumentStore::CloseDocumentFiles()
{
    m_dm.DocumentFile.Close();
}

void DocumentStore::OpenDocumentImages(int owner)
{
    db::Dataset& q = m_dm.DocumentImg;
    q.Close();
    db::ReplaceWhereLine(q.SQL(),
                         owner < 0 ? QStringLiteral("WHERE DocumentImg.Id_Ref=-1")
                                   : QStringLiteral("WHERE DocumentImg.DoType=") + kindText(m_kind)
                                 + QStringLiteral(" and DocumentImg.Id_Ref=") + QString::number(owner));
    q.Open();
}

void DocumentStore::OpenDocumentImage(int id)
{
    db::Dataset& q = m_dm.DocumentImg;
    q.Close();
    db::ReplaceWhereLine(q.SQL(),
                         QStringLiteral("WHERE DocumentImg.DoType=") + kindText(m_kind)
                             + QStringLiteral(" and DocumentImg.Id=") + QString::number(id));
    q.Open();
}

void DocumentStore::CloseDocumentImages()
{
    m_dm.DocumentImg.Close();
}

int DocumentStore::AddImage(int owner, const QString& title, const QImage& picture)
{
    db::Dataset& q = m_dm.DocumentImg;
    OpenDocumentImages(owner);
    int id = -1;
    try {
        // One transaction: the row exists only once its picture is stored.
        db::Transaction t(m_dm.ADOConnection1);
        q.Append();
        q.FieldByName(QStringLiteral("Id_Ref")).SetValue(owner);
        q.FieldByName(QStringLiteral("DoType")).SetValue(m_kind);
        q.FieldByName(QStringLiteral("Title")).SetValue(title);
        q.Post();
        id = q.FieldByName(QStringLiteral("Id")).AsInteger();
        StorePhotoFromScan(m_dm.DSDocumentImg, q, QStringLiteral("ImgMini"), 90, 90, picture,
                           db::documentImageFile(id));
        t.commit();
    } catch (...) {
        q.Close();
        if (id >= 0)
            images::DeleteImageFile(db::documentImageFile(id));
        throw;
    }
    return id;
}

void DocumentStore::ChangeImage(int id, const QString& title, const QImage* picture)
{
    db::Dataset& q = m_dm.DocumentImg;
    OpenDocumentImage(id);
    if (db::IsEmpty(q))
        throw DocumentError(QStringLiteral("Ce document n'existe plus."));
    try {
        q.Edit();
        q.FieldByName(QStringLiteral("Title")).SetValue(title);
        if (picture)
            StorePhotoFromScan(m_dm.DSDocumentImg, q, QStringLiteral("ImgMini"), 90, 90, *picture,
                               db::documentImageFile(id));
        else
            q.Post();
    } catch (...) {
        if (q.Editing())
            q.Cancel();
        q.Close();
        throw;
    }
    q.Close();
}

void DocumentStore::RemoveImage(int id)
{
    OpenDocumentImage(id);
    if (!db::IsEmpty(m_dm.DocumentImg))
        m_dm.DocumentImg.Delete();
    m_dm.DocumentImg.Close();
}

int DocumentStore::AttachFile(int dossier, int owner, const ChosenFile& file, const archive::ProgressFn& progress)
{
    const QString filesDir = core::globals().dataDir + QStringLiteral("Files/");
    QDir().mkpath(filesDir);
    const QString packed = filesDir + QStringLiteral("File.Tmp");
    // Packed first: a file that cannot be read or a full disk stores no row.
    QFile::remove(packed);
    try {
        archive::WriteCabinet(packed, {file.path}, {DocumentEntryName(file.name)}, progress);
    } catch (const archive::ArchiveError& e) {
        QFile::remove(packed);
        throw DocumentError(e.message());
    }
    db::Dataset& q = m_dm.DocumentFile;
    int id = -1;
    bool renamed = false;
    try {
        db::Transaction t(m_dm.ADOConnection1);
        q.Append();
        q.FieldByName(QStringLiteral("Id_File")).SetValue(dossier);
        q.FieldByName(QStringLiteral("Id_Ref")).SetValue(owner);
        q.FieldByName(QStringLiteral("DoType")).SetValue(m_kind);
        q.FieldByName(QStringLiteral("FileName")).SetValue(file.name.left(255));
        q.FieldByName(QStringLiteral("FileType")).SetValue(file.type.left(128));
        q.FieldByName(QStringLiteral("FileSize")).SetValue(file.sizeText);
        q.FieldByName(QStringLiteral("Remark")).SetValue(file.remark.left(255));
        if (!file.icon.isNull())
            q.FieldByName(QStringLiteral("FileIcon")).SetValue(images::BitmapFileBytes(file.icon));
        q.Post();
        id = q.FieldByName(QStringLiteral("Id")).AsInteger();
        renameOrThrow(packed, db::storedDocumentFile(id),
                      QStringLiteral("Le fichier « %1 » n'a pas pu être enregistré").arg(db::storedDocumentFile(id)));
        renamed = true;
        t.commit();
    } catch (...) {
        QFile::remove(packed);
        if (renamed)
            QFile::remove(db::storedDocumentFile(id));
        // The buffer may hold the row that was rolled back.
        try {
            db::ReopenKeepingRecord(q);
        } catch (...) {
        }
        throw;
    }
    return id;
}

void DocumentStore::RemoveCurrentFile()
{
    if (!db::IsEmpty(m_dm.DocumentFile))
        m_dm.DocumentFile.Delete();
}

}  // namespace records
