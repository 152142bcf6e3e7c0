#pragma once

#include "planning/Holidays.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace db {
class TDataModuleObject;
}

namespace planning {

struct PlanningSession;

// One closure: the first and last day, the part of the day and the label.
// Ok keeps the dialog open with a French warning while the closure is unsound.
class TClosedDay : public QDialog {
    Q_OBJECT
public:
    TClosedDay(const ClosedDays& closure, QWidget* parent = nullptr);
    ClosedDays closure() const;

    QDateEdit* Ed_First;
    QDateEdit* Ed_Last;
    QComboBox* Combo_Part;
    QLineEdit* Ed_Label;
    QPushButton* Btn_Ok;
};

// "Jours fériés et fermetures" of the open dossier: the holidays of a year
// with a check box each, the Alsace-Moselle option, the closed days and the
// option that shows them in the planning. Edits a copy of the settings.
class THolidays : public QDialog {
    Q_OBJECT
public:
    THolidays(const HolidaySettings& settings, int year, QWidget* parent = nullptr);
    const HolidaySettings& settings() const { return m_settings; }

    QSpinBox* Ed_Year;
    QTreeWidget* Grid_Holidays;
    QCheckBox* Check_AlsaceMoselle;
    QTreeWidget* Grid_Closures;
    QPushButton* Btn_Add;
    QPushButton* Btn_Edit;
    QPushButton* Btn_Delete;
    QCheckBox* Check_ShowInPlanning;

    void Btn_AddClick();
    void Btn_EditClick();
    void Btn_DeleteClick();

private:
    void fillHolidays();
    void fillClosures(int select);

    HolidaySettings m_settings;
    bool m_filling = false;
};

// Runs the window for the session's dossier; on Ok stores the settings (all
// or nothing; a failure shows the French box and keeps the old ones) and puts
// them into the session. Answers whether they changed.
bool EditDossierHolidays(db::TDataModuleObject& store, PlanningSession& session, QWidget* parent);

}  // namespace planning
