#include "records/PhotoStorage.h"

#include "core/Globals.h"
#include "core/MessageCatalog.h"
#include "db/Dataset.h"
#include "db/QueryHelpers.h"
#include "images/ImageFiles.h"
#include "images/ImageRoutines.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

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

QImage readPicture(const QString& file, bool jpeg)
{
    QImage picture;
    if (jpeg) {
        picture = QImage(1, 1, QImage::Format_RGB888);
        if (!images::LoadJpegIntoBitmap(&picture, file, true, 0))
            picture = QImage();
    } else {
        QImageReader reader(file);
        reader.setDecideFormatFromContent(true);
        picture = reader.read();
    }
    if (picture.isNull() || picture.width() == 0)
        throw images::ImageError(QStringLiteral("Le fichier \"%1\" n'est pas une image lisible.").arg(file));
    return picture.convertToFormat(QImage::Format_RGB888);
}

}  // namespace

namespace {

// Full-size file and thumbnail, once the record is prepared and the picture read.
void storePicture(const db::DataSource& source, db::Dataset& query, const QString& thumbnailColumn, int thumbnailWidth,
                  int thumbnailHeight, const QImage& picture, const QString& sourceFile, const QString& targetFile)
{
    const core::Settings& s = core::globals().settings;
    if (!sourceFile.isEmpty()) {
        // A failing copy (the source is the target, say) is ignored.
        if (QFileInfo(sourceFile).canonicalFilePath() != QFileInfo(targetFile).canonicalFilePath()) {
            const QString part = targetFile + QStringLiteral(".part");
            QFile::remove(part);
            if (QFile::copy(sourceFile, part)) {
                QFile::setPermissions(part,
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                          | QFileDevice::ReadOther);
                QFile::remove(targetFile);
                QFile::rename(part, targetFile);
            }
        }
    } else {
        QImage full = picture;
        const int max = qMax(1, s.maxWidth);
        if (full.width() > max || full.height() > max) {
            const images::Fit f = images::FitToBox(max, max, full.width(), full.height());
            images::ResampleBitmap(full, f.rect.width(), f.rect.height());
        }
        images::SaveBitmapAsJpeg(full, targetFile, qBound(1, s.jpegQuality, 100));
    }
    pump();
    const QImage thumbnail = images::MakeThumbnail(picture, thumbnailWidth, thumbnailHeight);
    query.FieldByName(thumbnailColumn).SetValue(images::BitmapFileBytes(thumbnail));
    db::PostIfEditing(source, query);
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
    // Read first, so that a bad file changes nothing.
    const QImage picture = readPicture(sourceFile, jpeg);
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
    if (!QFile::exists(storedFile)) {
        ui::showError(core::LookupText(core::msg::LibBdGfx_Message1_Save).replace(QStringLiteral("%1"), storedFile),
                      parent);
        return;
    }
    QString chosen = ui::prompt().saveFileName(parent, core::LookupText(core::msg::LibBdGfx_String2),
                                               images::MakeFileNameSafe(proposedName),
                                               core::LookupText(core::msg::LibBdGfx_String1));
    if (chosen.isEmpty())
        return;
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += QStringLiteral(".jpg");
    QFile::remove(chosen);
    if (!QFile::copy(storedFile, chosen))
        ui::showError(QStringLiteral("Impossible d'enregistrer la copie \"%1\".").arg(chosen), parent);
}

}  // namespace records
