#pragma once

#include "planning/HalfDayBlock.h"

#include <QDate>
#include <QDialog>

class QCheckBox;
class QDateEdit;
class QRadioButton;
class QSpinBox;

namespace mainwindow {

// "Répéter la sélection": every week, every two weeks or every month, until
// a date or a number of times, optionally skipping the non-working
// half-days. The drawn frame of the program's dialogs.
class TRepeatDialog : public QDialog {
    Q_OBJECT
public:
    // The selection's last day: the end date must come after it.
    TRepeatDialog(const QDate& selectionEnd, QWidget* parent = nullptr);

    planning::RepeatRule rule() const;
    void setRule(const planning::RepeatRule& rule);

    void Btn_OkClick();

    QRadioButton* Radio_Week;
    QRadioButton* Radio_TwoWeeks;
    QRadioButton* Radio_Month;
    QRadioButton* Radio_Until;
    QRadioButton* Radio_Times;
    QDateEdit* Ed_Until;
    QSpinBox* Ed_Times;
    QCheckBox* Check_SkipNonWorking;

private:
    QDate m_selectionEnd;
};

}  // namespace mainwindow
