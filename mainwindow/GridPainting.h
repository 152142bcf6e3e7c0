#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

#include <vector>

class QPainter;

namespace mainwindow {

// The pictures shown for a record without a thumbnail: index 0 for a
// person, 4 for a project (the others are the grid commands' pictures).
const QImage& DefaultPicture(int index);

// The grid menus' pictures, 16 × 16 on the magenta (255, 0, 255) that the
// menu draws transparent: 0 add, 1 edit, 2 delete.
QImage GridCommandPicture(int index);

// A picture centred in a frame with a stepped shadow on the right and bottom.
void DrawFramedPicture(QPainter& p, const QRect& frame, const QImage& picture, int shadowDepth, int firstShade,
                       int shadeStep, quint32 frameColor, quint32 fillColor, quint32 shadowBase);

// One row of Grid_Object: background, framed thumbnail, the two labels.
void DrawObjectRow(QPainter& p, QRect cell, int clientWidth, bool selected, quint32 gridColor, const QString& entry,
                   const QImage& thumbnail);

// One item of Grid_Key: background, framed swatch, the two labels.
void DrawLegendItem(QPainter& p, const QRect& cell, bool selected, quint32 gridColor, const QString& entry);

inline constexpr quint32 kGridBackground = 16120570;  // (250, 250, 245)

}  // namespace mainwindow
