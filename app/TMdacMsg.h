#pragma once

#include <QDialog>

class QTextBrowser;

namespace app {

// Shown when the data-access components are missing or too old: the local
// page html/mdac.htm of the program directory and a close button.
class TMdacMsg : public QDialog {
    Q_OBJECT
public:
    explicit TMdacMsg(QWidget* parent = nullptr);
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

}  // namespace app
