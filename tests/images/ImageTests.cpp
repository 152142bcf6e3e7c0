#include "images/ImageFiles.h"
#include "images/ImageRoutines.h"

#include "../support/Sandbox.h"

#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

using namespace images;
using testing_support::Sandbox;

TEST(FitToBox, Cases)
{
    const struct {
        int A, B, W, H;
        QRect expected;
        bool scaled;
    } cases[] = {
        {105, 105, 300, 200, QRect(0, 17, 105, 70), true},   // wide
        {105, 105, 200, 300, QRect(17, 0, 70, 105), true},   // upright
        {105, 105, 50, 50, QRect(27, 27, 50, 50), false},    // small: never enlarged
        {105, 105, 105, 105, QRect(0, 0, 105, 105), false},  // exactly the box
        {5000, 5000, 10000, 5000, QRect(0, 1250, 5000, 2500), true},
        {100, 50, 300, 300, QRect(0, 0, 100, 50), true},  // a square larger both ways fills the box
        {100, 50, 80, 80, QRect(25, 0, 50, 50), true},    // larger one way only: fitted to the smaller side
        {100, 40, 300, 100, QRect(0, 3, 100, 33), true},  // wide, fits by width
        {100, 40, 150, 100, QRect(20, 0, 60, 40), true},  // wide, too tall by width: fitted by height
    };
    for (const auto& c : cases) {
        const Fit f = FitToBox(c.A, c.B, c.W, c.H);
        EXPECT_EQ(f.rect, c.expected) << c.A << "x" << c.B << " " << c.W << "x" << c.H;
        EXPECT_EQ(f.scaled, c.scaled);
    }
}

TEST(ResampleBitmap, ExactPixelsAndInverseDistanceAverages)
{
    QImage src(2, 1, QImage::Format_RGB888);
    src.setPixelColor(0, 0, QColor(0, 0, 0));
    src.setPixelColor(1, 0, QColor(200, 100, 50));
    QImage same = src;
    ResampleBitmap(same, 2, 1);
    // x=0: fx=-0.5 limited to 0 -> exact; x=1: fx=0.5 -> halfway, equal weights.
    EXPECT_EQ(same.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(same.pixelColor(1, 0), QColor(100, 50, 25));
    EXPECT_EQ(same.format(), QImage::Format_RGB888);

    QImage up = src;
    ResampleBitmap(up, 4, 1);
    // x=1: fx=0 exact; x=2: fx=0.5; x=3: fx=1 exact.
    EXPECT_EQ(up.pixelColor(1, 0), QColor(0, 0, 0));
    EXPECT_EQ(up.pixelColor(2, 0), QColor(100, 50, 25));
    EXPECT_EQ(up.pixelColor(3, 0), QColor(200, 100, 50));

    QImage big(10000, 5000, QImage::Format_RGB888);
    big.fill(QColor(10, 20, 30));
    const Fit f = FitToBox(5000, 5000, big.width(), big.height());
    ResampleBitmap(big, f.rect.width(), f.rect.height());
    EXPECT_EQ(big.size(), QSize(5000, 2500));
    EXPECT_EQ(big.pixelColor(4999, 2499), QColor(10, 20, 30));
}

TEST(Thumbnail, CentredOnWhiteIn24BitBitmap)
{
    QImage photo(300, 200, QImage::Format_RGB888);
    photo.fill(QColor(200, 0, 0));
    const QImage thumb = MakeThumbnail(photo, 105, 105);
    EXPECT_EQ(thumb.size(), QSize(105, 105));
    EXPECT_EQ(thumb.pixelColor(50, 16), QColor(Qt::white));
    EXPECT_EQ(thumb.pixelColor(50, 17), QColor(200, 0, 0));
    EXPECT_EQ(thumb.pixelColor(50, 86), QColor(200, 0, 0));
    EXPECT_EQ(thumb.pixelColor(50, 87), QColor(Qt::white));
    QImage tiny(50, 50, QImage::Format_RGB888);
    tiny.fill(Qt::blue);
    const QImage small = MakeThumbnail(tiny, 105, 105);
    EXPECT_EQ(small.pixelColor(26, 27), QColor(Qt::white));
    EXPECT_EQ(small.pixelColor(27, 27), QColor(Qt::blue));
    EXPECT_EQ(small.pixelColor(76, 76), QColor(Qt::blue));
    EXPECT_EQ(small.pixelColor(77, 77), QColor(Qt::white));

    const QByteArray blob = BitmapFileBytes(thumb);
    EXPECT_TRUE(blob.startsWith("BM"));
    EXPECT_EQ(static_cast<uchar>(blob.at(28)), 24);  // bits per pixel
    EXPECT_EQ(blob.size(), 54 + 316 * 105);          // rows of 315 bytes padded to 316
    const QImage back = ImageFromBlob(blob);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), QSize(105, 105));
    EXPECT_EQ(back.pixelColor(50, 17), QColor(200, 0, 0));
    EXPECT_EQ(back.pixelColor(50, 16), QColor(Qt::white));
    EXPECT_TRUE(ImageFromBlob(QByteArray("not a bitmap")).isNull());
}

TEST(RotateBitmap, QuarterTurnsAndIdentity)
{
    QImage img(3, 2, QImage::Format_RGB888);
    img.fill(Qt::white);
    img.setPixelColor(0, 0, Qt::red);    // top left
    img.setPixelColor(2, 1, Qt::green);  // bottom right
    QImage cw = img;
    RotateBitmap(cw, 90);
    EXPECT_EQ(cw.size(), QSize(2, 3));
    EXPECT_EQ(cw.pixelColor(1, 0), QColor(Qt::red));    // top left goes top right
    EXPECT_EQ(cw.pixelColor(0, 2), QColor(Qt::green));  // bottom right goes bottom left
    QImage acw = img;
    RotateBitmap(acw, 270);
    EXPECT_EQ(acw.pixelColor(0, 2), QColor(Qt::red));  // top left goes bottom left
    QImage four = img;
    for (int i = 0; i < 4; ++i)
        RotateBitmap(four, 90);
    EXPECT_EQ(four, img.convertToFormat(QImage::Format_RGB888));
    RotateBitmap(cw, 270);
    EXPECT_EQ(cw, img);
}

TEST(Jpeg, WritesAndReadsAtFourScales)
{
    Sandbox s(false);
    QImage img(101, 57, QImage::Format_RGB888);
    img.fill(QColor(0, 128, 255));
    const QString file = s.root() + QStringLiteral("p.jpg");
    SaveBitmapAsJpeg(img, file, 90);
    EXPECT_EQ(QImageReader(file).size(), QSize(101, 57));
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".part")));
    const QSize expected[] = {{101, 57}, {51, 29}, {26, 15}, {13, 8}};
    for (int code = 0; code < 4; ++code) {
        QImage out(1, 1, QImage::Format_Grayscale8);
        ASSERT_TRUE(LoadJpegIntoBitmap(&out, file, true, code)) << code;
        EXPECT_EQ(out.size(), expected[code]) << code;
        EXPECT_EQ(out.format(), QImage::Format_RGB888);
    }
    // Without the flag the bitmap keeps its format; others are refused.
    QImage grey(1, 1, QImage::Format_Grayscale8);
    ASSERT_TRUE(LoadJpegIntoBitmap(&grey, file, false, 0));
    EXPECT_EQ(grey.format(), QImage::Format_Grayscale8);
    QImage argb(1, 1, QImage::Format_ARGB32);
    EXPECT_FALSE(LoadJpegIntoBitmap(&argb, file, false, 0));
    EXPECT_FALSE(LoadJpegIntoBitmap(nullptr, file, true, 0));
    EXPECT_FALSE(LoadJpegIntoBitmap(&grey, s.root() + QStringLiteral("none.jpg"), true, 0));
    Sandbox::writeFile(s.root() + QStringLiteral("bad.jpg"), "not a jpeg");
    EXPECT_FALSE(LoadJpegIntoBitmap(&grey, s.root() + QStringLiteral("bad.jpg"), true, 0));

    // A grey bitmap is written with one component.
    QImage g8(20, 10, QImage::Format_Grayscale8);
    g8.fill(100);
    SaveBitmapAsJpeg(g8, s.root() + QStringLiteral("g.jpg"), 80);
    QImage back(1, 1, QImage::Format_RGB888);
    ASSERT_TRUE(LoadJpegIntoBitmap(&back, s.root() + QStringLiteral("g.jpg"), true, 0));
    EXPECT_EQ(back.format(), QImage::Format_Grayscale8);
}

TEST(Jpeg, FailuresKeepTheOldFile)
{
    Sandbox s(false);
    const QString file = s.root() + QStringLiteral("keep.jpg");
    Sandbox::writeFile(file, "old");
    try {
        SaveBitmapAsJpeg(QImage(10, 10, QImage::Format_ARGB32), file, 90);
        FAIL();
    } catch (const ImageError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Error writing JPEG to file"));
        EXPECT_EQ(e.detail(), QStringLiteral("Cannot save bitmap as JPEG with specified PixelFormat"));
    }
    EXPECT_THROW(SaveBitmapAsJpeg(QImage(10, 10, QImage::Format_RGB888), s.root() + QStringLiteral("no/dir/x.jpg"), 90),
                 ImageError);
    EXPECT_EQ(Sandbox::readFile(file), QByteArray("old"));
}

TEST(FileNames, SafeNamesAndDeletion)
{
    EXPECT_EQ(MakeFileNameSafe(QStringLiteral("a/b\\c:d*e?f\"g<h>i|j.jpg")), QStringLiteral("a_b_c_d_e_f_g_h_i_j.jpg"));
    Sandbox s(false);
    const QString f = s.root() + QStringLiteral("People1.jpg");
    Sandbox::writeFile(f, "x");
    EXPECT_TRUE(DeleteImageFile(f));
    EXPECT_FALSE(QFile::exists(f));
    EXPECT_TRUE(DeleteImageFile(f));  // missing: no error
}
