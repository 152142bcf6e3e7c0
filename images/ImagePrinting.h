#pragma once

#include <QImage>
#include <QPainter>
#include <QString>

class QPrinter;

namespace images {

// Prints pictures one page at a time, so a caller can decode each picture
// just before its page and free it after: each page is upright for an
// upright picture (height ≥ width) and wide for a wide one, the picture
// fitted under the title. The one place pictures are printed from; it
// stands for the report engine's picture templates.
class PicturePrinter {
public:
    explicit PicturePrinter(QPrinter& printer);
    ~PicturePrinter();
    PicturePrinter(const PicturePrinter&) = delete;
    PicturePrinter& operator=(const PicturePrinter&) = delete;

    // False when the printer cannot be started; later pages are then dropped.
    bool printPage(const QImage& picture, const QString& title);
    // Ends the document; false when the printer failed.
    bool finish();
    int pagesPrinted() const { return m_pages; }

private:
    QPrinter& m_printer;
    QPainter m_painter;
    int m_pages = 0;
    bool m_failed = false;
};

}  // namespace images
