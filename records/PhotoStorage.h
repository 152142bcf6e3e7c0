#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace db {
class DataSource;
class Dataset;
}  // namespace db

namespace records {

// Stores a picture file as a record's photo: the full-size JPEG at target
// (a JPEG source is copied, another picture re-encoded within MaxWidth at
// JpegQuality) and a thumbnailWidth × thumbnailHeight bitmap in the thumbnail
// column, the record stored before and after. A source that is not a readable
// picture throws images::ImageError before anything is written; the record is
// then left in edit mode. Database failures throw db::DbError.
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
// reported with its catalogue message.
void SaveImageCopyAs(const QString& storedFile, const QString& proposedName, QWidget* parent = nullptr);

}  // namespace records
