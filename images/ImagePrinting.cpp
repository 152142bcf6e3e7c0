#include "images/ImagePrinting.h"

#include <QPageLayout>
#include <QPrinter>

namespace images {

namespace {

QPageLayout::Orientation orientationOf(const QImage& picture)
{
    return picture.height() >= picture.width() ? QPageLayout::Portrait : QPageLayout::Landscape;
}

}  // namespace

PicturePrinter::PicturePrinter(QPrinter& printer) : m_printer(printer)
{ }

PicturePrinter::~PicturePrinter()
{
    finish();
}

bool PicturePrinter::printPage(const QImage& picture, const QString& title)
{
    if (m_failed)
        return false;
    m_printer.setPageOrientation(orientationOf(picture));
    if (m_pages == 0) {
        if (!m_painter.begin(&m_printer)) {
            m_failed = true;
            return false;
        }
    } else if (!m_printer.newPage()) {
        m_failed = true;
        return false;
    }
    ++m_pages;
    const QRect area = m_painter.viewport();
    m_painter.setFont(QFont(QStringLiteral("Arial"), 14, QFont::Bold));
    const int titleHeight = m_painter.fontMetrics().height() * 2;
    m_painter.drawText(QRect(area.left(), area.top(), area.width(), titleHeight), Qt::AlignCenter, title);
    const QRect box(area.left(), area.top() + titleHeight, area.width(), area.height() - titleHeight);
    if (picture.isNull() || box.width() <= 0 || box.height() <= 0)
        return true;
    QSize size = picture.size();
    size.scale(box.size(), Qt::KeepAspectRatio);
    const QRect target(box.left() + (box.width() - size.width()) / 2, box.top(), size.width(), size.height());
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
    m_painter.drawImage(target, picture);
    return true;
}

bool PicturePrinter::finish()
{
    if (m_painter.isActive() && !m_painter.end())
        m_failed = true;
    return !m_failed;
}

}  // namespace images
