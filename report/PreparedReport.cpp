#include "report/PreparedReport.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace report {

namespace {

void drawItem(QPainter& p, const PreparedItem& item, int pageCount)
{
    switch (item.kind) {
    case ObjectKind::Line:
        if (item.frameWidth > 0) {
            p.setPen(QPen(item.frameColor, item.frameWidth));
            p.drawLine(item.rect.topLeft(), item.rect.bottomRight());
        }
        return;
    case ObjectKind::Rectangle:
    case ObjectKind::Text:
    case ObjectKind::Picture: break;
    }
    if (item.fill.isValid())
        p.fillRect(item.rect, item.fill);
    if (item.kind == ObjectKind::Picture && !item.picture.isNull()) {
        QRectF r = item.rect;
        if (item.keepAspect) {
            const QSizeF s = QSizeF(item.picture.size()).scaled(r.size(), Qt::KeepAspectRatio);
            r = QRectF(r.x() + (r.width() - s.width()) / 2, r.y() + (r.height() - s.height()) / 2, s.width(),
                       s.height());
        }
        p.drawImage(r, item.picture);
    } else if (item.kind == ObjectKind::Text && !item.text.isEmpty()) {
        QString text = item.text;
        text.replace(kTotalPagesMark, QString::number(pageCount));
        p.setFont(item.font);
        p.setPen(item.color);
        // A small inner margin keeps the text off the frame.
        p.drawText(item.rect.adjusted(5, 2, -5, -2), item.flags, text);
    }
    if (item.frame && item.frameWidth > 0) {
        p.setPen(QPen(item.frameColor, item.frameWidth));
        p.setBrush(Qt::NoBrush);
        p.drawRect(item.rect);
    }
}

}  // namespace

void PreparedReport::renderPage(QPainter& painter, int index, const QRectF& target) const
{
    if (index < 0 || index >= pageCount())
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / pageWidth, target.height() / pageHeight);
    painter.setClipRect(QRectF(0, 0, pageWidth, pageHeight));
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const PreparedItem& item : pages[index].items)
        drawItem(painter, item, pageCount());
    painter.restore();
}

QImage PreparedReport::pageImage(int index, int widthPx) const
{
    const int heightPx = qRound(widthPx * pageHeight / pageWidth);
    QImage image(widthPx, heightPx, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    renderPage(p, index, QRectF(0, 0, widthPx, heightPx));
    return image;
}

PageRange PreparedReport::parsePageRange(const QString& text) const
{
    const int last = std::max(1, pageCount());
    PageRange r{1, last};
    const int dash = text.indexOf(QLatin1Char('-'));
    bool ok = false;
    const int a = (dash < 0 ? text : text.left(dash)).trimmed().toInt(&ok);
    if (ok)
        r.first = a;
    if (dash >= 0) {
        const int b = text.mid(dash + 1).trimmed().toInt(&ok);
        if (ok)
            r.last = b;
    } else if (ok) {
        r.last = a;
    }
    r.first = std::clamp(r.first, 1, last);
    r.last = std::clamp(r.last, r.first, last);
    return r;
}

void PreparedReport::printPages(QPagedPaintDevice& device, QPainter& painter, PageRange range, int copies) const
{
    bool firstPage = true;
    // The page keeps its proportions on any paper: scaled to fit, centred.
    const QSizeF fitted = QSizeF(pageWidth, pageHeight).scaled(QSizeF(device.width(), device.height()),
                                                               Qt::KeepAspectRatio);
    const QRectF target(QPointF((device.width() - fitted.width()) / 2, (device.height() - fitted.height()) / 2),
                        fitted);
    for (int c = 0; c < std::max(1, copies); ++c) {
        for (int i = range.first - 1; i <= range.last - 1 && i < pageCount(); ++i) {
            if (i < 0)
                continue;
            if (!firstPage)
                device.newPage();
            firstPage = false;
            renderPage(painter, i, target);
        }
    }
}

void PreparedReport::writePdf(const QString& fileName, PageRange range, int copies) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(
            QStringLiteral("Le fichier \"%1\" ne peut pas être écrit : %2.").arg(fileName, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                         landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer))
            throw ReportError(QStringLiteral("Le fichier \"%1\" ne peut pas être écrit.").arg(fileName));
        printPages(writer, painter, range, copies);
        painter.end();
    }
    if (!file.commit())
        throw ReportError(
            QStringLiteral("Le fichier \"%1\" ne peut pas être écrit : %2.").arg(fileName, file.errorString()));
}

}  // namespace report
