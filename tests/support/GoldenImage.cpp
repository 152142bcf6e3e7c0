#include "GoldenImage.h"

#include <QDir>

#include <gtest/gtest.h>

namespace testing_support {

int DifferingPixels(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) > 48 || qAbs(qGreen(p) - qGreen(q)) > 48 || qAbs(qBlue(p) - qBlue(q)) > 48)
                ++n;
        }
    }
    return n;
}

void ExpectGolden(const QImage& image, const QString& directory, const QString& name, int tolerance)
{
    const QString path = directory + QLatin1Char('/') + name;
    if (qEnvironmentVariableIsSet("PLANNING_UPDATE_GOLDEN")) {
        QDir().mkpath(directory);
        ASSERT_TRUE(image.save(path));
        return;
    }
    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(golden.isNull()) << path.toStdString();
    ASSERT_EQ(golden.size(), image.size());
    EXPECT_LE(DifferingPixels(golden, image.convertToFormat(QImage::Format_RGB32)),
              image.width() * image.height() / tolerance)
        << name.toStdString();
}

}  // namespace testing_support
