#pragma once

#include "core/UserError.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

#include <stdexcept>
#include <vector>

namespace report {

// A failure of the engine: a template that cannot be read, a dataset that
// fails while the report is prepared, a page that cannot be written. The
// message is French and names the file concerned.
class ReportError : public core::UserError {
public:
    using UserError::UserError;
};

// Lengths in a template are millimetres; inside the engine they are tenths
// of a millimetre, the logical unit of every page drawing.
inline constexpr double kUnitsPerMm = 10.0;

enum class ObjectKind { Text, Picture, Line, Rectangle };

// One object of a band; its rectangle is relative to the band's top left.
struct ReportObject {
    ObjectKind kind = ObjectKind::Text;
    QString name;
    QRectF rect;  // tenths of a millimetre

    // Text: the expression text with [Name] references.
    QString text;
    QString fontFamily = QStringLiteral("Liberation Sans");
    double fontSize = 10;  // points
    bool bold = false;
    bool italic = false;
    int alignment = 0;  // Qt::Alignment flags
    bool wordWrap = false;
    QColor color = Qt::black;

    // Frame of a text or picture, outline of a rectangle, stroke of a line.
    bool frame = false;
    double frameWidth = 2;  // tenths of a millimetre
    QColor frameColor = Qt::black;
    QColor fill;  // invalid: no fill

    // Picture: a blob field of a dataset ("Img1" or "frDSKey.Img2"), or the
    // picture loaded into the object by name (Report::loadPicture).
    QString field;
    QImage picture;
    bool keepAspect = true;
};

enum class BandKind {
    ReportTitle,    // once, at the top of the first page
    PageHeader,     // at the top of every page, below the title on the first
    MasterData,     // once per record of the main dataset
    DetailData,     // once per record of its dataset, after each master record
    SummaryData,    // once per record of its dataset, after the master records
    PageFooter,     // at the bottom of every page
    ReportSummary,  // once, at the end
};

struct ReportBand {
    BandKind kind = BandKind::MasterData;
    double height = 0;        // tenths of a millimetre
    QString dataset;          // the data bands' dataset name
    bool onFirstPage = true;  // a page header may leave the first page to the title
    std::vector<ReportObject> objects;
};

struct ReportTemplate {
    QString fileName;
    double pageWidth = 2100;  // tenths of a millimetre
    double pageHeight = 2970;
    double marginLeft = 100;
    double marginTop = 100;
    double marginRight = 100;
    double marginBottom = 100;
    bool landscape = false;
    std::vector<ReportBand> bands;

    // The width and height of the printable area between the margins.
    double contentWidth() const { return pageWidth - marginLeft - marginRight; }
    double contentHeight() const { return pageHeight - marginTop - marginBottom; }
    ReportObject* findObject(const QString& name);
};

// Reads a template of the program's XML format. Throws ReportError naming
// the file when it is missing, unreadable, malformed or out of bounds.
ReportTemplate ReadReportTemplate(const QString& fileName);
// The same from text already read; fileName only names the source in messages.
ReportTemplate ParseReportTemplate(const QByteArray& text, const QString& fileName);

}  // namespace report
