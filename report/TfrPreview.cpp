#include "report/TfrPreview.h"

#include "report/Report.h"

#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

namespace report {

namespace {
constexpr int kPageMargin = 10;  // grey around the page, in pixels
}

TfrPreview::TfrPreview(QWidget* parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("frPreview"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setBackgroundRole(QPalette::Dark);
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("PreviewPage"));
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    setWidget(label);
    setWidgetResizable(false);
}

void TfrPreview::setReport(const Report* report)
{
    m_report = report;
    m_page = pageCount() > 0 ? 1 : 0;
    redraw();
    Q_EMIT pageChanged(m_page);
}

int TfrPreview::pageCount() const
{
    return m_report && m_report->isPrepared() ? m_report->prepared().pageCount() : 0;
}

void TfrPreview::OnePage()
{
    setZoom(Zoom::OnePage);
}

void TfrPreview::PageWidth()
{
    setZoom(Zoom::PageWidth);
}

void TfrPreview::Zoom100()
{
    setZoom(Zoom::Full);
}

void TfrPreview::setZoom(Zoom zoom)
{
    m_zoom = zoom;
    redraw();
}

void TfrPreview::First()
{
    setPage(1);
}

void TfrPreview::Prior()
{
    setPage(m_page - 1);
}

void TfrPreview::Next()
{
    setPage(m_page + 1);
}

void TfrPreview::Last()
{
    setPage(pageCount());
}

void TfrPreview::setPage(int page)
{
    if (pageCount() == 0)
        return;
    page = std::clamp(page, 1, pageCount());
    if (page == m_page)
        return;
    m_page = page;
    redraw();
    verticalScrollBar()->setValue(0);
    Q_EMIT pageChanged(m_page);
}

void TfrPreview::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (m_zoom != Zoom::Full)
        redraw();
}

void TfrPreview::redraw()
{
    auto* label = static_cast<QLabel*>(widget());
    if (pageCount() == 0) {
        m_image = QImage();
        label->setPixmap(QPixmap());
        label->adjustSize();
        return;
    }
    const PreparedReport& prepared = m_report->prepared();
    const double aspect = prepared.pageHeight / prepared.pageWidth;
    const QSize room = viewport()->size() - QSize(2 * kPageMargin, 2 * kPageMargin);
    int width = 0;
    switch (m_zoom) {
    case Zoom::OnePage: width = std::min(room.width(), static_cast<int>(room.height() / aspect)); break;
    case Zoom::PageWidth:
        // Leave room for the vertical scroll bar the taller page will need.
        width = room.width() - verticalScrollBar()->sizeHint().width();
        break;
    case Zoom::Full: width = qRound(prepared.pageWidth / 254.0 * logicalDpiX()); break;
    }
    width = std::max(width, 50);
    m_image = prepared.pageImage(m_page - 1, width);
    label->setPixmap(QPixmap::fromImage(m_image));
    label->adjustSize();
}

bool PrintToPrinter(const PreparedReport& report, QPrinter& printer, PageRange range, int copies)
{
    // The paper chosen in the print dialog stays; the pages are scaled to it.
    printer.setPageOrientation(report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setFullPage(true);
    // The driver makes the copies when it can; otherwise they are drawn.
    int drawn = copies;
    if (printer.supportsMultipleCopies())
        printer.setCopyCount(copies), drawn = 1;
    else
        printer.setCopyCount(1);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    report.printPages(printer, painter, range, drawn);
    return painter.end();
}

}  // namespace report
