#include "report/PreparedReport.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextLayout>

#include <cmath>

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
        p.drawText(TextBox(item.rect), item.flags, text);
    }
    if (item.frame && item.frameWidth > 0) {
        p.setPen(QPen(item.frameColor, item.frameWidth));
        p.setBrush(Qt::NoBrush);
        p.drawRect(item.rect);
    }
}

}  // namespace

QRectF TextBox(const QRectF& itemRect)
{
    return itemRect.adjusted(5, 2, -5, -2);
}

QString VisibleWrappedText(const QString& text, const QFont& font, const QRectF& itemRect, int* flags)
{
    // Short texts are laid out whole when drawn: nothing to gain.
    if (!(*flags & Qt::TextWordWrap) || text.size() <= 512)
        return text;
    const QRectF box = TextBox(itemRect);
    const QFontMetricsF fm(font);
    // No line holds more characters than the box's width in the narrowest
    // glyphs, and no more lines than the height holds reach into the box:
    // beyond that bound the text is never laid out.
    double narrow = fm.horizontalAdvance(QLatin1Char(' '));
    for (const QChar c : QStringLiteral(".,:;'!|iIlj1f"))
        narrow = std::min(narrow, fm.horizontalAdvance(c));
    narrow = std::max(narrow, 0.5);
    const qsizetype lines =
        static_cast<qsizetype>(std::ceil(std::max(0.0, box.height()) / std::max(1.0, fm.height()))) + 2;
    const qsizetype perLine = static_cast<qsizetype>(std::ceil(std::max(1.0, box.width()) / narrow)) + 2;
    QString head = text.left(lines * perLine);
    head.replace(QLatin1Char('\n'), QChar::LineSeparator);  // as drawText breaks lines

    QTextLayout layout(head, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qsizetype end = 0;
    double y = 0;
    bool cut = false;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(box.width());
        line.setPosition(QPointF(0, y));
        const bool below = y >= box.height();
        y += line.height();
        end = line.textStart() + line.textLength();
        if (below) {
            cut = end < text.size();
            break;
        }
    }
    layout.endLayout();
    if (!cut && end >= head.size())
        cut = head.size() < text.size();
    if (!cut)
        return text;
    *flags = (*flags & ~Qt::AlignVertical_Mask) | Qt::AlignTop;
    return text.left(end);
}

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
    const QSizeF fitted =
        QSizeF(pageWidth, pageHeight).scaled(QSizeF(device.width(), device.height()), Qt::KeepAspectRatio);
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
