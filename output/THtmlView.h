#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPrinter;
class QPushButton;
class QWebEngineView;

namespace output {

// The modal preview of a generated page: the page in a web view
// (WebBrowser_Html), its window.open pop-ups each in a window of their own,
// printing and saving a copy of the page with its pictures. Drawn frame of
// the common window set-up.
class THtmlView : public QDialog {
    Q_OBJECT
public:
    explicit THtmlView(QWidget* parent = nullptr);
    ~THtmlView() override;

    // The HTML file shown when the window is shown.
    void setPageFile(const QString& fileName) { m_pageFile = fileName; }
    const QString& pageFile() const { return m_pageFile; }
    // The caption label's text (leading spaces kept).
    void setTitleText(const QString& text);
    QLabel* titleLabel() const { return Title; }
    QWebEngineView* browser() const { return WebBrowser_Html; }
    // The pop-up windows opened by the page so far (closed ones drop out).
    QList<QWidget*> popupWindows() const;

    // Navigates to the page file (run when the window is shown).
    void FormShow();
    // Prints the page to the default printer without a dialog; with no
    // printer installed, asks for a PDF file instead. done (optional) gets
    // the outcome once the browser has finished.
    void imprimerClick();
    // Prints the shown page into a PDF file; done gets success. False, and
    // nothing started, while another print runs.
    bool printToPdf(const QString& fileName, std::function<void(bool)> done = {});
    // Prints the shown page on the printer, which the window keeps until the
    // browser is done with it or the window goes; ignored while another
    // print runs.
    void printWith(std::unique_ptr<QPrinter> printer);
    bool printing() const { return m_printing; }
    // Closing while a print runs closes once it has ended.
    void done(int result) override;
    // Saves a copy of the page with its pictures and pop-up pages where the
    // user chooses; a failure is told in French.
    void HtmlBtnClick();
    // The copy itself, without dialog: false with the reason on failure.
    static bool SaveHtmlCopy(const QString& workDirectory, const QString& target, QString* error);
    // The names of the pictures and pop-up pages that a copy to target would
    // put over existing files (the page itself aside).
    static QStringList FilesReplacedBySave(const QString& workDirectory, const QString& target);

Q_SIGNALS:
    // The page finished loading (ok false when it could not be shown).
    void pageLoaded(bool ok);
    void printed(bool ok);

protected:
    void showEvent(QShowEvent* event) override;

private:
    class Page;
    QWidget* openPopup();
    void printWithPrinter();
    void setPrinting(bool printing);

    QString m_pageFile;
    QLabel* Title = nullptr;
    QWidget* Pan_BackGround = nullptr;
    QWebEngineView* WebBrowser_Html = nullptr;
    QPushButton* ImprimerBtn = nullptr;
    QPushButton* HtmlBtn = nullptr;
    QPushButton* Btn_Close = nullptr;
    QList<QPointer<QWidget>> m_popups;
    bool m_printing = false;
    std::unique_ptr<QPrinter> m_printer;
    std::optional<int> m_pendingResult;  // a close asked for during a print
};

}  // namespace output
