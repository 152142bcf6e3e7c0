#pragma once

#include "core/UserError.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <stdexcept>

namespace images {

// A failure of the picture routines; message() is what the user is shown.
class ImageError : public core::UserError {
public:
    using UserError::UserError;
};

struct Fit {
    QRect rect;  // left, top, width, height inside the box
    bool scaled = false;
};

// Where an image of W × H goes in a box of A × B, proportions kept, never enlarged.
Fit FitToBox(int boxWidth, int boxHeight, int imageWidth, int imageHeight);

// Replaces the bitmap by a 24-bit copy of the new size, each channel the
// inverse-distance average of the neighbours of the source position.
void ResampleBitmap(QImage& bitmap, int newWidth, int newHeight);

// The source scaled into the box (ResampleBitmap to the FitToBox size); no
// centring and no background.
QImage FitBitmapInto(const QImage& source, int boxWidth, int boxHeight);

// Writes a baseline JPEG (three YCbCr components; one grey component for an
// 8-bit bitmap) at the quality, through a temporary file. Throws ImageError
// "Error writing JPEG to file"; any format other than 24-bit or 8-bit is
// refused with the detail "Cannot save bitmap as JPEG with specified PixelFormat".
// syncToDisk false skips the flush to disk (the name still never shows half
// a file): for scratch output regenerated on every run, such as HTML pages.
void SaveBitmapAsJpeg(const QImage& bitmap, const QString& fileName, int quality, bool syncToDisk = true);

// Decodes the file at scale 1/1, 1/2, 1/4 or 1/8 (code 0..3). With
// takeJpegFormat a grey JPEG gives an 8-bit bitmap and a colour one a 24-bit
// bitmap; without it the bitmap keeps its own format (8-bit or 24-bit, else
// false). False when the bitmap is null, the file is missing, undecodable,
// cut short, beyond kMaxPicturePixels, or when memory runs out.
bool LoadJpegIntoBitmap(QImage* bitmap, const QString& fileName, bool takeJpegFormat, int scaleCode);

// The largest picture the routines decode, in pixels (12000 × 10000): a
// header beyond it is refused before anything is allocated.
constexpr qint64 kMaxPicturePixels = 120'000'000;
// Above this many pixels a JPEG read only for a reduced picture is decoded
// at 1/2, 1/4 or 1/8 scale.
constexpr qint64 kFullScaleDecodePixels = 25'000'000;

// Reads a picture file as a 24-bit image: a JPEG (by its extension) with
// LoadJpegIntoBitmap, any other format by its content. When reducedBox is
// given the caller only needs the picture fitted into it, and a large JPEG
// is decoded at a reduced scale that still covers the box. Throws
// ImageError with a French message when the file is not a readable
// picture, is cut short, exceeds kMaxPicturePixels or memory runs out.
QImage ReadPictureFile(const QString& fileName, bool jpeg, const QSize& reducedBox = {});

// Rotates clockwise (90) or anticlockwise (270); the result is 24-bit.
void RotateBitmap(QImage& bitmap, int angle);

// Replaces / \ : * ? " < > | by "_".
QString MakeFileNameSafe(const QString& name);

// A thumbnail: the picture fitted and resampled into Tw × Th, centred on white, 24-bit.
QImage MakeThumbnail(const QImage& source, int width, int height);

// A complete 24-bit Windows bitmap file image, as the blob columns hold.
QByteArray BitmapFileBytes(const QImage& image);
// Reads a bitmap blob of any depth; a null image when it is not one.
QImage ImageFromBlob(const QByteArray& blob);

}  // namespace images
