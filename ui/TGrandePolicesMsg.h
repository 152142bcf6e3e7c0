#pragma once

#include "core/Settings.h"

#include <QDialog>

class QCheckBox;

namespace ui {

// Notice shown when the screen is not at 96 pixels per inch.
class TGrandePolicesMsg : public QDialog {
    Q_OBJECT
public:
    explicit TGrandePolicesMsg(QWidget* parent = nullptr);
    bool hideChecked() const;
    QCheckBox* hideCheck() const { return m_hide; }

private:
    QCheckBox* m_hide;
};

// Settles HideBigFontMsg: at 96 pixels per inch it becomes true without a
// window; otherwise, unless already true, the notice is shown and the setting
// takes its check box.
void SettleBigFontNotice(core::Settings& settings, int dpiX, QWidget* parent = nullptr);

// Horizontal resolution of the primary screen.
int screenDpiX();

}  // namespace ui
