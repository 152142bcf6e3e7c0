#pragma once

#include "planning/PlanningModel.h"

#include <QDialog>
#include <QLineEdit>

class QLabel;
class QPushButton;

namespace records {

// The Qt brush pattern of a brush style.
Qt::BrushStyle QtBrushStyle(planning::TBrushStyle style);

// A single-line edit that draws its text aligned as asked while it does not
// have the focus, and in ColorDisabled when disabled.
class TumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TumEdit(QWidget* parent = nullptr);
    void setDisplayAlignment(Qt::Alignment a);
    Qt::Alignment displayAlignment() const { return m_alignment; }
    QColor ColorDisabled;

protected:
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void changeEvent(QEvent*) override;

private:
    Qt::Alignment m_alignment = Qt::AlignLeft;
};

// A number edit: digits and backspace only (and the usual Ctrl shortcuts);
// a change that makes the text exceed MaxValue (or not a number) is undone,
// caret included, and said in a tip under the edit (refused).
class TumNumberEdit : public TumEdit {
    Q_OBJECT
public:
    explicit TumNumberEdit(QWidget* parent = nullptr);

    int Value() const { return m_value; }
    void setValue(int value);
    int MaxValue() const { return m_max; }
    void setMaxValue(int max);

Q_SIGNALS:
    void changed();
    // A change was undone; why is the French text shown to the user.
    void refused(const QString& why);

protected:
    void keyPressEvent(QKeyEvent*) override;

private:
    void textEdited(const QString& text);
    int m_value = 0;
    int m_max = 0;
    QString m_lastText;
    int m_lastValue = 0;
    int m_lastCursor = 0;
};

// The pattern chooser: seven pattern panels, the hatch colour, Ok/Annuler.
// The transparent pattern can be passed in but not chosen (no panel marked).
class TBrushStyleDlg : public QDialog {
    Q_OBJECT
public:
    explicit TBrushStyleDlg(QWidget* parent = nullptr);

    void setBrush(planning::TBrushStyle style, quint32 color);
    planning::TBrushStyle style() const { return m_style; }
    quint32 color() const { return m_color; }
    // The panel marked with a border, or empty for none.
    QString markedPanel() const;
    // Choosing a pattern as a mouse release over its sample does.
    void choose(planning::TBrushStyle style);
    void Btn_ColorClick();

private:
    void mark();
    planning::TBrushStyle m_style = planning::bsSolid;
    quint32 m_color = 0;
    QLabel* m_colorPanel;
};

}  // namespace records
