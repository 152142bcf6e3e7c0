#include "images/ImageRoutines.h"

#include "core/SaveFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>
#include <unistd.h>

namespace images {

namespace {

QString outOfMemoryText()
{
    return QStringLiteral("Mémoire insuffisante pour traiter l'image.");
}

void requireAllocated(const QImage& image)
{
    if (image.isNull())
        throw ImageError(outOfMemoryText());
}

}  // namespace

Fit FitToBox(int A, int B, int W, int H)
{
    Fit f;
    if (W <= A && H <= B) {
        f.rect = QRect(static_cast<int>((A - W) / 2.0), static_cast<int>((B - H) / 2.0), W, H);
        return f;
    }
    f.scaled = true;
    if (W < H) {
        const int t = static_cast<int>(static_cast<double>(B) / H * W);
        if (t <= A) {
            f.rect = QRect(static_cast<int>((A - t) / 2.0), 0, t, B);
        } else {
            const int h = static_cast<int>(static_cast<double>(A) / W * H);
            f.rect = QRect(0, static_cast<int>((B - h) / 2.0), A, h);
        }
    } else if (W > H) {
        const int t = static_cast<int>(static_cast<double>(A) / W * H);
        if (t <= B) {
            f.rect = QRect(0, static_cast<int>((B - t) / 2.0), A, t);
        } else {
            const int w = static_cast<int>(static_cast<double>(B) / H * W);
            f.rect = QRect(static_cast<int>((A - w) / 2.0), 0, w, B);
        }
    } else {
        // A square larger than the box in one direction only is fitted to
        // the box's smaller side; larger in both, it fills the box when square.
        if (W > A && H > B) {
            f.rect = QRect(0, 0, A, B);
        } else {
            const int side = qMin(A, B);
            f.rect = QRect(static_cast<int>((A - side) / 2.0), static_cast<int>((B - side) / 2.0), side, side);
        }
    }
    return f;
}

void ResampleBitmap(QImage& bitmap, int Wd, int Hd)
{
    const QImage S = bitmap.convertToFormat(QImage::Format_RGB888);
    if (!bitmap.isNull())
        requireAllocated(S);
    const int Ws = S.width();
    const int Hs = S.height();
    QImage D(qMax(0, Wd), qMax(0, Hd), QImage::Format_RGB888);
    if (Wd > 0 && Hd > 0)
        requireAllocated(D);
    if (Ws == 0 || Hs == 0 || Wd <= 0 || Hd <= 0) {
        D.fill(Qt::white);
        bitmap = D;
        return;
    }
    auto px = [&S](int x, int y) { return S.constScanLine(y) + 3 * x; };
    for (int y = 0; y < Hd; ++y) {
        uchar* out = D.scanLine(y);
        double fy = static_cast<double>(Hs) * y / Hd - 0.5;
        int iy = static_cast<int>(fy);
        iy = qBound(0, iy, Hs - 1);
        fy = qMax(0.0, qMin(fy, static_cast<double>(Hs - 1)));
        for (int x = 0; x < Wd; ++x) {
            double fx = static_cast<double>(Ws) * x / Wd - 0.5;
            int ix = static_cast<int>(fx);
            ix = qBound(0, ix, Ws - 1);
            fx = qMax(0.0, qMin(fx, static_cast<double>(Ws - 1)));
            uchar* o = out + 3 * x;
            if (ix == fx && iy == fy) {
                const uchar* s = px(ix, iy);
                o[0] = s[0];
                o[1] = s[1];
                o[2] = s[2];
                continue;
            }
            const int x0 = static_cast<int>(std::floor(fx));
            const int y0 = static_cast<int>(std::floor(fy));
            const double dx = fx - x0;
            const double dy = fy - y0;
            const uchar* n[4];
            double w[4];
            int count;
            if (dx == 0) {
                n[0] = px(x0, y0), w[0] = 1.0 / dy;
                n[1] = px(x0, y0 + 1), w[1] = 1.0 / (1.0 - dy);
                count = 2;
            } else if (dy == 0) {
                n[0] = px(x0, y0), w[0] = 1.0 / dx;
                n[1] = px(x0 + 1, y0), w[1] = 1.0 / (1.0 - dx);
                count = 2;
            } else {
                n[0] = px(x0, y0), w[0] = 1.0 / std::sqrt(dx * dx + dy * dy);
                n[1] = px(x0 + 1, y0), w[1] = 1.0 / std::sqrt((1 - dx) * (1 - dx) + dy * dy);
                n[2] = px(x0, y0 + 1), w[2] = 1.0 / std::sqrt(dx * dx + (1 - dy) * (1 - dy));
                n[3] = px(x0 + 1, y0 + 1), w[3] = 1.0 / std::sqrt((1 - dx) * (1 - dx) + (1 - dy) * (1 - dy));
                count = 4;
            }
            double sw = 0;
            for (int k = 0; k < count; ++k)
                sw += w[k];
            for (int ch = 0; ch < 3; ++ch) {
                double sum = 0;
                for (int k = 0; k < count; ++k)
                    sum += w[k] * n[k][ch];
                // The tiny bias keeps an average of equal values from
                // truncating to one below them through rounding error.
                o[ch] = static_cast<uchar>(qBound(0, static_cast<int>(sum / sw + 1e-9), 255));
            }
        }
    }
    bitmap = D;
}

QImage FitBitmapInto(const QImage& source, int boxWidth, int boxHeight)
{
    QImage img = source.convertToFormat(QImage::Format_RGB888);
    if (!source.isNull())
        requireAllocated(img);
    const Fit f = FitToBox(boxWidth, boxHeight, img.width(), img.height());
    ResampleBitmap(img, f.rect.width(), f.rect.height());
    return img;
}

namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool cutShort = false;
    int writeError = 0;  // errno of a failed write of the output file
};

void jpegErrorExit(j_common_ptr info)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(info->err);
    if (info->err->msg_code == JERR_FILE_WRITE)
        err->writeError = errno != 0 ? errno : ENOSPC;
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

// Data that ends early (the file, or a segment before its marker) decodes as
// grey from there on: it is refused, and at once, so that a header claiming
// a huge size over a few bytes costs nothing. Other warnings are counted
// silently as libjpeg does.
void jpegEmitMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    if (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER) {
        auto* err = reinterpret_cast<JpegErrorManager*>(info->err);
        err->cutShort = true;
        (*info->err->format_message)(info, err->message);
        std::longjmp(err->jump, 1);
    }
    ++info->err->num_warnings;
}

// libjpeg's own working memory (whole-image buffers of progressive files)
// stays under this; beyond it the decoder fails instead of growing.
constexpr long kJpegWorkingMemory = 1024L * 1024 * 1024;

const QString kWriteError = QStringLiteral("Error writing JPEG to file");

enum class JpegOutcome { Ok, Unreadable, CutShort, TooLarge, OutOfMemory };

// The decoder state lives with the caller, so nothing the decoding changes
// is a local of the function that calls setjmp.
struct JpegDecoder {
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    std::FILE* in = nullptr;
    QSize declared;
};

// Decodes into *out; grey chooses the 8-bit output. Only the header is read
// when out is null.
JpegOutcome runJpegDecoder(JpegDecoder* d, int scaleCode, int greyChoice, QImage* out)
{
    d->cinfo.err = jpeg_std_error(&d->err.base);
    d->err.base.error_exit = jpegErrorExit;
    d->err.base.emit_message = jpegEmitMessage;
    if (setjmp(d->err.jump)) {
        jpeg_destroy_decompress(&d->cinfo);
        return d->err.cutShort ? JpegOutcome::CutShort : JpegOutcome::Unreadable;
    }
    jpeg_create_decompress(&d->cinfo);
    d->cinfo.mem->max_memory_to_use = kJpegWorkingMemory;
    jpeg_stdio_src(&d->cinfo, d->in);
    jpeg_read_header(&d->cinfo, TRUE);
    d->declared = QSize(static_cast<int>(d->cinfo.image_width), static_cast<int>(d->cinfo.image_height));
    if (static_cast<qint64>(d->cinfo.image_width) * d->cinfo.image_height > kMaxPicturePixels) {
        jpeg_destroy_decompress(&d->cinfo);
        return JpegOutcome::TooLarge;
    }
    if (d->cinfo.num_components != 1 && d->cinfo.num_components != 3) {
        jpeg_destroy_decompress(&d->cinfo);
        return JpegOutcome::Unreadable;
    }
    if (!out) {
        jpeg_destroy_decompress(&d->cinfo);
        return JpegOutcome::Ok;
    }
    // greyChoice: 1 grey, 0 colour, -1 as the file is.
    const bool grey = greyChoice < 0 ? d->cinfo.num_components == 1 : greyChoice == 1;
    d->cinfo.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    d->cinfo.scale_num = 1;
    d->cinfo.scale_denom = 1u << qBound(0, scaleCode, 3);
    jpeg_calc_output_dimensions(&d->cinfo);
    *out = QImage(static_cast<int>(d->cinfo.output_width), static_cast<int>(d->cinfo.output_height),
                  grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (out->isNull()) {
        jpeg_destroy_decompress(&d->cinfo);
        return JpegOutcome::OutOfMemory;
    }
    jpeg_start_decompress(&d->cinfo);
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(d->cinfo.output_scanline));
        jpeg_read_scanlines(&d->cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d->cinfo);
    jpeg_destroy_decompress(&d->cinfo);
    return JpegOutcome::Ok;
}

JpegOutcome decodeJpeg(const QString& fileName, int scaleCode, int greyChoice, QImage* out, QSize* declared = nullptr)
{
    JpegDecoder d;
    d.in = std::fopen(QFile::encodeName(fileName).constData(), "rb");
    if (!d.in)
        return JpegOutcome::Unreadable;
    QImage image;
    const JpegOutcome outcome = runJpegDecoder(&d, scaleCode, greyChoice, out ? &image : nullptr);
    std::fclose(d.in);
    if (declared)
        *declared = d.declared;
    if (outcome == JpegOutcome::Ok && out)
        *out = image;
    return outcome;
}

}  // namespace

void SaveBitmapAsJpeg(const QImage& bitmap, const QString& fileName, int quality, bool syncToDisk)
{
    const bool grey = bitmap.format() == QImage::Format_Grayscale8
        || (bitmap.format() == QImage::Format_Indexed8 && bitmap.isGrayscale());
    if (bitmap.format() != QImage::Format_RGB888 && !grey)
        throw ImageError(kWriteError, QStringLiteral("Cannot save bitmap as JPEG with specified PixelFormat"));
    const QImage img = grey ? bitmap.convertToFormat(QImage::Format_Grayscale8) : bitmap;
    if (img.isNull())
        throw ImageError(kWriteError, outOfMemoryText());
    const QString part = fileName + QStringLiteral(".part");
    std::FILE* out = std::fopen(QFile::encodeName(part).constData(), "wb");
    if (!out)
        throw ImageError(kWriteError, QStringLiteral("%1 : %2").arg(part, core::SystemErrorText(errno)));

    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = jpegErrorExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::fclose(out);
        QFile::remove(part);
        throw ImageError(kWriteError,
                         err.writeError != 0 ? core::SystemErrorText(err.writeError)
                                             : QString::fromLocal8Bit(err.message));
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = static_cast<JDIMENSION>(img.width());
    cinfo.image_height = static_cast<JDIMENSION>(img.height());
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, qBound(1, quality, 100), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(img.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    // On disk before the rename, so that the name never shows a file whose
    // blocks a power cut could still lose.
    errno = 0;
    const bool flushed = std::fflush(out) == 0 && !std::ferror(out) && (!syncToDisk || ::fsync(fileno(out)) == 0);
    const int flushError = errno;
    const bool closed = std::fclose(out) == 0;
    if (!flushed || !closed) {
        const int why = flushError != 0 ? flushError : (errno != 0 ? errno : ENOSPC);
        QFile::remove(part);
        throw ImageError(kWriteError, QStringLiteral("%1 : %2").arg(part, core::SystemErrorText(why)));
    }
    // rename() replaces the old file in one step; removing it first would
    // leave no picture at all if the process died in between.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(fileName).constData()) != 0) {
        QFile::remove(part);
        throw ImageError(kWriteError, QStringLiteral("%1 : %2").arg(fileName, core::SystemErrorText(errno)));
    }
    if (syncToDisk)
        core::syncDirectory(QFileInfo(fileName).absolutePath());
}

bool LoadJpegIntoBitmap(QImage* bitmap, const QString& fileName, bool takeJpegFormat, int scaleCode)
{
    if (!bitmap || !QFile::exists(fileName))
        return false;
    const bool own8 = bitmap->format() == QImage::Format_Grayscale8;
    const bool own24 = bitmap->format() == QImage::Format_RGB888;
    if (!takeJpegFormat && !own8 && !own24)
        return false;
    QImage out;
    if (decodeJpeg(fileName, scaleCode, takeJpegFormat ? -1 : (own8 ? 1 : 0), &out) != JpegOutcome::Ok)
        return false;
    *bitmap = out;
    return true;
}

QImage ReadPictureFile(const QString& fileName, bool jpeg, const QSize& reducedBox)
{
    const QString unreadable = QStringLiteral("Le fichier \"%1\" n'est pas une image lisible.").arg(fileName);
    auto tooLarge = [&fileName](const QSize& size) {
        return ImageError(QStringLiteral("L'image \"%1\" est trop grande (%2 × %3 pixels) : le logiciel accepte au "
                                         "plus %4 millions de pixels.")
                              .arg(fileName)
                              .arg(size.width())
                              .arg(size.height())
                              .arg(kMaxPicturePixels / 1'000'000));
    };
    QImage picture;
    if (jpeg) {
        if (!QFileInfo(fileName).isFile())
            throw ImageError(unreadable);
        int scaleCode = 0;
        QSize declared;
        if (reducedBox.isValid() && decodeJpeg(fileName, 0, -1, nullptr, &declared) == JpegOutcome::Ok) {
            // Reduced while the result still covers the box.
            auto side = [](int full, int code) { return (full + (1 << code) - 1) >> code; };
            while (scaleCode < 3
                   && static_cast<qint64>(side(declared.width(), scaleCode)) * side(declared.height(), scaleCode)
                       > kFullScaleDecodePixels
                   && side(declared.width(), scaleCode + 1) >= reducedBox.width()
                   && side(declared.height(), scaleCode + 1) >= reducedBox.height())
                ++scaleCode;
        }
        switch (decodeJpeg(fileName, scaleCode, -1, &picture, &declared)) {
        case JpegOutcome::Ok: break;
        case JpegOutcome::Unreadable: throw ImageError(unreadable);
        case JpegOutcome::CutShort:
            throw ImageError(QStringLiteral("Le fichier \"%1\" est une image incomplète ou endommagée.").arg(fileName));
        case JpegOutcome::TooLarge: throw tooLarge(declared);
        case JpegOutcome::OutOfMemory:
            throw ImageError(QStringLiteral("Mémoire insuffisante pour lire l'image \"%1\".").arg(fileName));
        }
    } else {
        QImageReader reader(fileName);
        reader.setDecideFormatFromContent(true);
        // Qt's own limit (128 MB) would refuse ordinary camera pictures;
        // the pixel budget is checked on the header instead.
        reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 64);
        const QSize size = reader.size();
        if (size.isValid() && static_cast<qint64>(size.width()) * size.height() > kMaxPicturePixels)
            throw tooLarge(size);
        picture = reader.read();
        if (picture.isNull())
            throw ImageError(unreadable, reader.errorString());
    }
    if (picture.width() == 0 || picture.height() == 0)
        throw ImageError(unreadable);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        throw ImageError(QStringLiteral("Mémoire insuffisante pour lire l'image \"%1\".").arg(fileName));
    return rgb;
}

void RotateBitmap(QImage& bitmap, int angle)
{
    const QImage src = bitmap.convertToFormat(QImage::Format_RGB888);
    if (!bitmap.isNull())
        requireAllocated(src);
    const int W = src.width();
    const int H = src.height();
    if (angle != 90 && angle != 270) {
        bitmap = src;
        return;
    }
    QImage dst(H, W, QImage::Format_RGB888);
    if (W > 0 && H > 0)
        requireAllocated(dst);
    for (int y = 0; y < W; ++y) {
        uchar* out = dst.scanLine(y);
        for (int x = 0; x < H; ++x) {
            // Clockwise: the new row y is the old column y read bottom to top.
            const int sx = angle == 90 ? y : W - 1 - y;
            const int sy = angle == 90 ? H - 1 - x : x;
            const uchar* s = src.constScanLine(sy) + 3 * sx;
            out[3 * x] = s[0];
            out[3 * x + 1] = s[1];
            out[3 * x + 2] = s[2];
        }
    }
    bitmap = dst;
}

QString MakeFileNameSafe(const QString& name)
{
    QString out = name;
    for (QChar& c : out) {
        switch (c.unicode()) {
        case u'/':
        case u'\\':
        case u':':
        case u'*':
        case u'?':
        case u'"':
        case u'<':
        case u'>':
        case u'|': c = QLatin1Char('_'); break;
        default: break;
        }
    }
    return out;
}

QImage MakeThumbnail(const QImage& source, int width, int height)
{
    QImage picture = source.convertToFormat(QImage::Format_RGB888);
    if (!source.isNull())
        requireAllocated(picture);
    const Fit f = FitToBox(width, height, picture.width(), picture.height());
    ResampleBitmap(picture, f.rect.width(), f.rect.height());
    QImage thumb(width, height, QImage::Format_RGB888);
    if (width > 0 && height > 0)
        requireAllocated(thumb);
    thumb.fill(Qt::white);
    const int left = static_cast<int>((width - picture.width()) / 2.0);
    const int top = static_cast<int>((height - picture.height()) / 2.0);
    for (int y = 0; y < picture.height(); ++y) {
        const int ty = top + y;
        if (ty < 0 || ty >= height)
            continue;
        for (int x = 0; x < picture.width(); ++x) {
            const int tx = left + x;
            if (tx < 0 || tx >= width)
                continue;
            const uchar* s = picture.constScanLine(y) + 3 * x;
            uchar* d = thumb.scanLine(ty) + 3 * tx;
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    return thumb;
}

QByteArray BitmapFileBytes(const QImage& image)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB888);
    const int w = img.width();
    const int h = img.height();
    const int stride = (w * 3 + 3) & ~3;
    const quint32 pixels = static_cast<quint32>(stride) * static_cast<quint32>(h);
    QByteArray out(14 + 40 + static_cast<qsizetype>(pixels), '\0');
    uchar* p = reinterpret_cast<uchar*>(out.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(static_cast<quint32>(out.size()), p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(w, p + 18);
    qToLittleEndian<qint32>(h, p + 22);  // positive: rows bottom-up
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    qToLittleEndian<quint32>(pixels, p + 34);
    qToLittleEndian<qint32>(3780, p + 38);
    qToLittleEndian<qint32>(3780, p + 42);
    for (int y = 0; y < h; ++y) {
        const uchar* s = img.constScanLine(h - 1 - y);
        uchar* d = p + 54 + static_cast<size_t>(y) * stride;
        for (int x = 0; x < w; ++x) {
            d[3 * x] = s[3 * x + 2];  // blue, green, red
            d[3 * x + 1] = s[3 * x + 1];
            d[3 * x + 2] = s[3 * x];
        }
    }
    return out;
}

QImage ImageFromBlob(const QByteArray& blob)
{
    QImage img;
    if (!blob.startsWith("BM") || !img.loadFromData(blob, "BMP"))
        return {};
    return img;
}

}  // namespace images
