#include "images/ImagePrinting.h"

#include "images/ImageRoutines.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace images {

namespace {

QPageLayout::Orientation orientationOf(const QImage& picture)
{
    return picture.height() >= picture.width() ? QPageLayout::Portrait : QPageLayout::Landscape;
}

}  // namespace

bool PrintPicturePages(QPrinter& printer, const QVector<PicturePage>& pages)
{
    if (pages.isEmpty())
        return true;
    printer.setPageOrientation(orientationOf(pages.first().picture));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    for (int i = 0; i < pages.size(); ++i) {
        const PicturePage& page = pages.at(i);
        if (i > 0) {
            printer.setPageOrientation(orientationOf(page.picture));
            printer.newPage();
        }
        const QRect area = painter.viewport();
        QFont font(QStringLiteral("Arial"), 14, QFont::Bold);
        painter.setFont(font);
        const int titleHeight = painter.fontMetrics().height() * 2;
        painter.drawText(QRect(area.left(), area.top(), area.width(), titleHeight), Qt::AlignCenter, page.title);
        const QRect box(area.left(), area.top() + titleHeight, area.width(), area.height() - titleHeight);
        if (page.picture.isNull() || box.width() <= 0 || box.height() <= 0)
            continue;
        // Fitted into the box, never enlarged beyond what the page needs.
        QSize size = page.picture.size();
        size.scale(box.size(), Qt::KeepAspectRatio);
        const QRect target(box.left() + (box.width() - size.width()) / 2, box.top(), size.width(), size.height());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, page.picture);
    }
    return painter.end();
}

}  // namespace images
