#pragma once

#include "core/UserError.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <stdexcept>

// The pieces shared by the HTML planning and list pages: the work directory,
// the picture and image-page writers, the page head, the credit line and the
// escaping of record texts. No widget here; failures throw OutputError.
namespace output {

// A page that could not be written; message() is the French text for the
// user, with the underlying reason on its last line.
class OutputError : public core::UserError {
public:
    using UserError::UserError;
};

// Data root + "Html/Temp/", where every page is generated.
QString HtmlWorkDirectory();

// Creates data root + "Html/" and "Html/Temp/" when missing. Throws OutputError.
void PrepareHtmlDirectories();

// Deletes the "*.jpg", "*.bmp" and "*.htm" plain files of the directory
// (without regard to case); other files and sub-directories stay. A file that
// cannot be deleted throws OutputError, so no stale page is shown.
void ClearHtmlDirectory(const QString& directory);

// Record texts for the page: & < > and " as entities, characters outside
// Windows-1252 as numeric references; line breaks stay as they are.
QString HtmlEscape(const QString& text);

// The footer line of every generated page.
QString HtmlCreditLine();

// `<html><head><title>…</title>` + the centring script + the body opening;
// title is inserted as it stands (the caller escapes record texts).
QString HtmlPageHead(const QString& title);

// The link that opens page{id}.htm in a centred 600 × 500 pop-up.
QString HtmlPopupLinkOpening(const QString& pagePrefix, int id);

// Saves a picture as a quality-100 JPEG, converted to 24 bits first. Throws
// OutputError naming the file.
void SaveHtmlPicture(const QImage& picture, const QString& fileName);

// Saves the lines (Windows-1252, CR LF) all-or-nothing. Throws OutputError.
void SaveHtmlLines(const QString& fileName, const QStringList& lines);

// A plain picture of the colour (0x00BBGGRR), saved as directory/name.jpg.
void WriteBlankImage(const QString& directory, const QString& name, int width, int height, quint32 color);

// The three-line page showing a full-size picture.
void WriteImagePage(const QString& pageFile, const QString& pageTitle, const QString& pictureMarkup);

// The record's thumbnail as directory/{pagePrefix}{id}.jpg (a 10 × 10 white
// picture without one) and, when the record has one, its full-size photo
// (data directory + "Images/" + category + id + ".jpg") copied to
// {fullPrefix}{id}.jpg with the page {pagePrefix}{id}.htm showing it. True
// when the photo page was written. pageTitle goes into the page as it stands.
bool WriteRecordImage(const QByteArray& thumbnail, const QString& directory, const QString& category,
                      const QString& pagePrefix, const QString& fullPrefix, int id, const QString& pageTitle);

}  // namespace output
