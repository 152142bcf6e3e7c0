#pragma once

#include <QDialog>
#include <QIcon>
#include <QStyle>

class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QToolButton;

namespace report {
class Report;
class TfrPreview;
}  // namespace report

namespace printing {

// The modal preview of a prepared report, from which it is printed. The
// report is not owned. Printing asks for the range and the copies through
// the print dialog and closes the window, confirmed or not.
class TFreeReportPrintViewer : public QDialog {
    Q_OBJECT
public:
    explicit TFreeReportPrintViewer(QWidget* parent = nullptr);

    void setReport(report::Report* report);
    report::TfrPreview* preview() const { return frPreview; }

    void spbPreviewPrintClick();
    // Prints "first-last" of the prepared pages with copies on the printer
    // of the last dialog; false when it could not be printed.
    bool Print(const QString& pageRange, int copies);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QToolButton* barButton(const QString& name, const QString& hint, const QIcon& icon, const QString& text);
    void FormShow();

    report::Report* m_report = nullptr;
    report::TfrPreview* frPreview = nullptr;
    QLineEdit* Ed_Key = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* Btn_Close = nullptr;
    QLabel* m_title = nullptr;
    QPrinter* m_printer = nullptr;
};

}  // namespace printing
