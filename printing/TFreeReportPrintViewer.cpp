#include "printing/TFreeReportPrintViewer.h"

#include "report/Report.h"
#include "report/TfrPreview.h"
#include "ui/Prompt.h"
#include "ui/ThemeIcon.h"
#include "ui/WindowFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace printing {

namespace {
constexpr int kClientWidth = 622;
constexpr int kClientHeight = 508;
}  // namespace

TFreeReportPrintViewer::TFreeReportPrintViewer(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FreeReportPrintViewer"));
    setProperty("centredOnScreen", true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* titleBar = new ui::TitleBar(QStringLiteral(" Prévisualisation du rapport"),
                                      ui::TitleBar::Maximize | ui::TitleBar::Close | ui::TitleBar::CloseAsExit, this);
    m_title = titleBar->titleLabel();
    outer->addWidget(titleBar);

    auto* panel = new QWidget(this);
    auto* stack = new QVBoxLayout(panel);
    stack->setContentsMargins(0, 0, 0, 0);
    // The designer is not offered: the hidden code-word field and its button
    // keep the keyboard focus order of the window and do nothing.
    Ed_Key = new QLineEdit(panel);
    Ed_Key->setObjectName(QStringLiteral("Ed_Key"));
    Ed_Key->setFixedSize(0, 0);
    BitBtn1 = new QPushButton(panel);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFixedSize(0, 0);
    frPreview = new report::TfrPreview(panel);
    stack->addWidget(Ed_Key);
    stack->addWidget(BitBtn1);
    stack->addWidget(frPreview, 1);
    outer->addWidget(panel, 1);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("Pan_Bottom"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(0);
    QToolButton* print = barButton(QStringLiteral("spbPreviewPrint"), QStringLiteral("Imprimer"), ui::PrinterIcon(),
                                   QStringLiteral("⎙"));
    row->addWidget(print);
    row->addSpacing(10);
    QToolButton* onePage = barButton(QStringLiteral("Btn_Size_OnePage"), QStringLiteral("Page entière"),
                                     style()->standardIcon(QStyle::SP_TitleBarNormalButton), QStringLiteral("▯"));
    QToolButton* pageWidth =
        barButton(QStringLiteral("Btn_Size_PageWidth"), QStringLiteral("Largeur de page"),
                  style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton), QStringLiteral("↔"));
    QToolButton* full = barButton(QStringLiteral("Btn_Size_Full"), QStringLiteral("100 %"),
                                  style()->standardIcon(QStyle::SP_TitleBarMaxButton), QStringLiteral("1:1"));
    row->addWidget(onePage);
    row->addWidget(pageWidth);
    row->addWidget(full);
    row->addSpacing(10);
    QToolButton* first = barButton(QStringLiteral("spbPreviewFirst"), QStringLiteral("Première page"),
                                   style()->standardIcon(QStyle::SP_MediaSkipBackward), QStringLiteral("|◀"));
    QToolButton* prior = barButton(QStringLiteral("spbPreviewPrior"), QStringLiteral("Page précédente"),
                                   style()->standardIcon(QStyle::SP_MediaSeekBackward), QStringLiteral("◀"));
    QToolButton* next = barButton(QStringLiteral("spbPreviewNext"), QStringLiteral("Page suivante"),
                                  style()->standardIcon(QStyle::SP_MediaSeekForward), QStringLiteral("▶"));
    QToolButton* last = barButton(QStringLiteral("spbPreviewLast"), QStringLiteral("Dernière page"),
                                  style()->standardIcon(QStyle::SP_MediaSkipForward), QStringLiteral("▶|"));
    row->addWidget(first);
    row->addWidget(prior);
    row->addWidget(next);
    row->addWidget(last);
    auto* cancel = new QPushButton(QStringLiteral("Stop"), bar);
    cancel->setObjectName(QStringLiteral("spbPreviewCancel"));
    cancel->setToolTip(QStringLiteral("Stopper l'impression"));
    cancel->setEnabled(false);
    cancel->setVisible(false);
    row->addStretch(1);
    Btn_Close = new QPushButton(QStringLiteral(" &Fermer"), bar);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    Btn_Close->setFixedWidth(81);
    row->addWidget(Btn_Close);
    row->addSpacing(2);
    row->addWidget(new ui::ResizeGrip(QStringLiteral("RezisePad"), 300, 200, bar), 0, Qt::AlignBottom);
    outer->addWidget(bar);

    connect(print, &QToolButton::clicked, this, &TFreeReportPrintViewer::spbPreviewPrintClick);
    connect(onePage, &QToolButton::clicked, frPreview, &report::TfrPreview::OnePage);
    connect(pageWidth, &QToolButton::clicked, frPreview, &report::TfrPreview::PageWidth);
    connect(full, &QToolButton::clicked, frPreview, &report::TfrPreview::Zoom100);
    connect(first, &QToolButton::clicked, frPreview, &report::TfrPreview::First);
    connect(prior, &QToolButton::clicked, frPreview, &report::TfrPreview::Prior);
    connect(next, &QToolButton::clicked, frPreview, &report::TfrPreview::Next);
    connect(last, &QToolButton::clicked, frPreview, &report::TfrPreview::Last);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);

    resize(kClientWidth, kClientHeight);
    ui::SetUpWindow(this);
    setTabOrder(Ed_Key, BitBtn1);
}

QToolButton* TFreeReportPrintViewer::barButton(const QString& name, const QString& hint, const QIcon& i,
                                               const QString& text)
{
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setToolTip(hint);
    if (i.isNull())
        b->setText(text);
    else
        b->setIcon(i);
    b->setFixedWidth(31);
    b->setAutoRaise(true);
    return b;
}

void TFreeReportPrintViewer::setReport(report::Report* report)
{
    m_report = report;
    frPreview->setReport(report);
}

void TFreeReportPrintViewer::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFreeReportPrintViewer::FormShow()
{
    frPreview->PageWidth();
    setWindowTitle(ui::WindowCaptionFromTitle(m_title->text().trimmed()));
    Ed_Key->setFocus();
}

void TFreeReportPrintViewer::spbPreviewPrintClick()
{
    const int pages = frPreview->pageCount();
    QPrinter printer(QPrinter::HighResolution);
    m_printer = &printer;
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintSelection
                      | QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    printer.setCopyCount(1);
    dialog.setMinMax(1, std::max(1, pages));
    dialog.setFromTo(1, std::max(1, pages));
    if (ui::prompt().exec(&dialog) == QDialog::Accepted && pages > 0) {
        int firstPage = 1, lastPage = pages;
        if (dialog.printRange() == QAbstractPrintDialog::Selection) {
            firstPage = lastPage = frPreview->page();
        } else if (dialog.printRange() == QAbstractPrintDialog::PageRange && dialog.fromPage() > 0) {
            firstPage = dialog.fromPage();
            lastPage = dialog.toPage() > 0 ? dialog.toPage() : pages;
        }
        if (!Print(QStringLiteral("%1-%2").arg(firstPage).arg(lastPage), printer.copyCount()))
            ui::showError(QStringLiteral("L'impression n'a pas pu être faite sur « %1 ».").arg(printer.printerName()),
                          this);
    }
    m_printer = nullptr;
    close();
}

bool TFreeReportPrintViewer::Print(const QString& pageRange, int copies)
{
    if (!m_report || !m_report->isPrepared() || !m_printer)
        return false;
    const report::PreparedReport& prepared = m_report->prepared();
    return report::PrintToPrinter(prepared, *m_printer, prepared.parsePageRange(pageRange), std::max(1, copies));
}

}  // namespace printing
