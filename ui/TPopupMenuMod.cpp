#include "ui/TPopupMenuMod.h"

#include "core/ColorRef.h"

#include <QActionEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace ui {

namespace {

QColor fromRef(quint32 c)
{
    return QColor::fromRgb(core::RgbFromColorRef(c));
}

const QRgb kMagenta = qRgb(255, 0, 255);

// The default check picture.
QImage defaultCheck()
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(kMagenta);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(3, 8, 6, 11);
    p.drawLine(6, 11, 12, 4);
    return img;
}

}  // namespace

class TPopupMenuMod::Style : public QProxyStyle {
public:
    explicit Style(TPopupMenuMod* menu) : QProxyStyle(QStringLiteral("Fusion")), m_menu(menu) { }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        if (type == CT_MenuItem) {
            const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            if (mi && mi->menuItemType == QStyleOptionMenuItem::Separator)
                return QSize(size.width(), 10);
            const int textWidth =
                mi ? mi->fontMetrics.horizontalAdvance(QString(mi->text).remove(QLatin1Char('&'))) : 0;
            return QSize(qMax(size.width(), 22 + 3 + textWidth + 24), m_menu->ItemsHeight);
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_MenuPanelWidth:
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuDesktopFrameWidth: return 0;
        default: return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* p,
                     const QWidget* widget) const override
    {
        if (element != CE_MenuItem) {
            QProxyStyle::drawControl(element, option, p, widget);
            return;
        }
        const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (!mi)
            return;
        const QRect R = mi->rect;
        // A check mark needs the image column too, or it covers the caption.
        const bool images = m_menu->HasImages || hasCheckableItem();
        const int textStart = images ? 22 : 1;
        const bool highlighted = (mi->state & State_Selected) && mi->menuItemType != QStyleOptionMenuItem::Separator;
        const bool enabled = mi->state & State_Enabled;
        p->save();
        if (images)
            p->fillRect(QRect(QPoint(0, R.top()), QPoint(21, R.bottom())), fromRef(m_menu->ImageBackGroundColor));
        if (highlighted) {
            p->setPen(fromRef(m_menu->SelectBorderColor));
            p->setBrush(fromRef(m_menu->SelectBackGroundColor));
            // A stroked rectangle covers its right and bottom edges: this one
            // runs from (1, top) to (right - 1, bottom - 1).
            p->drawRect(QRect(QPoint(1, R.top()), QPoint(R.right() - 2, R.bottom() - 2)));
        } else {
            p->fillRect(QRect(QPoint(textStart, R.top()), QPoint(R.right() - 1, R.bottom())),
                        fromRef(m_menu->TextBackGroundColor));
        }
        if (mi->menuItemType == QStyleOptionMenuItem::Separator) {
            p->setPen(fromRef(m_menu->SeparatorColor));
            const int y = R.top() + R.height() / 2;
            p->drawLine(textStart + 3, y, R.right() - 1, y);
            p->restore();
            return;
        }
        QImage picture;
        if (mi->checked)
            picture = m_menu->CheckedImage.isNull() ? defaultCheck() : m_menu->CheckedImage;
        else if (!mi->icon.isNull())
            picture = mi->icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
        if (!picture.isNull()) {
            if (!enabled)
                picture = GreyedPicture(picture);
            picture = picture.convertToFormat(QImage::Format_ARGB32);
            const QRgb transparent = picture.pixel(0, qMin(15, picture.height() - 1));
            for (int y = 0; y < picture.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
                for (int x = 0; x < picture.width(); ++x)
                    if ((line[x] & 0xFFFFFF) == (transparent & 0xFFFFFF))
                        line[x] = 0;
            }
            const int top = R.top() + (R.height() - picture.height()) / 2;
            p->fillRect(QRect(3, top, picture.width(), picture.height()),
                        fromRef(highlighted ? m_menu->SelectBackGroundColor : m_menu->ImageBackGroundColor));
            p->drawImage(3, top, picture);
        }
        const int textHeight = mi->fontMetrics.height();
        const int c = (R.height() - textHeight) / 2;
        p->setPen(enabled ? QColor(Qt::black) : fromRef(12632256));
        QString text = mi->text;
        QString shortcut;
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        if (tab >= 0) {
            shortcut = text.mid(tab + 1);
            text = text.left(tab);
        }
        const QRect textRect(QPoint(textStart + 3, R.top() + c), QPoint(R.right(), R.top() + c + textHeight - 1));
        p->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text);
        if (!shortcut.isEmpty())
            p->drawText(textRect.adjusted(0, 0, -8, 0), Qt::AlignRight | Qt::AlignVCenter, shortcut);
        if (mi->menuItemType == QStyleOptionMenuItem::SubMenu) {
            // The arrow that says the item opens a sub-menu.
            const int x = R.right() - 11, y = R.top() + R.height() / 2;
            const QPoint arrow[] = {QPoint(x, y - 4), QPoint(x + 4, y), QPoint(x, y + 4)};
            p->setPen(Qt::NoPen);
            p->setBrush(enabled ? QColor(Qt::black) : fromRef(12632256));
            p->drawPolygon(arrow, 3);
        }
        p->restore();
    }

private:
    bool hasCheckableItem() const
    {
        const QList<QAction*> items = m_menu->actions();
        return std::any_of(items.begin(), items.end(), [](const QAction* a) { return a->isCheckable(); });
    }

    TPopupMenuMod* m_menu;
};

TPopupMenuMod::TPopupMenuMod(QWidget* parent) : QMenu(parent), m_style(new Style(this))
{
    CheckedImage = defaultCheck();
    setStyle(m_style);
}

void TPopupMenuMod::actionEvent(QActionEvent* e)
{
    QMenu::actionEvent(e);
    if (e->type() != QEvent::ActionAdded)
        return;
    // A sub-menu measures and draws its items as this menu does, down to
    // every level; it takes the settings again each time it opens.
    if (auto* sub = qobject_cast<TPopupMenuMod*>(e->action()->menu())) {
        sub->takeLook(*this);
        // Once per sub-menu: a lambda cannot be a unique connection.
        if (!sub->property("followsParentLook").toBool()) {
            sub->setProperty("followsParentLook", true);
            connect(sub, &QMenu::aboutToShow, this, [this, sub] { sub->takeLook(*this); });
        }
    }
}

void TPopupMenuMod::takeLook(const TPopupMenuMod& from)
{
    CheckedImage = from.CheckedImage;
    ItemsHeight = from.ItemsHeight;
    SelectBackGroundColor = from.SelectBackGroundColor;
    SelectBorderColor = from.SelectBorderColor;
    ImageBackGroundColor = from.ImageBackGroundColor;
    TextBackGroundColor = from.TextBackGroundColor;
    SeparatorColor = from.SeparatorColor;
    HasImages = from.HasImages;
    for (QAction* a : actions()) {
        if (auto* sub = qobject_cast<TPopupMenuMod*>(a->menu()))
            sub->takeLook(*this);
    }
}

TPopupMenuMod::~TPopupMenuMod()
{
    setStyle(nullptr);
    delete m_style;
}

QImage TPopupMenuMod::GreyedPicture(const QImage& picture)
{
    QImage img = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = line[x];
            if ((px & 0xFFFFFF) == (kMagenta & 0xFFFFFF))
                continue;
            const int grey = (qRed(px) + qGreen(px) + qBlue(px)) / 3;
            line[x] = qRgb(grey, grey, grey);
        }
    }
    return img;
}

}  // namespace ui
