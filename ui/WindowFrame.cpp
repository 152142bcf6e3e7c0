#include "ui/WindowFrame.h"

#include "core/ColorRef.h"
#include "core/Globals.h"
#include "core/MessageCatalog.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace ui {

namespace {

bool g_hints = false;

// Swallows tooltips while hints are off.
class HintFilter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::ToolTip && !g_hints; }
};

void installHintFilter()
{
    static HintFilter* filter = nullptr;
    if (!filter && qApp) {
        filter = new HintFilter;
        qApp->installEventFilter(filter);
    }
}

QColor fromRef(quint32 c)
{
    return QColor::fromRgb(core::RgbFromColorRef(c));
}

// The small image buttons of the title bar, drawn as white glyphs.
class FrameButton : public QWidget {
public:
    enum Kind { Minimize, Maximize, Close };
    FrameButton(Kind kind, const QString& name, const QString& hint, QWidget* parent) : QWidget(parent), m_kind(kind)
    {
        setObjectName(name);
        setToolTip(hint);
        setFixedSize(16, 14);
        setCursor(Qt::ArrowCursor);
    }
    std::function<void()> clicked;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(QPen(Qt::white, 2));
        const QRect r = rect().adjusted(4, 3, -4, -3);
        switch (m_kind) {
        case Minimize: p.drawLine(r.left(), r.bottom(), r.right(), r.bottom()); break;
        case Maximize: p.drawRect(r); break;
        case Close:
            p.drawLine(r.topLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomLeft());
            break;
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && clicked)
            clicked();
    }
    void mousePressEvent(QMouseEvent* e) override { e->accept(); }

private:
    Kind m_kind;
};

}  // namespace

void SetHintsEnabled(bool enabled)
{
    g_hints = enabled;
    installHintFilter();
}

bool HintsEnabled()
{
    return g_hints;
}

void AdaptWindowFont(QWidget* window)
{
    QFont font = window->font();
    if (font.family().compare(QStringLiteral("Segoe UI"), Qt::CaseInsensitive) != 0
        && QFontDatabase::hasFamily(QStringLiteral("Segoe UI"))) {
        font.setPointSize(font.pointSize() + 1);
        font.setFamily(QStringLiteral("Segoe UI"));
        window->setFont(font);
    }
    QFont system = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    if (system.family().isEmpty())
        system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    window->setFont(system);
}

int WindowTag(const QWidget* window)
{
    return window->property("tag").toInt();
}

QString WindowCaptionFromTitle(const QString& title)
{
    qsizetype i = 0;
    while (i < title.size() && title.at(i) == QLatin1Char(' '))
        ++i;
    QString caption = title.mid(i);
    caption.replace(QStringLiteral("''"), QStringLiteral("'"));
    return caption;
}

void SetUpWindow(QWidget* window)
{
    installHintFilter();
    const core::Globals& g = core::globals();
    if (window->objectName() != QStringLiteral("MainForm") && window->property("centredOnScreen").toBool()
        && window->parentWidget()) {
        const QRect owner = window->parentWidget()->window()->frameGeometry();
        window->move(owner.left() + (owner.width() - window->width()) / 2,
                     owner.top() + (owner.height() - window->height()) / 2);
    }
    auto* titleBar = window->findChild<QWidget*>(QStringLiteral("TitleBar"));
    const bool keepDrawn = WindowTag(window) == -1 || window->objectName() == QStringLiteral("Splash")
        || window->objectName() == QStringLiteral("About");
    if (g.nativeFrame && !keepDrawn) {
        if (auto* title = window->findChild<QLabel*>(QStringLiteral("Title")))
            window->setWindowTitle(WindowCaptionFromTitle(title->text()));
        // Only the frame buttons the drawn bar has: Qt's defaults would give
        // every window minimise and maximise.
        Qt::WindowFlags flags = window->windowFlags()
            & ~(Qt::FramelessWindowHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint
                | Qt::WindowSystemMenuHint | Qt::WindowContextHelpButtonHint | Qt::WindowFullscreenButtonHint);
        flags |= Qt::WindowTitleHint | Qt::CustomizeWindowHint;
        auto visible = [window](const char* name) {
            auto* w = window->findChild<QWidget*>(QString::fromLatin1(name));
            return w && !w->isHidden();
        };
        if (visible("SysMiniBtn"))
            flags |= Qt::WindowMinimizeButtonHint;
        if (visible("SysMaxiBtn"))
            flags |= Qt::WindowMaximizeButtonHint;
        if (visible("SysExitBtn") || visible("Exit"))
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        window->setWindowFlags(flags);
        const int barHeight = titleBar ? titleBar->height() : 0;
        if (titleBar)
            titleBar->hide();
        window->setWindowIcon(QApplication::windowIcon());
        const QSize client(window->width(), window->height() - barHeight);
        if (!window->findChild<QWidget*>(QStringLiteral("RezisePad"))
            && window->objectName() != QStringLiteral("MainForm"))
            window->setFixedSize(client);
        else
            window->resize(client);
    } else {
        window->setWindowFlag(Qt::FramelessWindowHint, true);
    }
}

QString ToggleMaximized(QWidget* window, const QRect& wa)
{
    const int waRight = wa.x() + wa.width();
    const int waBottom = wa.y() + wa.height();
    if (window->x() == wa.x() && window->y() == wa.y() && window->width() == wa.width()
        && window->height() == wa.height()) {
        window->setWindowState(Qt::WindowNoState);
        const bool big = WindowTag(window) == 1024;
        const int w = big ? 1024 : 800;
        const int h = big ? 768 : 600;
        int left = static_cast<int>((waRight - w) * 0.5);
        int top = static_cast<int>((waBottom - h) * 0.5);
        window->setGeometry(qMax(0, left), qMax(0, top), w, h);
        return core::LookupText(core::msg::Common_MaximizeWindows);
    }
    window->setGeometry(wa.x(), wa.y(), wa.width(), wa.height());
    return core::LookupText(core::msg::Common_MinimizeWindows);
}

TitleBar::TitleBar(const QString& title, int buttons, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TitleBar"));
    setFixedHeight(18);
    m_title = new QLabel(title, this);
    m_title->setObjectName(QStringLiteral("Title"));
    QFont f = m_title->font();
    f.setBold(true);
    m_title->setFont(f);
    m_title->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (buttons & Minimize) {
        auto* b =
            new FrameButton(FrameButton::Minimize, QStringLiteral("SysMiniBtn"), QStringLiteral("Minimiser"), this);
        b->clicked = [this] { window()->showMinimized(); };
        m_buttons.append(b);
    }
    if (buttons & Maximize) {
        auto* b = new FrameButton(FrameButton::Maximize, QStringLiteral("SysMaxiBtn"),
                                  core::LookupText(core::msg::Common_MaximizeWindows), this);
        b->clicked = [this, b] {
            QWidget* w = window();
            QScreen* s = w->screen();
            b->setToolTip(ToggleMaximized(w, s ? s->availableGeometry() : QRect(0, 0, 1024, 768)));
        };
        m_buttons.append(b);
    }
    if (buttons & (Close | CloseAsExit)) {
        auto* b = new FrameButton(FrameButton::Close,
                                  (buttons & CloseAsExit) ? QStringLiteral("Exit") : QStringLiteral("SysExitBtn"),
                                  QStringLiteral("Quitter"), this);
        b->clicked = [this] { window()->close(); };
        m_buttons.append(b);
    }
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("ActiveTest"));
    m_timer->setInterval(10);
    connect(m_timer, &QTimer::timeout, this, &TitleBar::ActiveTestTimer);
    m_timer->start();
}

void TitleBar::ActiveTestTimer()
{
    const core::FrameColors& c = core::globals().frame;
    // Only a change repaints: the timer runs a hundred times a second.
    if (m_title->palette().color(QPalette::WindowText) != fromRef(c.text)) {
        QPalette pal = m_title->palette();
        pal.setColor(QPalette::WindowText, fromRef(c.text));
        m_title->setPalette(pal);
    }
    const bool active = window()->isActiveWindow();
    if (active != m_active) {
        m_active = active;
        update();
    }
}

void TitleBar::paintEvent(QPaintEvent*)
{
    const core::FrameColors& c = core::globals().frame;
    QPainter p(this);
    QLinearGradient g(0, 0, width(), 0);
    g.setColorAt(0, fromRef(m_active ? c.activeStart : c.inactiveStart));
    g.setColorAt(1, fromRef(m_active ? c.activeEnd : c.inactiveEnd));
    p.fillRect(rect(), g);
}

void TitleBar::resizeEvent(QResizeEvent*)
{
    layoutButtons();
}

void TitleBar::layoutButtons()
{
    m_title->setGeometry(4, 0, qMax(0, width() - 8 - 18 * static_cast<int>(m_buttons.size())), height());
    int x = width() - 2;
    for (qsizetype i = m_buttons.size() - 1; i >= 0; --i) {
        x -= m_buttons[i]->width() + 2;
        m_buttons[i]->move(x, (height() - m_buttons[i]->height()) / 2);
    }
}

void TitleBar::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    // The window system moves the window where it can; otherwise by hand.
    if (QWindow* handle = window()->windowHandle(); handle && handle->startSystemMove())
        return;
    m_dragging = true;
    m_pressGlobal = e->globalPosition().toPoint();
    m_pressWindowPos = window()->pos();
}

void TitleBar::mouseMoveEvent(QMouseEvent* e)
{
    if (m_dragging)
        window()->move(m_pressWindowPos + (e->globalPosition().toPoint() - m_pressGlobal));
}

void TitleBar::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
}

ResizeGrip::ResizeGrip(const QString& name, int minimumWidth, int minimumHeight, QWidget* parent)
    : QWidget(parent), m_minWidth(minimumWidth), m_minHeight(minimumHeight)
{
    setObjectName(name);
    setFixedSize(12, 12);
    setCursor(Qt::SizeFDiagCursor);
}

void ResizeGrip::beginDrag(const QPoint& globalPos)
{
    m_dragging = true;
    m_pressGlobal = globalPos;
    m_pressSize = window()->size();
}

void ResizeGrip::dragTo(const QPoint& globalPos)
{
    if (!m_dragging)
        return;
    QWidget* w = window();
    const QPoint delta = globalPos - m_pressGlobal;
    const int width = m_pressSize.width() + delta.x();
    const int height = m_pressSize.height() + delta.y();
    QSize size = w->size();
    if (width > m_minWidth)
        size.setWidth(width);
    if (height > m_minHeight)
        size.setHeight(height);
    w->resize(size);
}

void ResizeGrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QColor(128, 128, 128));
    for (int i = 0; i < 3; ++i)
        p.drawLine(width() - 1, 3 + 4 * i, 3 + 4 * i, height() - 1);
}

void ResizeGrip::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        beginDrag(e->globalPosition().toPoint());
}

void ResizeGrip::mouseMoveEvent(QMouseEvent* e)
{
    dragTo(e->globalPosition().toPoint());
}

void ResizeGrip::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
}

TitleBar* AddTitleBar(QWidget* window, QBoxLayout* layout, const QString& title, int buttons)
{
    auto* bar = new TitleBar(title, buttons, window);
    layout->addWidget(bar);
    window->setWindowTitle(WindowCaptionFromTitle(title));
    return bar;
}

QVBoxLayout* FramedLayout(QWidget* window, const QString& title, int buttons)
{
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    AddTitleBar(window, outer, title, buttons);
    return outer;
}

}  // namespace ui
