#pragma once

#include "core/UserError.h"

#include "archive/Cabinet.h"

#include <QImage>
#include <QString>

#include <stdexcept>

namespace db {
class TDataModule1;
}

namespace db {
class Connection;
}

namespace records {

// A failure of the document stores, with the French message the user sees.
class DocumentError : public core::UserError {
public:
    using UserError::UserError;
};

// Whole kilobytes of 1000 bytes followed by " Ko".
QString FileSizeText(qint64 bytes);

// The system's name of the file's type (by its name), or the extension in
// capitals followed by " file" when the system knows none.
QString FileTypeName(const QString& file);

// The file's icon from the icon theme drawn on a white bitmap; null when the
// theme has none.
QImage FileIconImage(const QString& file);

// The bare name a stored file is extracted under: its last path part when
// that is a plain file name, "Document" otherwise.
QString BareDocumentName(const QString& fileName);

// The name a file is packed under: its own with every character an archive
// entry may not hold (separators, control characters) made "_", "Document"
// when nothing is left. The real name stays in the document's row.
QString DocumentEntryName(const QString& fileName);

// Removes what an attachment cut short by a crash left in filesDir: the
// work file "File.Tmp" and every "File<Id>.f" that no DOCUMENTFILE row
// names. Run at start, before anything lists the documents; a database
// that cannot be read leaves every file.
void RemoveUnreferencedDocumentFiles(db::Connection& connection, const QString& filesDir);

// The folder extracted documents go to: private to the user, made on first
// use and removed with its contents when the program ends.
QString DocumentTempDir();

// Packs source into the single-entry cabinet archivePath all-or-nothing:
// written as "File.Tmp" beside it, then renamed. Streams the file; progress
// reports the bytes done. Throws DocumentError.
void PackDocumentFile(const QString& source, const QString& archivePath, const archive::ProgressFn& progress = {});

// Extracts the archive's first entry to target, whatever name it was packed
// under, replacing target only once the whole entry is out. Throws
// DocumentError.
void UnpackDocumentFile(const QString& archivePath, const QString& target, const archive::ProgressFn& progress = {});

// Extracts a stored file into DocumentTempDir() under its bare name, read-only,
// replacing an earlier copy of the same name; answers the path.
QString ExtractForViewing(const QString& archivePath, const QString& fileName);

// The file a user chose to attach, as the file chooser reads it.
struct ChosenFile {
    QString path;
    QString name;
    QString type;
    QString sizeText;
    QImage icon;
    QString remark;
};

// Reads name, type, size and icon; throws DocumentError "Fichier "…" introuvable."
// when the file does not exist or cannot be read.
ChosenFile ReadChosenFile(const QString& path);

// The attached-document rows of an owner (kind 1 person, 2 project), through
// the standing queries so that the deletion rules hold. Every store is
// all-or-nothing: the row with its file, or neither.
class DocumentStore {
public:
    DocumentStore(db::TDataModule1& dm, int kind) : m_dm(dm), m_kind(kind) { }

    int kind() const { return m_kind; }

    // Opens the file query on the owner's files (-1: none).
    void OpenDocumentFiles(int owner);
    void CloseDocumentFiles();
    // Opens the image query on the owner's images, or on one document.
    void OpenDocumentImages(int owner);
    void OpenDocumentImage(int id);
    void CloseDocumentImages();

    // A new image document; answers its Id. Throws DocumentError or
    // images::ImageError / db::DbError with nothing stored.
    int AddImage(int owner, const QString& title, const QImage& picture);
    // A changed title, and the picture again when it changed.
    void ChangeImage(int id, const QString& title, const QImage* picture);
    void RemoveImage(int id);

    // A new file document of the open dossier; the file query must be open
    // on the owner and afterwards stands on the new row.
    int AttachFile(int dossier, int owner, const ChosenFile& file, const archive::ProgressFn& progress = {});
    // Deletes the current row of the file query, which removes its archive.
    void RemoveCurrentFile();

private:
    db::TDataModule1& m_dm;
    int m_kind;
};

}  // namespace records
