#pragma once

#include "core/Settings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace records {

class TumNumberEdit;

// "  Propriétés": the four scanner keys of the settings file.
class TEnterProperties : public QDialog {
    Q_OBJECT
public:
    explicit TEnterProperties(QWidget* parent = nullptr);

    void setValues(const core::Settings& settings);
    // Copies the four values into settings.
    void values(core::Settings& settings) const;
    // The source picker under the edit, fed by the scanner layer.
    void Btn_SourceClick();
    // Raises the width to 500 and the quality to 10 at least, then OK.
    void Btn_OkClick();

    QLineEdit* Ed_TwainSource;
    QPushButton* Btn_Source;
    QCheckBox* Check_ShowTwainUI;
    TumNumberEdit* Ed_ScanMaxWidth;
    TumNumberEdit* Ed_ScanJpegQuality;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// "&Propriétés": the dialog on the process-wide settings; on OK they are
// stored and written, a file that cannot be written reported.
void Popup_File_PropertiesClick(QWidget* parent);

}  // namespace records
