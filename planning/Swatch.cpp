#include "planning/Swatch.h"

#include "images/ImageRoutines.h"

#include <QPainter>

namespace planning {

namespace {

inline QRgb addToPixel(QRgb p, int a)
{
    return qRgb(qBound(0, qRed(p) + a, 255), qBound(0, qGreen(p) + a, 255), qBound(0, qBlue(p) + a, 255));
}

}  // namespace

void LightenImage(QImage& image, int amount)
{
    if (amount == 0)
        return;
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = addToPixel(line[x], amount);
    }
}

QImage RenderSwatchUnreduced(int width, int height, int penWidth, int spacing, int bevelDepth, int scale,
                             quint32 background, quint32 hatchColor, TBrushStyle style)
{
    const int w = qMax(0, width) * scale;
    const int h = qMax(0, height) * scale;
    if (w <= 0 || h <= 0)
        return {};
    QImage big(w, h, QImage::Format_RGB32);
    big.fill(ColorFromRef(background));

    const bool horizontal = style == bsHorizontal || style == bsCross;
    const bool vertical = style == bsVertical || style == bsCross;
    const bool rising = style == bsBDiagonal || style == bsDiagCross;
    const bool falling = style == bsFDiagonal || style == bsDiagCross;
    if (horizontal || vertical || rising || falling) {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(ColorFromRef(hatchColor), penWidth, Qt::SolidLine, Qt::FlatCap));
        int counter = 5;
        for (int i = 0; i <= w + 50; ++i) {
            if (counter != spacing) {
                ++counter;
                continue;
            }
            counter = 0;
            // The end point itself is not drawn, as with the original line primitive.
            if (horizontal)
                p.drawLine(QPoint(0, i), QPoint(w, i));
            if (vertical)
                p.drawLine(QPoint(i, 0), QPoint(i, h));
            if (rising)
                p.drawLine(QPointF(0, i), QPointF(i, 0));
            if (falling)
                p.drawLine(QPointF(0, h - i), QPointF(i, h));
        }
    }

    auto add = [&big, w, h](int x, int y, int a) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return;
        auto* line = reinterpret_cast<QRgb*>(big.scanLine(y));
        line[x] = addToPixel(line[x], a);
    };
    for (int i = 0; i <= bevelDepth; ++i) {
        const int a = 100 - 15 * i;
        for (int x = i; x <= w - i; ++x)
            add(x, i, a);
        for (int y = i; y <= h - i; ++y)
            add(i, y, a);
        for (int x = i; x <= w - i; ++x)
            add(x, h - 1 - i, -a);
        for (int y = i; y <= h - i; ++y)
            add(w - 1 - i, y, -a);
    }

    return big;
}

QImage RenderSwatch(int width, int height, int penWidth, int spacing, int bevelDepth, int scale, quint32 background,
                    quint32 hatchColor, TBrushStyle style, int lighten)
{
    if (width <= 0 || height <= 0 || scale <= 0)
        return QImage(qMax(0, width), qMax(0, height), QImage::Format_RGB32);
    QImage small =
        RenderSwatchUnreduced(width, height, penWidth, spacing, bevelDepth, scale, background, hatchColor, style);
    images::ResampleBitmap(small, width, height);
    small = small.convertToFormat(QImage::Format_RGB32);
    LightenImage(small, lighten);
    return small;
}

}  // namespace planning
