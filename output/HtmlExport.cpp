#include "output/HtmlExport.h"

#include "core/ColorRef.h"
#include "core/Globals.h"
#include "core/MessageCatalog.h"
#include "core/SaveFile.h"
#include "core/TextFile.h"
#include "images/ImageRoutines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace output {

namespace {

constexpr int kJpegQuality = 100;

// The 0x80..0x9F characters of Windows-1252.
constexpr char16_t kWindows1252High[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
                                         0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                         0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};

bool inWindows1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return true;
    for (char16_t h : kWindows1252High) {
        if (h == c)
            return true;
    }
    return false;
}

QString inDirectory(const QString& directory, const QString& name)
{
    if (directory.endsWith(QLatin1Char('/')))
        return directory + name;
    return directory + QLatin1Char('/') + name;
}

[[noreturn]] void fail(const QString& what, const QString& reason)
{
    throw OutputError(what + QStringLiteral("\r\r") + reason);
}

void makeDirectory(const QString& path)
{
    if (QFileInfo(path).isDir())
        return;
    if (!QDir().mkdir(path))
        fail(QStringLiteral("Impossible de créer le répertoire des pages html :\r") + QDir::toNativeSeparators(path),
             QStringLiteral("Vérifiez les droits d'écriture du répertoire des données."));
}

// Writes beside and renames over, so the name never shows half a file; not
// flushed to disk, as the work directory is rewritten on every export.
// Answers the reason of a failure, empty on success.
QString writeScratchFile(const QString& fileName, const QByteArray& data)
{
    const QString part = fileName + QStringLiteral(".part");
    // Plain system calls: a buffered QFile reports a full disk as an
    // unknown error.
    const int fd = ::open(QFile::encodeName(part).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return core::SystemErrorText(errno);
    int error = 0;
    const char* at = data.constData();
    qint64 left = data.size();
    while (left > 0 && error == 0) {
        const ssize_t n = ::write(fd, at, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            error = n < 0 ? errno : ENOSPC;
        else {
            at += n;
            left -= n;
        }
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && std::rename(QFile::encodeName(part).constData(), QFile::encodeName(fileName).constData()) != 0)
        error = errno;
    if (error != 0) {
        QFile::remove(part);
        return core::SystemErrorText(error);
    }
    return {};
}

}  // namespace

QString HtmlWorkDirectory()
{
    return core::globals().dataRoot + QStringLiteral("Html/Temp/");
}

void PrepareHtmlDirectories()
{
    const QString root = core::globals().dataRoot;
    makeDirectory(root + QStringLiteral("Html"));
    makeDirectory(root + QStringLiteral("Html/Temp"));
}

void ClearHtmlDirectory(const QString& directory)
{
    const QDir dir(directory);
    for (const char* mask : {"*.jpg", "*.bmp", "*.htm"}) {
        // Name filters match without regard to case unless told otherwise.
        const QFileInfoList files = dir.entryInfoList({QString::fromLatin1(mask)}, QDir::Files | QDir::Hidden);
        for (const QFileInfo& f : files) {
            QFile file(f.absoluteFilePath());
            if (!file.remove())
                fail(QStringLiteral("Impossible de vider le répertoire des pages html :\r")
                         + QDir::toNativeSeparators(f.absoluteFilePath()),
                     file.errorString());
        }
    }
}

QString HtmlEscape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (auto it = text.cbegin(); it != text.cend(); ++it) {
        const QChar c = *it;
        switch (c.unicode()) {
        case '&': out += QStringLiteral("&amp;"); continue;
        case '<': out += QStringLiteral("&lt;"); continue;
        case '>': out += QStringLiteral("&gt;"); continue;
        case '"': out += QStringLiteral("&quot;"); continue;
        default: break;
        }
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && it + 1 != text.cend() && (it + 1)->isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, *(it + 1));
            ++it;
        }
        if (inWindows1252(code))
            out += c;
        else
            out += QStringLiteral("&#") + QString::number(static_cast<uint>(code)) + QLatin1Char(';');
    }
    return out;
}

QString HtmlCreditLine()
{
    const QString site = core::LookupText(core::msg::Common_WebSite);
    QString shown = site;
    for (const char* scheme : {"https://", "http://"}) {
        if (shown.startsWith(QLatin1String(scheme)))
            shown = shown.mid(static_cast<int>(qstrlen(scheme)));
    }
    if (shown.endsWith(QLatin1Char('/')))
        shown.chop(1);
    return QStringLiteral("<p align=\"center\"><font face=\"Arial\" size=\"2\"><u><i>Page créée par ")
        + HtmlEscape(core::globals().productName)
        + QStringLiteral(", un logiciel de Brindell Software Development - <a href=\"") + HtmlEscape(site)
        + QStringLiteral("\" target=\"_blank\">") + HtmlEscape(shown) + QStringLiteral("</a></i></u></font></p>");
}

QString HtmlPageHead(const QString& title)
{
    return QStringLiteral("<html><head><title>") + title
        + QStringLiteral(
               "</title><script language=\"javascript\">function centerwindow(page,largeur,hauteur,options){var "
               "top=(screen.height-hauteur)/2;var left=(screen.width-largeur)/2;window.open(page,\"\",\"top=\"+top+\","
               "left=\"+left+\",width=\"+largeur+\",height=\"+hauteur+\",\"+options);}</script></head><body "
               "topmargin=\"0\" leftmargin=\"0\"><center>");
}

QString HtmlPopupLinkOpening(const QString& pagePrefix, int id)
{
    return QStringLiteral("<a href=\"javascript:centerwindow(&quot;") + pagePrefix + QString::number(id)
        + QStringLiteral(".htm&quot;,600,500,&quot;toolbar=no,location=no,directories=no,status=no,menubar=no,"
                         "scrollbars=yes,resizable=yes&quot;)\">");
}

void SaveHtmlPicture(const QImage& picture, const QString& fileName)
{
    const QImage rgb =
        picture.format() == QImage::Format_RGB888 ? picture : picture.convertToFormat(QImage::Format_RGB888);
    try {
        // The work directory is regenerated on every export: no flush to disk.
        images::SaveBitmapAsJpeg(rgb, fileName, kJpegQuality, false);
    } catch (const images::ImageError& e) {
        fail(QStringLiteral("Impossible d'écrire l'image de la page html :\r") + QDir::toNativeSeparators(fileName),
             e.detail().isEmpty() ? e.message() : e.detail());
    }
}

void SaveHtmlLines(const QString& fileName, const QStringList& lines)
{
    const QString error = writeScratchFile(fileName, core::encodeTextLines(lines));
    if (!error.isEmpty())
        fail(QStringLiteral("Impossible d'écrire la page html :\r") + QDir::toNativeSeparators(fileName), error);
}

void WriteBlankImage(const QString& directory, const QString& name, int width, int height, quint32 color)
{
    QImage img(width, height, QImage::Format_RGB888);
    img.fill(QColor::fromRgb(core::RgbFromColorRef(color)));
    SaveHtmlPicture(img, inDirectory(directory, name + QStringLiteral(".jpg")));
}

void WriteImagePage(const QString& pageFile, const QString& pageTitle, const QString& pictureMarkup)
{
    SaveHtmlLines(pageFile,
                  {QStringLiteral("<html><head><title>") + pageTitle
                       + QStringLiteral("</title></head><body topmargin=\"0\" leftmargin=\"0\"><table border=\"0\" "
                                        "width=\"100%\" height=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr><td "
                                        "width=\"100%\" valign=\"middle\" align=\"center\" height=\"100%\">"),
                   pictureMarkup, QStringLiteral("</td></tr></table></body></html>")});
}

bool WriteRecordImage(const QByteArray& thumbnail, const QString& directory, const QString& category,
                      const QString& pagePrefix, const QString& fullPrefix, int id, const QString& pageTitle)
{
    QImage picture = images::ImageFromBlob(thumbnail);
    bool hasPage = false;
    if (picture.isNull() || picture.width() == 0) {
        picture = QImage(10, 10, QImage::Format_RGB888);
        picture.fill(Qt::white);
    } else {
        const QString idText = QString::number(id);
        const QString fullSize =
            core::globals().dataDir + QStringLiteral("Images/") + category + idText + QStringLiteral(".jpg");
        if (QFileInfo(fullSize).isFile()) {
            hasPage = true;
            const QString copy = inDirectory(directory, fullPrefix + idText + QStringLiteral(".jpg"));
            if (!QFileInfo::exists(copy)) {
                QFile source(fullSize);
                QString error;
                if (!source.open(QIODevice::ReadOnly))
                    error = source.errorString();
                else
                    error = writeScratchFile(copy, source.readAll());
                if (!error.isEmpty())
                    fail(QStringLiteral("Impossible de copier la photo dans la page html :\r")
                             + QDir::toNativeSeparators(copy),
                         error);
            }
            WriteImagePage(inDirectory(directory, pagePrefix + idText + QStringLiteral(".htm")), pageTitle,
                           QStringLiteral("<img border=\"1\" src=\"") + fullPrefix + idText
                               + QStringLiteral(".jpg\">"));
        }
    }
    SaveHtmlPicture(picture, inDirectory(directory, pagePrefix + QString::number(id) + QStringLiteral(".jpg")));
    return hasPage;
}

}  // namespace output
