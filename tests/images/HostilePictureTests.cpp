#include "images/ImageRoutines.h"

#include "../support/Faults.h"
#include "../support/Sandbox.h"

#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

using namespace images;
using testing_support::Sandbox;

namespace {

QString fixture(const char* name)
{
    return QStringLiteral(PLANNING_SOURCE_DIR "/tests/images/fixtures/") + QString::fromLatin1(name);
}

}  // namespace

// Broken and hostile files are refused with a French message, never decoded
// into a crash or a long stall; the bitmap given to the loader is untouched.
TEST(HostilePictures, RefusedWithAClearMessage)
{
    const struct {
        const char* file;
        bool jpeg;
        const char* message;
    } cases[] = {
        {"empty.jpg", true, "n'est pas une image lisible"},
        {"not-an-image.jpg", true, "n'est pas une image lisible"},
        {"truncated.jpg", true, "image incomplète ou endommagée"},
        {"huge-header.jpg", true, "est trop grande (60000 × 60000 pixels)"},  // claims 3.6 billion pixels
        {"large-header.jpg", true, "image incomplète ou endommagée"},         // 10000 × 10000 over 1 KB
        {"huge-header.bmp", false, "est trop grande (15000 × 15000 pixels)"},
        {"not-an-image.jpg", false, "n'est pas une image lisible"},
        {"empty.jpg", false, "n'est pas une image lisible"},
    };
    for (const auto& c : cases) {
        for (const QSize box : {QSize(), QSize(105, 105)}) {
            try {
                ReadPictureFile(fixture(c.file), c.jpeg, box);
                ADD_FAILURE() << c.file << " was read";
            } catch (const ImageError& e) {
                EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message))) << e.message().toStdString();
                EXPECT_TRUE(e.message().contains(QString::fromLatin1(c.file))) << e.message().toStdString();
            }
        }
        if (c.jpeg) {
            QImage bitmap(3, 2, QImage::Format_RGB888);
            bitmap.fill(Qt::red);
            for (int code = 0; code < 4; ++code)
                EXPECT_FALSE(LoadJpegIntoBitmap(&bitmap, fixture(c.file), true, code)) << c.file << " " << code;
            EXPECT_EQ(bitmap.size(), QSize(3, 2));
        }
    }
    const QImage sound = ReadPictureFile(fixture("small.jpg"), true);
    EXPECT_EQ(sound.size(), QSize(64, 48));
    EXPECT_EQ(sound.format(), QImage::Format_RGB888);
}

// A large picture is decoded scaled down when only a reduced picture is
// needed, never below the box; a small one at full scale as before.
TEST(HostilePictures, LargeJpegDecodedReducedForABox)
{
    Sandbox s(false);
    const QString file = s.root() + QStringLiteral("big.jpg");
    QImage big(7000, 4000, QImage::Format_RGB888);
    big.fill(QColor(40, 160, 90));
    SaveBitmapAsJpeg(big, file, 75);
    big = QImage();
    EXPECT_EQ(ReadPictureFile(file, true, QSize(105, 105)).size(), QSize(3500, 2000));  // 28 Mpx: half scale
    EXPECT_EQ(ReadPictureFile(fixture("small.jpg"), true, QSize(105, 105)).size(), QSize(64, 48));
    const QImage full = ReadPictureFile(file, true);
    EXPECT_EQ(full.size(), QSize(7000, 4000));
    const QColor centre = full.pixelColor(3500, 2000);
    EXPECT_NEAR(centre.green(), 160, 3);
    EXPECT_NEAR(centre.blue(), 90, 3);
}

// Genuine camera-sized pictures pass although Qt's own reader limit (128 MB)
// would refuse them.
TEST(HostilePictures, CameraSizedBitmapIsAccepted)
{
    Sandbox s(false);
    const QString file = s.root() + QStringLiteral("camera.png");
    {
        QImage img(8000, 6000, QImage::Format_RGB32);
        img.fill(QColor(200, 100, 50));
        ASSERT_TRUE(img.save(file, "PNG", 100));
    }
    const QImage read = ReadPictureFile(file, false);
    EXPECT_EQ(read.size(), QSize(8000, 6000));
    EXPECT_EQ(read.pixelColor(7999, 5999), QColor(200, 100, 50));
}

// The JPEG writer on a full disk: the old file stays and the failure is raised.
TEST(HostilePictures, JpegWriterOnAFullDiskKeepsTheOldFile)
{
    Sandbox s(false);
    testing_support::SmallDisk disk(s.root() + QStringLiteral("disk"), 512 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    const QString file = disk.directory() + QStringLiteral("/People1.jpg");
    QImage noise(400, 300, QImage::Format_RGB888);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixelColor(x, y, QColor((x * 37 + y * 11) % 256, (x * y) % 256, (x ^ y) % 256));
    int failed = 0;
    for (int pages = 0; pages <= 120; pages += 8) {
        disk.removeFiller();
        Sandbox::writeFile(file, "old picture");
        disk.fillLeaving(pages * 4096);
        bool ok = true;
        try {
            SaveBitmapAsJpeg(noise, file, 100);
        } catch (const ImageError& e) {
            ok = false;
            ++failed;
            EXPECT_EQ(e.message(), QStringLiteral("Error writing JPEG to file"));
        }
        if (ok)
            EXPECT_EQ(QImageReader(file).size(), QSize(400, 300)) << pages;
        else
            EXPECT_EQ(Sandbox::readFile(file), QByteArray("old picture")) << pages;
        EXPECT_FALSE(QFile::exists(file + QStringLiteral(".part")));
    }
    EXPECT_GT(failed, 0);
}
