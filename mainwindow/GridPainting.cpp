#include "mainwindow/GridPainting.h"

#include "planning/PlanningModel.h"
#include "planning/Swatch.h"

#include <QPainter>

namespace mainwindow {

using planning::ColorFromRef;

const QImage& DefaultPicture(int index)
{
    static const std::vector<QImage> pictures = [] {
        std::vector<QImage> list;
        for (int i = 0; i < 8; ++i) {
            QImage img(35, 35, QImage::Format_RGB32);
            img.fill(QColor(236, 240, 248));
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            if (i == 4) {
                // A project: a folder.
                p.setBrush(QColor(230, 180, 60));
                p.drawRoundedRect(QRectF(5, 10, 25, 18), 2, 2);
                p.setBrush(QColor(245, 205, 90));
                p.drawRoundedRect(QRectF(5, 7, 11, 6), 2, 2);
            } else {
                // A person: head and shoulders.
                p.setBrush(QColor(120, 140, 180));
                p.drawEllipse(QRectF(12, 5, 11, 11));
                p.drawRoundedRect(QRectF(7, 18, 21, 14), 7, 7);
            }
            list.push_back(img);
        }
        return list;
    }();
    return pictures.at(static_cast<size_t>(qBound(0, index, 7)));
}

QImage GridCommandPicture(int index)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(qRgb(255, 0, 255));
    QPainter p(&img);
    switch (index) {
    case 0:  // a green plus
        p.fillRect(7, 2, 3, 12, QColor(40, 150, 40));
        p.fillRect(2, 7, 12, 3, QColor(40, 150, 40));
        break;
    case 1:  // a pencil
        p.setPen(QPen(QColor(200, 140, 30), 3));
        p.drawLine(4, 12, 12, 4);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawLine(2, 14, 3, 13);
        break;
    default:  // a red cross
        p.setPen(QPen(QColor(200, 30, 30), 3));
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
        break;
    }
    return img;
}

void DrawFramedPicture(QPainter& p, const QRect& F, const QImage& picture, int n, int s, int t, quint32 frameColor,
                       quint32 fillColor, quint32 shadowBase)
{
    const int w = F.width();
    const int h = F.height();
    p.fillRect(F, ColorFromRef(fillColor));
    if (!picture.isNull())
        p.drawImage(F.left() + (w - picture.width()) / 2, F.top() + (h - picture.height()) / 2, picture);
    p.setPen(QPen(ColorFromRef(frameColor), 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(F.adjusted(0, 0, -1, -1));
    const int x0 = F.left() + n - 1;
    const int y0 = F.top() + n - 1;
    for (int k = 1; k <= n; ++k) {
        p.setPen(QPen(ColorFromRef(planning::ShiftColor(shadowBase, s + (k - 1) * t)), 0));
        const int x = x0 + w - n + k - 1;
        p.drawLine(x, y0 + k - 1, x, y0 + h - n + k - 1);
        const int y = y0 + h - n + k - 1;
        p.drawLine(x0 + k - 1, y, x0 + w - n + k - 1, y);
    }
}

namespace {

quint32 background(QPainter& p, const QRect& cell, bool selected, quint32 gridColor)
{
    if (selected) {
        const QRect inset = cell.adjusted(3, 2, -3, -2);
        p.setPen(QPen(ColorFromRef(15318951), 0));
        p.setBrush(ColorFromRef(16313575));
        p.drawRect(inset.adjusted(0, 0, -1, -1));
        return 16313575;
    }
    p.fillRect(cell, ColorFromRef(gridColor));
    return gridColor;
}

void drawLabel(QPainter& p, const QRect& r, const QString& text, int points, bool bold, bool italic)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(points);
    f.setBold(bold);
    f.setItalic(italic);
    p.setFont(f);
    p.setPen(Qt::black);
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    p.restore();
}

}  // namespace

void DrawObjectRow(QPainter& p, QRect cell, int clientWidth, bool selected, quint32 gridColor, const QString& entry,
                   const QImage& thumbnail)
{
    cell.setRight(cell.left() + clientWidth - 1);
    const quint32 bg = background(p, cell, selected, gridColor);
    DrawFramedPicture(p, QRect(selected ? 6 : 4, cell.top() + 5, 39, 39), thumbnail, 3, -120, 40, 14804710, 0xFFFFFF,
                      bg);
    drawLabel(p, QRect(QPoint(50, cell.top() + 12), QPoint(clientWidth - 5, cell.top() + 26)),
              planning::EntryField(entry, 4), 8, true, false);
    drawLabel(p, QRect(QPoint(50, cell.top() + 27), QPoint(clientWidth - 5, cell.top() + 38)),
              planning::EntryField(entry, 5), 8, false, true);
}

void DrawLegendItem(QPainter& p, const QRect& cell, bool selected, quint32 gridColor, const QString& entry)
{
    const quint32 bg = background(p, cell, selected, gridColor);
    const QImage swatch = planning::RenderSwatch(20, 20, 3, 12, 5, 2, planning::EntryField(entry, 1).toUInt(),
                                                 planning::EntryField(entry, 2).toUInt(),
                                                 planning::DecodeBrushStyle(planning::EntryField(entry, 3).toInt()), 0);
    DrawFramedPicture(p, QRect(cell.left() + (selected ? 6 : 4), cell.top() + 5, 20, 20), swatch, 2, -60, 40, 14804710,
                      0xFFFFFF, bg);
    drawLabel(p, QRect(QPoint(cell.left() + 30, cell.top() + 4), QPoint(cell.right() - 5, cell.bottom())),
              planning::EntryField(entry, 4), 7, false, false);
    drawLabel(p, QRect(QPoint(cell.left() + 30, cell.top() + 15), QPoint(cell.right() - 5, cell.top() + 26)),
              planning::EntryField(entry, 5), 7, false, false);
}

}  // namespace mainwindow
