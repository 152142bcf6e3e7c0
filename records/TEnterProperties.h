#pragma once

#include "core/Settings.h"
#include "images/Scanner.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;

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
    // The source picker under the edit, fed by the scanner layer: the
    // devices are listed on a thread of their own and the picker opens
    // once they are known (probeAnswered, run by a timer).
    void Btn_SourceClick();
    void probeAnswered();
    bool probing() const { return m_probe != nullptr; }
    // Raises the width to 500 and the quality to 10 at least, then OK.
    void Btn_OkClick();

    QLineEdit* Ed_TwainSource;
    QPushButton* Btn_Source;
    QCheckBox* Check_ShowTwainUI;
    TumNumberEdit* Ed_ScanMaxWidth;
    TumNumberEdit* Ed_ScanJpegQuality;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::shared_ptr<const images::SourceProbe> m_probe;
    QTimer* m_probeTimer;
};

// "&Propriétés": the dialog on the process-wide settings; on OK they are
// stored and written, a file that cannot be written reported.
void Popup_File_PropertiesClick(QWidget* parent);

}  // namespace records
