#include "planning/PlanningPaint.h"

#include "planning/LegendImages.h"
#include "planning/Swatch.h"

#include <QHashFunctions>
#include <QPainter>

#include <unordered_map>

namespace planning {

namespace {
const char16_t* const kWeekdays[] = {u"Lundi", u"Mardi", u"Mercredi", u"Jeudi", u"Vendredi", u"Samedi", u"Dimanche"};
const char16_t* const kMonths[] = {u"Janvier", u"Février", u"Mars",      u"Avril",   u"Mai",      u"Juin",
                                   u"Juillet", u"Août",    u"Septembre", u"Octobre", u"Novembre", u"Décembre"};
}  // namespace

QString WeekdayName(int isoWeekday)
{
    return QString::fromUtf16(kWeekdays[(isoWeekday + 6) % 7]);
}

QString MonthName(int month)
{
    return QString::fromUtf16(kMonths[(month + 11) % 12]);
}

QFont ArialFont(int pixels)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

void DrawDayNumber(QPainter& p, const QRect& r, int day)
{
    p.setFont(ArialFont(12));
    p.setPen(Qt::black);
    p.drawText(QRect(r.left() + 1, r.top() - 1, 100, 100), Qt::AlignLeft | Qt::AlignTop, QString::number(day));
}

const QImage& CachedSwatch(int width, int height, quint32 penColor, quint32 brushColor, TBrushStyle style, int lighten)
{
    // RenderSwatch is a pure function of its arguments, and a page of direct
    // colours draws the same few swatches thousands of times.
    struct Key {
        int width, height;
        quint32 pen, brush;
        int style, lighten;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const
        {
            return qHashMulti(0, k.width, k.height, k.pen, k.brush, k.style, k.lighten);
        }
    };
    static std::unordered_map<Key, QImage, KeyHash> cache;
    constexpr size_t kMaxEntries = 4096;
    const Key key{width, height, penColor, brushColor, style, lighten};
    if (auto it = cache.find(key); it != cache.end())
        return it->second;
    if (cache.size() >= kMaxEntries)
        cache.clear();
    return cache.emplace(key, RenderSwatch(width, height, 3, 12, 3, 2, penColor, brushColor, style, lighten))
        .first->second;
}

void DrawAssignedHalfDay(QPainter& p, const QRect& r, const HalfDayCell& c, bool past, bool directColors,
                         int pastLighten, const LegendImages& images, const QStringList& legend)
{
    if (directColors) {
        if (r.width() > 0 && r.height() > 0)
            p.drawImage(r.topLeft(),
                        CachedSwatch(r.width(), r.height(), c.PenColor, c.BrushColor, static_cast<TBrushStyle>(c.Style),
                                     past ? pastLighten : 0));
    } else if (const QImage* img = images.image(EntryIndexOfId(legend, c.Id), past)) {
        p.drawImage(r.topLeft(), *img);
    }
}

bool ExactlyLeft(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    return buttons == Qt::LeftButton && (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool ExactlyRight(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    return buttons == Qt::RightButton && (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool CtrlLeft(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    return buttons == Qt::LeftButton && (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

bool ShiftLeft(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    return buttons == Qt::LeftButton && (modifiers & ~Qt::KeypadModifier) == Qt::ShiftModifier;
}

void DrawKeyboardCursor(QPainter& p, const QRect& r)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 128), 1));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    p.drawRect(r.adjusted(1, 1, -2, -2));
    p.restore();
}

bool ApplyGesture(HalfDayCell& c, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const CurrentPaint& paint)
{
    if (ExactlyLeft(buttons, modifiers)) {
        c.Id = paint.PaintId;
        c.PenColor = paint.PaintPenColor;
        c.BrushColor = paint.PaintBrushColor;
        c.Style = paint.PaintStyle;
        c.Modified = 1;
        return true;
    }
    if (ExactlyRight(buttons, modifiers)) {
        c.Id = -1;
        c.Modified = 1;
        return true;
    }
    return false;
}

}  // namespace planning
