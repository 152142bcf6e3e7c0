#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace db {
class Connection;
class DataSource;
class Dataset;
}  // namespace db

namespace records {

// Stores a picture file as a record's photo: the full-size JPEG at target
// (a JPEG source is copied, another picture re-encoded within MaxWidth at
// JpegQuality) and a thumbnailWidth × thumbnailHeight bitmap in the thumbnail
// column, the record stored before and after. Afterwards the record holds
// either the old file with the old thumbnail or the new file with the new
// one, also after a crash once FinishInterruptedPhotoChanges has run. A
// source that is not a readable picture, or a file that cannot be written,
// throws images::ImageError with a French message; a failed store of the
// record throws db::DbError. The record is then left in edit mode with its
// old thumbnail.
void StorePhotoFromFile(const db::DataSource& source, db::Dataset& query, const QString& thumbnailColumn,
                        int thumbnailWidth, int thumbnailHeight, const QString& sourceFile, const QString& targetFile);

// The same for a document image: the thumbnail goes straight into the named
// column (IMGMINI of DOCUMENTIMG, 90 × 90).
void StoreImageToField(const db::DataSource& source, db::Dataset& query, const QString& thumbnailColumn,
                       int thumbnailWidth, int thumbnailHeight, const QString& sourceFile, const QString& targetFile);

// The same from a scanned bitmap: always re-encoded within MaxWidth.
void StorePhotoFromScan(const db::DataSource& source, db::Dataset& query, const QString& thumbnailColumn,
                        int thumbnailWidth, int thumbnailHeight, const QImage& scan, const QString& targetFile);

// Clears both picture columns, stores the record and deletes the file.
void ClearPhoto(const db::DataSource& source, db::Dataset& query, const QString& imageColumn, const QString& targetFile,
                const QString& thumbnailColumn);

// Copies the stored picture to a place the user chooses; a missing file is
// reported with its catalogue message, a failed copy with a message that
// leaves the chosen file as it was.
void SaveImageCopyAs(const QString& storedFile, const QString& proposedName, QWidget* parent = nullptr);

// Completes or undoes the photo changes a crash interrupted, from the rows
// of the database: a pending full-size file whose thumbnail was stored takes
// its picture's name, any other is removed. Run at start, before anything
// shows a picture.
void FinishInterruptedPhotoChanges(db::Connection& connection, const QString& imagesDir);

}  // namespace records
