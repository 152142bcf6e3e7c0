#include "output/THtmlView.h"

#include "core/ColorRef.h"
#include "core/Globals.h"
#include "core/MessageCatalog.h"
#include "core/SaveFile.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <memory>

namespace output {

namespace {

constexpr quint32 kBackgroundColor = 15132390;

// The pages carry no character-set declaration: they are Windows-1252.
void setUpBrowser(QWebEngineView* view)
{
    QWebEngineSettings* s = view->settings();
    s->setDefaultTextEncoding(QStringLiteral("windows-1252"));
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
}

}  // namespace

// A page whose window.open calls open a window of their own, sized as the
// script asks.
class THtmlView::Page : public QWebEnginePage {
public:
    Page(THtmlView* owner, QObject* parent) : QWebEnginePage(parent), m_owner(owner) { }

protected:
    QWebEnginePage* createWindow(WebWindowType) override
    {
        QWidget* window = m_owner->openPopup();
        return window->findChild<QWebEngineView*>()->page();
    }

private:
    THtmlView* m_owner;
};

THtmlView::THtmlView(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HtmlView"));
    setProperty("centredOnScreen", true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* bar = new ui::TitleBar(QString(), ui::TitleBar::Maximize | ui::TitleBar::CloseAsExit, this);
    Title = bar->titleLabel();
    outer->addWidget(bar);

    Pan_BackGround = new QWidget(this);
    Pan_BackGround->setObjectName(QStringLiteral("Pan_BackGround"));
    Pan_BackGround->setAutoFillBackground(true);
    QPalette pal = Pan_BackGround->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(core::RgbFromColorRef(kBackgroundColor)));
    Pan_BackGround->setPalette(pal);
    auto* panel = new QVBoxLayout(Pan_BackGround);
    // The browser keeps the panel's width and height less 10 pixels.
    panel->setContentsMargins(5, 5, 5, 5);
    WebBrowser_Html = new QWebEngineView(Pan_BackGround);
    WebBrowser_Html->setObjectName(QStringLiteral("WebBrowser_Html"));
    WebBrowser_Html->setPage(new Page(this, WebBrowser_Html));
    setUpBrowser(WebBrowser_Html);
    panel->addWidget(WebBrowser_Html);
    outer->addWidget(Pan_BackGround, 1);
    connect(WebBrowser_Html, &QWebEngineView::loadFinished, this, &THtmlView::pageLoaded);
    connect(WebBrowser_Html, &QWebEngineView::printFinished, this, [this](bool ok) {
        setPrinting(false);
        m_printer.reset();
        if (!ok)
            ui::showError(QStringLiteral("L'impression de la page a échoué."), this);
        Q_EMIT printed(ok);
    });

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("Pan_Bottom"));
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(6, 4, 2, 2);
    ImprimerBtn = new QPushButton(QStringLiteral(" &Imprimer"), bottom);
    ImprimerBtn->setObjectName(QStringLiteral("ImprimerBtn"));
    HtmlBtn = new QPushButton(QStringLiteral(" &Enregistrer"), bottom);
    HtmlBtn->setObjectName(QStringLiteral("HtmlBtn"));
    Btn_Close = new QPushButton(QStringLiteral(" &Fermer"), bottom);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    row->addWidget(ImprimerBtn);
    row->addWidget(HtmlBtn);
    row->addStretch(1);
    row->addWidget(Btn_Close);
    row->addWidget(new ui::ResizeGrip(QStringLiteral("RezisePad"), 400, 200, bottom), 0, Qt::AlignBottom);
    outer->addWidget(bottom);
    connect(ImprimerBtn, &QPushButton::clicked, this, &THtmlView::imprimerClick);
    connect(HtmlBtn, &QPushButton::clicked, this, &THtmlView::HtmlBtnClick);
    connect(Btn_Close, &QPushButton::clicked, this, &THtmlView::close);

    resize(720, 488);
    ui::SetUpWindow(this);
}

THtmlView::~THtmlView()
{
    // The web engine fails when its view goes in the middle of a print:
    // a window freed while printing waits for the print's end (no input).
    if (m_printing) {
        QEventLoop wait;
        connect(this, &THtmlView::printed, &wait, &QEventLoop::quit);
        QTimer::singleShot(30000, &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // The browser goes before the printer; the pop-ups are children and go
    // with the window.
    disconnect(WebBrowser_Html, nullptr, this, nullptr);
    delete WebBrowser_Html;
    WebBrowser_Html = nullptr;
    m_printer.reset();
}

void THtmlView::setTitleText(const QString& text)
{
    Title->setText(text);
}

QList<QWidget*> THtmlView::popupWindows() const
{
    QList<QWidget*> out;
    for (const QPointer<QWidget>& w : m_popups) {
        if (w)
            out << w.data();
    }
    return out;
}

void THtmlView::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void THtmlView::FormShow()
{
    setWindowTitle(ui::WindowCaptionFromTitle(Title->text()));
    WebBrowser_Html->setUrl(QUrl::fromLocalFile(m_pageFile));
}

QWidget* THtmlView::openPopup()
{
    // A window of its own above the modal preview, so that it takes input;
    // freed when closed, or with the preview.
    auto* window = new QWidget(this, Qt::Window);
    window->setObjectName(QStringLiteral("HtmlPopup"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new QWebEngineView(window);
    setUpBrowser(view);
    layout->addWidget(view);
    connect(view->page(), &QWebEnginePage::geometryChangeRequested, window,
            [window](const QRect& geometry) { window->setGeometry(geometry); });
    connect(view->page(), &QWebEnginePage::windowCloseRequested, window, &QWidget::close);
    connect(view->page(), &QWebEnginePage::titleChanged, window, &QWidget::setWindowTitle);
    window->resize(600, 500);
    window->show();
    m_popups << window;
    return window;
}

void THtmlView::imprimerClick()
{
    if (m_printing)
        return;
    if (QPrinterInfo::defaultPrinter().isNull()) {
        // No printer on this system: a PDF file is the printer.
        const QString file = ui::prompt().saveFileName(this, QStringLiteral("Imprimer la page dans un fichier PDF"),
                                                       core::globals().dataRoot + QStringLiteral("index.pdf"),
                                                       QStringLiteral("Document PDF|*.pdf"));
        if (file.isEmpty() || m_printing)
            return;
        printToPdf(file, [this](bool ok) {
            if (!ok)
                ui::showError(QStringLiteral("L'impression de la page a échoué."), this);
        });
        return;
    }
    printWithPrinter();
}

void THtmlView::printWithPrinter()
{
    printWith(std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution));
}

void THtmlView::printWith(std::unique_ptr<QPrinter> printer)
{
    if (m_printing)
        return;
    // The printer outlives the asynchronous print: the window owns it until
    // the browser is done or the window goes.
    m_printer = std::move(printer);
    setPrinting(true);
    WebBrowser_Html->print(m_printer.get());
}

void THtmlView::setPrinting(bool printing)
{
    m_printing = printing;
    ImprimerBtn->setEnabled(!printing);
    if (!printing && m_pendingResult) {
        const int result = *m_pendingResult;
        m_pendingResult.reset();
        // After the print's own signals have been delivered.
        QTimer::singleShot(0, this, [this, result] { QDialog::done(result); });
    }
}

void THtmlView::done(int result)
{
    // Closing waits for the print to end: the browser cannot be freed
    // while it prints.
    if (m_printing) {
        m_pendingResult = result;
        return;
    }
    QDialog::done(result);
}

bool THtmlView::printToPdf(const QString& fileName, std::function<void(bool)> done)
{
    // One print at a time: the browser cannot run two.
    if (m_printing)
        return false;
    setPrinting(true);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(WebBrowser_Html->page(), &QWebEnginePage::pdfPrintingFinished, this,
                          [this, fileName, done, connection](const QString& path, bool ok) {
                              if (path != fileName)
                                  return;
                              disconnect(*connection);
                              setPrinting(false);
                              if (done)
                                  done(ok);
                              Q_EMIT printed(ok);
                          });
    WebBrowser_Html->page()->printToPdf(
        fileName, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10)));
    return true;
}

QStringList THtmlView::FilesReplacedBySave(const QString& workDirectory, const QString& target)
{
    const QDir work(workDirectory);
    const QDir targetDir = QFileInfo(target).absoluteDir();
    QStringList replaced;
    if (!QFileInfo(work.absoluteFilePath(QStringLiteral("index.htm"))).isFile())
        return replaced;
    for (const QFileInfo& f : work.entryInfoList({QStringLiteral("*.jpg"), QStringLiteral("*.htm")}, QDir::Files)) {
        if (f.fileName() == QStringLiteral("index.htm"))
            continue;
        const QFileInfo there(targetDir.absoluteFilePath(f.fileName()));
        // A file copied onto itself replaces nothing of the user's.
        if (there.exists() && there.canonicalFilePath() != f.canonicalFilePath())
            replaced << f.fileName();
    }
    return replaced;
}

bool THtmlView::SaveHtmlCopy(const QString& workDirectory, const QString& target, QString* error)
{
    const QDir work(workDirectory);
    const QString index = work.absoluteFilePath(QStringLiteral("index.htm"));
    auto copy = [error](const QString& from, const QString& to) {
        // Saving into the work directory itself copies each file onto itself.
        if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath())
            return true;
        return core::copyFileAtomically(from, to, error);
    };
    if (!QFileInfo(index).isFile()) {
        if (error)
            *error = QStringLiteral("La page html n'existe plus.");
        return false;
    }
    const QDir target_dir = QFileInfo(target).absoluteDir();
    for (const QFileInfo& f : work.entryInfoList({QStringLiteral("*.jpg")}, QDir::Files)) {
        if (!copy(f.absoluteFilePath(), target_dir.absoluteFilePath(f.fileName())))
            return false;
    }
    for (const QFileInfo& f : work.entryInfoList({QStringLiteral("*.htm")}, QDir::Files)) {
        if (f.fileName() != QStringLiteral("index.htm")
            && !copy(f.absoluteFilePath(), target_dir.absoluteFilePath(f.fileName())))
            return false;
    }
    return copy(index, target);
}

void THtmlView::HtmlBtnClick()
{
    const QString file = ui::prompt().saveFileName(this, core::LookupText(core::msg::HtmlView_String1),
                                                   core::globals().dataRoot + QStringLiteral("index.htm"),
                                                   QStringLiteral("Page web|*.htm;*.html"));
    if (file.isEmpty())
        return;
    const QString target = QFileInfo(file).suffix().isEmpty() ? file + QStringLiteral(".htm") : file;
    const QString work = QFileInfo(m_pageFile).absolutePath();
    // The page's name was confirmed in the save dialog; its pictures and
    // pop-up pages are asked for once, all together.
    const QStringList replaced = FilesReplacedBySave(work, target);
    if (!replaced.isEmpty()) {
        QStringList shown = replaced.mid(0, 5);
        if (replaced.size() > 5)
            shown << QStringLiteral("…");
        if (!ui::confirm(
                QStringLiteral("Des fichiers du même nom que les images et les pages de cette page existent "
                               "déjà dans le dossier \"%1\" :\r%2\rVoulez-vous les remplacer ?")
                    .arg(QDir::toNativeSeparators(QFileInfo(target).absolutePath()), shown.join(QStringLiteral(", "))),
                this))
            return;
    }
    QString error;
    if (!SaveHtmlCopy(work, target, &error))
        ui::showError(QStringLiteral("La page html n'a pas pu être enregistrée :\r") + QDir::toNativeSeparators(target)
                          + QStringLiteral("\r\r") + error,
                      this);
}

}  // namespace output
