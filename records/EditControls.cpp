#include "records/EditControls.h"

#include "ui/Prompt.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <limits>

namespace records {

using namespace planning;

TumEdit::TumEdit(QWidget* parent) : QLineEdit(parent)
{
    ColorDisabled = palette().color(QPalette::Base);
}

void TumEdit::setDisplayAlignment(Qt::Alignment a)
{
    m_alignment = a;
    if (!hasFocus())
        setAlignment(a);
}

void TumEdit::focusInEvent(QFocusEvent* e)
{
    // While focused it is a plain left-aligned edit.
    setAlignment(Qt::AlignLeft);
    QLineEdit::focusInEvent(e);
}

void TumEdit::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange) {
        QPalette pal = palette();
        pal.setColor(QPalette::Disabled, QPalette::Base, ColorDisabled);
        setPalette(pal);
    }
    QLineEdit::changeEvent(e);
}

void TumEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    setAlignment(m_alignment);
}

TumNumberEdit::TumNumberEdit(QWidget* parent) : TumEdit(parent)
{
    setText(QStringLiteral("0"));
    m_lastText = text();
    connect(this, &QLineEdit::textChanged, this, &TumNumberEdit::textEdited);
}

void TumNumberEdit::keyPressEvent(QKeyEvent* e)
{
    const QString t = e->text();
    const bool digit = t.size() == 1 && t.at(0).isDigit() && t.at(0).unicode() < 128;
    const bool control = e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete || e->key() == Qt::Key_Left
        || e->key() == Qt::Key_Right || e->key() == Qt::Key_Home || e->key() == Qt::Key_End || e->key() == Qt::Key_Tab
        || e->key() == Qt::Key_Backtab || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    // Ctrl+A, copy, cut, paste and undo act as in any edit: typing then
    // replaces the selection, and a pasted text is checked like a typed one.
    const bool shortcut = e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (!digit && !control && !shortcut && !t.isEmpty())
        return;  // every other character is ignored
    if (digit || shortcut || e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) {
        m_lastText = text();
        m_lastValue = m_value;
        m_lastCursor = cursorPosition();
    }
    TumEdit::keyPressEvent(e);
}

void TumNumberEdit::textEdited(const QString& text)
{
    if (text.isEmpty()) {
        m_value = 0;
        m_lastText = text;
        m_lastValue = 0;
        Q_EMIT changed();
        return;
    }
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    const QString max = QString::number(m_max);
    // Value is a non-negative 32-bit integer: a larger number is no number.
    bool rejected = !ok || n < 0 || n > std::numeric_limits<qint32>::max();
    if (!rejected && m_max != 0)
        rejected = n > m_max || text.size() > max.size() || (text.size() == max.size() && text > max);
    if (rejected) {
        {
            const QSignalBlocker block(this);
            setText(m_lastText);
            setCursorPosition(m_lastCursor);
            m_value = m_lastValue;
        }
        // Said, not only undone, so that the user sees why the key did nothing.
        const QString why = m_max != 0 && ok && n > m_max
            ? QStringLiteral("La valeur ne peut pas dépasser %1.").arg(m_max)
            : QStringLiteral("Ce nombre n'est pas accepté.");
        QApplication::beep();
        QToolTip::showText(mapToGlobal(QPoint(0, height())), why, this);
        Q_EMIT refused(why);
    } else {
        m_value = static_cast<int>(n);
        m_lastText = text;
        m_lastValue = m_value;
        m_lastCursor = cursorPosition();
    }
    Q_EMIT changed();
}

void TumNumberEdit::setValue(int value)
{
    if (value < 0)
        value = 0;
    if (m_max != 0 && value > m_max)
        value = m_max;
    m_lastText = QString::number(value);
    m_lastValue = value;
    m_value = value;
    setText(m_lastText);
}

void TumNumberEdit::setMaxValue(int max)
{
    m_max = qMax(0, max);
    if (m_max != 0 && m_value > m_max)
        setValue(m_max);
}

namespace {

struct PatternPanel {
    TBrushStyle style;
    const char* panel;
    const char* shape;
};
const PatternPanel kPanels[] = {
    {bsSolid, "Pan_Solid", "Shape_Solid"},
    {bsHorizontal, "Pan_Horizontal", "Shape_Horizontal"},
    {bsVertical, "Pan_Vertical", "Shape_Vertical"},
    {bsFDiagonal, "Pan_FDiagonal", "Shape_FDiagonal"},
    {bsBDiagonal, "Pan_BDiagonal", "Shape_BDiagonal"},
    {bsCross, "Pan_Cross", "Shape_Cross"},
    {bsDiagCross, "Pan_DiagCross", "Shape_DiagCross"},
};

}  // namespace

Qt::BrushStyle QtBrushStyle(TBrushStyle s)
{
    switch (s) {
    case bsSolid: return Qt::SolidPattern;
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    }
    return Qt::NoBrush;
}

namespace {

// A sample shape painted in black with its pattern; a release picks it.
class PatternShape : public QWidget {
public:
    PatternShape(TBrushStyle style, std::function<void(TBrushStyle)> pick, QWidget* parent)
        : QWidget(parent), m_style(style), m_pick(std::move(pick))
    {
        setFixedSize(70, 36);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setPen(Qt::black);
        p.setBrush(QBrush(Qt::black, QtBrushStyle(m_style)));
        p.drawRect(rect().adjusted(2, 2, -3, -3));
    }
    void mouseReleaseEvent(QMouseEvent*) override { m_pick(m_style); }

private:
    TBrushStyle m_style;
    std::function<void(TBrushStyle)> m_pick;
};

}  // namespace

TBrushStyleDlg::TBrushStyleDlg(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
{
    // A fixed dialog border: a caption and a close box, nothing to minimise.
    setObjectName(QStringLiteral("BrushStyleDlg"));
    setWindowTitle(QStringLiteral("Style du motif"));
    setFixedSize(182, 249);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    int i = 0;
    for (const PatternPanel& pp : kPanels) {
        auto* panel = new QFrame(this);
        panel->setObjectName(QString::fromLatin1(pp.panel));
        panel->setAutoFillBackground(true);
        QPalette pal = panel->palette();
        pal.setColor(QPalette::Window, Qt::white);
        panel->setPalette(pal);
        auto* inner = new QVBoxLayout(panel);
        inner->setContentsMargins(2, 2, 2, 2);
        auto* shape = new PatternShape(
            pp.style, [this](TBrushStyle s) { choose(s); }, panel);
        shape->setObjectName(QString::fromLatin1(pp.shape));
        inner->addWidget(shape);
        layout->addWidget(panel, i / 2, i % 2);
        ++i;
    }
    m_colorPanel = new QLabel(this);
    m_colorPanel->setObjectName(QStringLiteral("Pan_Color"));
    m_colorPanel->setAutoFillBackground(true);
    m_colorPanel->setFrameShape(QFrame::Box);
    layout->addWidget(m_colorPanel, 3, 1);
    auto* colorButton = new QPushButton(QStringLiteral("&Couleur du motif >>"), this);
    colorButton->setObjectName(QStringLiteral("Btn_Color"));
    layout->addWidget(colorButton, 4, 0, 1, 2);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("Btn_Ok"));
    auto* cancel = new QPushButton(QStringLiteral("&Annuler"), this);
    cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    layout->addWidget(ok, 5, 0);
    layout->addWidget(cancel, 5, 1);
    connect(colorButton, &QPushButton::clicked, this, &TBrushStyleDlg::Btn_ColorClick);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    mark();
}

void TBrushStyleDlg::setBrush(TBrushStyle style, quint32 color)
{
    m_style = style;
    m_color = color;
    mark();
}

void TBrushStyleDlg::choose(TBrushStyle style)
{
    m_style = style;
    mark();
}

QString TBrushStyleDlg::markedPanel() const
{
    for (const PatternPanel& pp : kPanels) {
        if (pp.style == m_style)
            return QString::fromLatin1(pp.panel);
    }
    return {};
}

void TBrushStyleDlg::mark()
{
    for (const PatternPanel& pp : kPanels) {
        auto* panel = findChild<QFrame*>(QString::fromLatin1(pp.panel));
        panel->setFrameShape(pp.style == m_style ? QFrame::Box : QFrame::NoFrame);
    }
    QPalette pal = m_colorPanel->palette();
    pal.setColor(QPalette::Window, ColorFromRef(m_color));
    m_colorPanel->setPalette(pal);
}

void TBrushStyleDlg::Btn_ColorClick()
{
    if (const auto c = ui::prompt().color(this, ColorFromRef(m_color))) {
        m_color = ColorRefFromColor(*c);
        mark();
    }
}

}  // namespace records
