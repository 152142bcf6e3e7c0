#pragma once

class QBoxLayout;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace ui {

// The " &Ok" (Btn_Ok) and " &Annuler" (Btn_Cancel) buttons of the program's
// dialogs, right-aligned in a row appended to layout. Answers the row so a
// caller can add a grip after the buttons.
QHBoxLayout* addOkCancelRow(QWidget* dialog, QBoxLayout* layout, QPushButton** ok, QPushButton** cancel);

}  // namespace ui
