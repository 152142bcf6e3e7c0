#include "records/PhotoStorage.h"

#include "core/Globals.h"
#include "core/MessageCatalog.h"
#include "core/SaveFile.h"
#include "core/StringUtils.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DbError.h"
#include "db/QueryHelpers.h"
#include "images/ImageFiles.h"
#include "images/ImageRoutines.h"
#include "images/TViewImage.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace records {

namespace {

void pump()
{
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void prepare(const db::DataSource& source, db::Dataset& query)
{
    db::PostIfEditing(source, query);
    db::ReopenKeepingRecord(query);
    db::EnsureEditing(source, query);
}

// The full-size file of a photo change waits under this name until the row
// holding the new thumbnail is committed. The name carries a digest of that
// thumbnail, so that after a crash the row tells whether the change went
// through (see FinishInterruptedPhotoChanges).
QString pendingName(const QString& targetFile, const QByteArray& thumbnail)
{
    const QByteArray digest = QCryptographicHash::hash(thumbnail, QCryptographicHash::Sha1).toHex().left(16);
    return targetFile + QLatin1Char('.') + QString::fromLatin1(digest) + QStringLiteral(".pending");
}

QString storeFailure(const QString& targetFile, const QString& detail)
{
    return QStringLiteral("L'image n'a pas pu être enregistrée dans \"%1\" : la photo reste inchangée.\r(%2)")
        .arg(targetFile, detail);
}

void setOrClear(db::Dataset& query, const QString& column, const QVariant& value)
{
    if (value.isValid() && !value.isNull())
        query.FieldByName(column).SetValue(value);
    else
        query.FieldByName(column).Clear();
}

// Writes the full-size file under its pending name; throws ImageError.
void writePending(const QImage& picture, const QString& sourceFile, const QString& pending, const QString& targetFile)
{
    QFile::remove(pending);
    if (!sourceFile.isEmpty()) {
        QString error;
        if (!core::copyFileAtomically(sourceFile, pending, &error))
            throw images::ImageError(storeFailure(targetFile, error));
        return;
    }
    const core::Settings& s = core::globals().settings;
    QImage full = picture;
    const int max = qMax(1, s.maxWidth);
    if (full.width() > max || full.height() > max) {
        const images::Fit f = images::FitToBox(max, max, full.width(), full.height());
        images::ResampleBitmap(full, f.rect.width(), f.rect.height());
    }
    try {
        images::SaveBitmapAsJpeg(full, pending, qBound(1, s.jpegQuality, 100));
    } catch (const images::ImageError& e) {
        throw images::ImageError(storeFailure(targetFile, e.message() + QStringLiteral(" : ") + e.detail()),
                                 e.detail());
    }
}

// Full-size file and thumbnail, once the record is prepared and the picture
// read. The row is the commit point: a failure before it leaves the old file
// with the old thumbnail, and once it is stored the pending file takes the
// picture's name in one rename. sourceFile is a JPEG copied as it is, or
// empty when the picture is encoded.
void storePicture(const db::DataSource& source, db::Dataset& query, const QString& thumbnailColumn, int thumbnailWidth,
                  int thumbnailHeight, const QImage& picture, const QString& sourceFile, const QString& targetFile)
{
    const QByteArray thumbnail =
        images::BitmapFileBytes(images::MakeThumbnail(picture, thumbnailWidth, thumbnailHeight));
    pump();
    // Choosing the stored picture itself leaves nothing to copy.
    const bool sameFile = !sourceFile.isEmpty() && QFileInfo::exists(targetFile)
        && QFileInfo(sourceFile).canonicalFilePath() == QFileInfo(targetFile).canonicalFilePath();
    QString pending;
    if (!sameFile) {
        pending = pendingName(targetFile, thumbnail);
        writePending(picture, sourceFile, pending, targetFile);
        pump();
    }
    const QVariant before = query.FieldByName(thumbnailColumn).Value();
    try {
        query.FieldByName(thumbnailColumn).SetValue(thumbnail);
        db::PostIfEditing(source, query);
    } catch (...) {
        if (!pending.isEmpty())
            QFile::remove(pending);
        // The record keeps its old thumbnail and stays editable.
        try {
            if (query.Editing())
                setOrClear(query, thumbnailColumn, before);
        } catch (...) {
        }
        throw;
    }
    if (!pending.isEmpty()) {
        const QByteArray from = QFile::encodeName(pending);
        if (std::rename(from.constData(), QFile::encodeName(targetFile).constData()) != 0) {
            const QString detail = QString::fromLocal8Bit(std::strerror(errno));
            // Put the old thumbnail back so that row and file agree again;
            // should that fail too, the next start finishes the change.
            db::EnsureEditing(source, query);
            setOrClear(query, thumbnailColumn, before);
            db::PostIfEditing(source, query);
            QFile::remove(pending);
            db::EnsureEditing(source, query);
            throw images::ImageError(storeFailure(targetFile, detail));
        }
        core::syncDirectory(QFileInfo(targetFile).absolutePath());
    }
    db::ReopenKeepingRecord(query);
}

}  // namespace

void StorePhotoFromFile(const db::DataSource& source, db::Dataset& query, const QString& thumbnailColumn,
                        int thumbnailWidth, int thumbnailHeight, const QString& sourceFile, const QString& targetFile)
{
    ui::HourglassCursor hourglass;
    prepare(source, query);
    pump();
    const QString suffix = QFileInfo(sourceFile).suffix().toUpper();
    const bool jpeg = suffix == QStringLiteral("JPG") || suffix == QStringLiteral("JPEG");
    // Read first, so that a bad file changes nothing. A JPEG is copied as it
    // is, so its picture only makes the thumbnail.
    const QImage picture =
        images::ReadPictureFile(sourceFile, jpeg, jpeg ? QSize(thumbnailWidth, thumbnailHeight) : QSize());
    storePicture(source, query, thumbnailColumn, thumbnailWidth, thumbnailHeight, picture,
                 jpeg ? sourceFile : QString(), targetFile);
}

void StoreImageToField(const db::DataSource& source, db::Dataset& query, const QString& thumbnailColumn,
                       int thumbnailWidth, int thumbnailHeight, const QString& sourceFile, const QString& targetFile)
{
    StorePhotoFromFile(source, query, thumbnailColumn, thumbnailWidth, thumbnailHeight, sourceFile, targetFile);
}

void StorePhotoFromScan(const db::DataSource& source, db::Dataset& query, const QString& thumbnailColumn,
                        int thumbnailWidth, int thumbnailHeight, const QImage& scan, const QString& targetFile)
{
    ui::HourglassCursor hourglass;
    if (scan.isNull() || scan.width() == 0)
        throw images::ImageError(QStringLiteral("L'image numérisée est vide."));
    prepare(source, query);
    storePicture(source, query, thumbnailColumn, thumbnailWidth, thumbnailHeight,
                 scan.convertToFormat(QImage::Format_RGB888), QString(), targetFile);
}

void ClearPhoto(const db::DataSource& source, db::Dataset& query, const QString& imageColumn, const QString& targetFile,
                const QString& thumbnailColumn)
{
    ui::HourglassCursor hourglass;
    prepare(source, query);
    query.FieldByName(imageColumn).Clear();
    query.FieldByName(thumbnailColumn).Clear();
    db::PostIfEditing(source, query);
    db::ReopenKeepingRecord(query);
    images::DeleteImageFile(targetFile);
}

void SaveImageCopyAs(const QString& storedFile, const QString& proposedName, QWidget* parent)
{
    images::SaveImageCopyAs(storedFile, proposedName, parent);
}

void FinishInterruptedPhotoChanges(db::Connection& connection, const QString& imagesDir)
{
    static const QRegularExpression pendingPattern(
        QStringLiteral("^(People|Project|Doc)([0-9]+)\\.jpg\\.([0-9a-f]{16})\\.pending$"));
    const QString dir = core::IncludeTrailingBackslash(imagesDir);
    // One listing of the store at start; copies cut short are never pictures.
    for (const QString& name :
         QDir(dir).entryList({QStringLiteral("*.part"), QStringLiteral("*.pending")}, QDir::Files)) {
        if (name.endsWith(QStringLiteral(".part"))) {
            QFile::remove(dir + name);
            continue;
        }
        const QRegularExpressionMatch m = pendingPattern.match(name);
        if (!m.hasMatch())
            continue;
        const QString kind = m.captured(1);
        const QString table = kind == QStringLiteral("People") ? QStringLiteral("PEOPLE")
            : kind == QStringLiteral("Project")                ? QStringLiteral("PROJECT")
                                                               : QStringLiteral("DOCUMENTIMG");
        const QString column = kind == QStringLiteral("Doc") ? QStringLiteral("ImgMini") : QStringLiteral("ImgMini1");
        std::optional<QVariant> stored;
        try {
            stored = connection.scalar(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + table
                                           + QStringLiteral(" WHERE Id=?"),
                                       {m.captured(2).toLongLong()});
        } catch (const db::DbError&) {
            continue;  // left for the next start
        }
        const QString target = dir + kind + m.captured(2) + QStringLiteral(".jpg");
        if (stored && pendingName(target, stored->toByteArray()) == dir + name) {
            if (std::rename(QFile::encodeName(dir + name).constData(), QFile::encodeName(target).constData()) == 0)
                core::syncDirectory(dir);
        } else {
            QFile::remove(dir + name);
        }
    }
}

}  // namespace records
