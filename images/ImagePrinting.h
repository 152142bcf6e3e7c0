#pragma once

#include <QImage>
#include <QString>
#include <QVector>

class QPrinter;

namespace images {

// One printed page: a picture under its title.
struct PicturePage {
    QImage picture;
    QString title;
};

// Prints the pages on the printer, each page upright for an upright picture
// (height ≥ width) and wide for a wide one, the picture fitted under the
// title. The one place pictures are printed from; it stands for the report
// engine's picture templates. False when the printer cannot be started.
bool PrintPicturePages(QPrinter& printer, const QVector<PicturePage>& pages);

}  // namespace images
