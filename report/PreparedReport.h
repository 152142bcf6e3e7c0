#pragma once

#include "report/ReportTemplate.h"

#include <QFont>
#include <QImage>

#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace report {

// One object placed on a page, its expressions evaluated. Rectangles are in
// tenths of a millimetre from the page's top left.
struct PreparedItem {
    ObjectKind kind = ObjectKind::Text;
    QRectF rect;
    QString text;  // may hold kTotalPagesMark, replaced when drawn
    QFont font;
    int flags = 0;  // alignment and word wrap
    QColor color;
    bool frame = false;
    double frameWidth = 0;
    QColor frameColor;
    QColor fill;
    QImage picture;
    bool keepAspect = true;
};

struct PreparedPage {
    std::vector<PreparedItem> items;
};

// The page count is known only once every page is laid out; texts keep this
// mark in its place until they are drawn.
inline constexpr QChar kTotalPagesMark = QChar(0xE000);

// First and last page, counted from 1.
struct PageRange {
    int first = 1;
    int last = 1;
};

// The pages of a prepared report, drawn on any painter: screen, picture,
// printer or PDF.
class PreparedReport {
public:
    double pageWidth = 2100;  // tenths of a millimetre
    double pageHeight = 2970;
    bool landscape = false;
    std::vector<PreparedPage> pages;

    int pageCount() const { return static_cast<int>(pages.size()); }

    // Draws page index (from 0) scaled into target, in the painter's units.
    void renderPage(QPainter& painter, int index, const QRectF& target) const;
    // The page drawn on a white RGB32 picture widthPx pixels wide.
    QImage pageImage(int index, int widthPx) const;

    // Draws the pages of the range, copies times over, on a printer or a PDF
    // writer already set up, each scaled to fit its paper and centred; pages
    // outside the document are skipped.
    void printPages(QPagedPaintDevice& device, QPainter& painter, PageRange range, int copies) const;
    // Writes the range to a PDF file, all or nothing. Throws ReportError.
    void writePdf(const QString& fileName, PageRange range, int copies) const;

    // "first-last" as the print dialog gives it; a missing or unreadable
    // bound takes the first or last page; bounds are kept inside the document.
    PageRange parsePageRange(const QString& text) const;
};

// The box a text item's text is drawn in: its rectangle less a small inner
// margin that keeps the text off the frame.
QRectF TextBox(const QRectF& itemRect);

// The beginning of a word-wrapped text that its item can show: the lines
// that reach into the box, and one more, so that the box looks as with the
// whole text. Time and memory follow the box, not the text: a field of a
// few megabytes costs what a page of lines costs. When the text is cut, a
// vertical alignment in flags becomes top, so that the box shows the
// text's first lines. Texts that are not wrapped come back unchanged.
QString VisibleWrappedText(const QString& text, const QFont& font, const QRectF& itemRect, int* flags);

}  // namespace report
