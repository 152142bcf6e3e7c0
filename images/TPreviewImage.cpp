#include "images/TPreviewImage.h"

#include "core/MessageCatalog.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "images/ImagePrinting.h"
#include "images/ImageRoutines.h"
#include "images/TViewImage.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace images {

namespace {

QPushButton* barButton(const QString& text, const QString& name, const QString& hint, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    // As wide as the text needs: the style's minimum of some 80 pixels per
    // button would make the bar wider than an 800-pixel screen.
    b->setFixedWidth(qMax(30, b->fontMetrics().horizontalAdvance(QString(text).remove(QLatin1Char('&'))) + 18));
    return b;
}

// Places the window so that its frame, the system's title bar included,
// fills the work area.
void fillWorkArea(QWidget* w, const QRect& wa)
{
    const QRect frame = w->frameGeometry();
    const QRect client = w->geometry();
    const QMargins m(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                     frame.bottom() - client.bottom());
    w->setGeometry(wa.marginsRemoved(m));
}

QRect workArea(const QWidget* w)
{
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

TPreviewImage::TPreviewImage(db::Connection& connection, QWidget* parent)
    : QDialog(parent), QueryImg(&connection, QStringLiteral("QueryImg"))
{
    setObjectName(QStringLiteral("PreviewImage"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(new ui::TitleBar(QStringLiteral("  "), ui::TitleBar::Maximize | ui::TitleBar::Close, this));
    Cadre = new QScrollArea(this);
    Cadre->setObjectName(QStringLiteral("Cadre"));
    Cadre->setBackgroundRole(QPalette::Mid);
    Cadre->setWidgetResizable(false);
    m_content = new QWidget;
    Image = new QLabel(m_content);
    Image->setObjectName(QStringLiteral("Image"));
    Pan_F = new QWidget(m_content);
    Pan_F->setObjectName(QStringLiteral("Pan_F"));
    Pan_F->setFixedSize(10, 10);
    Cadre->setWidget(m_content);
    outer->addWidget(Cadre, 1);
    Image->installEventFilter(this);
    Cadre->viewport()->installEventFilter(this);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    m_first = barButton(QStringLiteral("|◀"), QStringLiteral("Btn_First"), {}, this);
    m_prior = barButton(QStringLiteral("◀"), QStringLiteral("Btn_Prior"), {}, this);
    m_next = barButton(QStringLiteral("▶"), QStringLiteral("Btn_Next"), {}, this);
    m_last = barButton(QStringLiteral("▶|"), QStringLiteral("Btn_Last"), {}, this);
    auto* fit = barButton(QStringLiteral("Page"), QStringLiteral("LMDShapeButton2"), {}, this);
    auto* width = barButton(QStringLiteral("Largeur"), QStringLiteral("spbPreviewWidth"), {}, this);
    auto* actual = barButton(QStringLiteral("100 %"), QStringLiteral("spbPreview100Percent"), {}, this);
    m_print = barButton(QStringLiteral("Imprimer"), QStringLiteral("Btn_Print"), QStringLiteral("Imprimer"), this);
    m_save = barButton(QStringLiteral("Enregistrer"), QStringLiteral("Btn_Save"), {}, this);
    auto* close = barButton(QStringLiteral(" &Fermer"), QStringLiteral("Btn_Close"), {}, this);
    for (QPushButton* b : {m_first, m_prior, m_next, m_last})
        b->setVisible(false);
    for (QPushButton* b : {m_first, m_prior, m_next, m_last, fit, width, actual, m_print, m_save})
        bar->addWidget(b);
    bar->addStretch();
    bar->addWidget(close);
    auto* grip = new ui::ResizeGrip(QStringLiteral("RezisePad"), 300, 200, this);
    grip->setFixedSize(14, 14);
    bar->addWidget(grip, 0, Qt::AlignBottom);
    outer->addLayout(bar);

    connect(m_first, &QPushButton::clicked, this, &TPreviewImage::First);
    connect(m_prior, &QPushButton::clicked, this, &TPreviewImage::Prior);
    connect(m_next, &QPushButton::clicked, this, &TPreviewImage::Next);
    connect(m_last, &QPushButton::clicked, this, &TPreviewImage::Last);
    connect(fit, &QPushButton::clicked, this, [this] { setZoom(FitWindow); });
    connect(width, &QPushButton::clicked, this, [this] { setZoom(FitWidth); });
    connect(actual, &QPushButton::clicked, this, [this] { setZoom(ActualSize); });
    connect(m_print, &QPushButton::clicked, this, &TPreviewImage::Btn_PrintClick);
    connect(m_save, &QPushButton::clicked, this, &TPreviewImage::Btn_SaveClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    resize(800, 600);
    ui::SetUpWindow(this);
}

void TPreviewImage::setQueryText(const QString& sql)
{
    QueryImg.Close();
    QueryImg.setSQLText(sql);
}

void TPreviewImage::OpenOn(int id, int windowMode)
{
    const QRect wa = workArea(this);
    auto* maxi = findChild<QWidget*>(QStringLiteral("SysMaxiBtn"));
    setWindowState(Qt::WindowNoState);
    m_fillWorkArea = windowMode == 2;
    if (windowMode == 2) {
        fillWorkArea(this, wa);
        if (maxi)
            maxi->setToolTip(core::LookupText(core::msg::Common_MinimizeWindows));
    } else {
        resize(800, 600);
        move(wa.x() + (wa.width() - 800) / 2, wa.y() + (wa.height() - 600) / 2);
        if (maxi)
            maxi->setToolTip(core::LookupText(core::msg::Common_MaximizeWindows));
    }
    for (QPushButton* b : {m_first, m_prior, m_next, m_last})
        b->setVisible(true);
    QueryImg.Close();
    QueryImg.Open();
    if (id != -1)
        QueryImg.Locate(QStringLiteral("Id"), id);
    LoadCurrent();
    LayoutImage();
}

bool TPreviewImage::currentFileExists() const
{
    return !m_file.isEmpty() && QFileInfo::exists(m_file);
}

void TPreviewImage::LoadCurrent()
{
    m_picture = QImage();
    m_file.clear();
    QString title;
    if (QueryImg.IsOpen() && !QueryImg.IsEmpty()) {
        m_file = ImageDir + FilePrefix + QString::number(QueryImg.FieldByName(QStringLiteral("Id")).AsInteger())
            + QStringLiteral(".jpg");
        title = QueryImg.FieldByName(QStringLiteral("Title")).AsString();
    }
    if (!m_file.isEmpty() && QFileInfo::exists(m_file)) {
        ui::HourglassCursor hourglass;
        try {
            m_picture = ReadPictureFile(m_file, true);
        } catch (const ImageError& e) {
            ui::showError(e.message(), this);
        }
    } else if (!m_file.isEmpty()) {
        ui::showError(core::LookupText(core::msg::PreviewImage_Message1).replace(QStringLiteral("%1"), m_file), this);
    }
    Image->setPixmap(m_picture.isNull() ? QPixmap() : QPixmap::fromImage(m_picture));
    const QString caption = QStringLiteral("  ") + CaptionWord + QStringLiteral(" (") + title + QLatin1Char(')');
    if (auto* label = findChild<QLabel*>(QStringLiteral("Title")))
        label->setText(caption);
    setWindowTitle(ui::WindowCaptionFromTitle(caption));
    UpdateButtons();
}

void TPreviewImage::UpdateButtons()
{
    const int n = QueryImg.IsOpen() ? QueryImg.RecordCount() : 0;
    const int at = QueryImg.IsOpen() ? QueryImg.RecNo() : 0;
    m_first->setEnabled(n >= 2 && at > 1);
    m_prior->setEnabled(n >= 2 && at > 1);
    m_next->setEnabled(n >= 2 && at < n);
    m_last->setEnabled(n >= 2 && at < n);
    m_print->setEnabled(currentFileExists());
    m_save->setEnabled(currentFileExists());
}

void TPreviewImage::First()
{
    QueryImg.First();
    LoadCurrent();
    LayoutImage();
}

void TPreviewImage::Prior()
{
    QueryImg.Prior();
    LoadCurrent();
    LayoutImage();
}

void TPreviewImage::Next()
{
    QueryImg.Next();
    LoadCurrent();
    LayoutImage();
}

void TPreviewImage::Last()
{
    QueryImg.Last();
    LoadCurrent();
    LayoutImage();
}

void TPreviewImage::setZoom(int mode)
{
    ZoomMode = mode;
    LayoutImage();
}

void TPreviewImage::LayoutImage()
{
    Cadre->horizontalScrollBar()->setValue(0);
    Cadre->verticalScrollBar()->setValue(0);
    const QSize box = Cadre->viewport()->size();
    if (box.isEmpty() || m_picture.isNull() || m_picture.width() == 0 || m_picture.height() == 0) {
        m_content->resize(box);
        return;
    }
    const int pw = m_picture.width();
    const int ph = m_picture.height();
    if (ZoomMode == FitWidth) {
        const int h = static_cast<int>(static_cast<double>(ph) / pw * (box.width() - 20));
        const Fit f = FitToBox(box.width() - 45, h - 25, pw, ph);
        Image->setScaledContents(f.scaled);
        Image->setGeometry(f.rect.translated(10, 10));
    } else if (ZoomMode == ActualSize) {
        Image->setScaledContents(false);
        Image->setGeometry(10, 10, pw, ph);
    } else {
        const Fit f = FitToBox(box.width() - 25, box.height() - 25, pw, ph);
        Image->setScaledContents(f.scaled);
        Image->setGeometry(f.rect.translated(10, 10));
    }
    const bool spacer = ZoomMode != FitWindow;
    Pan_F->setVisible(spacer);
    if (spacer) {
        Pan_F->move(Image->geometry().bottomRight() + QPoint(1, 1));
        m_content->resize(QSize(Pan_F->geometry().right() + 1, Pan_F->geometry().bottom() + 1).expandedTo(QSize(1, 1)));
    } else {
        m_content->resize(box);
    }
}

void TPreviewImage::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // The system's frame is known only once the window is on screen.
    if (m_fillWorkArea)
        QTimer::singleShot(0, this, [this] {
            if (m_fillWorkArea)
                fillWorkArea(this, workArea(this));
            m_fillWorkArea = false;
        });
}

void TPreviewImage::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (auto* grip = findChild<QWidget*>(QStringLiteral("RezisePad")))
        grip->setVisible(!isMaximized());
    LayoutImage();
}

bool TPreviewImage::eventFilter(QObject* watched, QEvent* event)
{
    // The viewport takes its size only after the window's own resize.
    if (watched == Cadre->viewport() && event->type() == QEvent::Resize && !m_layingOut) {
        m_layingOut = true;
        LayoutImage();
        m_layingOut = false;
    }
    if (watched == Image) {
        const auto mouse = [event] { return static_cast<QMouseEvent*>(event); };
        if (event->type() == QEvent::MouseButtonPress && mouse()->button() == Qt::LeftButton) {
            m_panning = true;
            m_pressCursor = mouse()->globalPosition().toPoint();
            m_pressScroll = {Cadre->horizontalScrollBar()->value(), Cadre->verticalScrollBar()->value()};
        } else if (event->type() == QEvent::MouseMove && m_panning) {
            const QPoint d = m_pressCursor - mouse()->globalPosition().toPoint();
            Cadre->horizontalScrollBar()->setValue(m_pressScroll.x() + d.x());
            Cadre->verticalScrollBar()->setValue(m_pressScroll.y() + d.y());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_panning = false;
        }
    }
    if (event->type() == QEvent::Wheel && (watched == Image || watched == Cadre->viewport())) {
        auto* we = static_cast<QWheelEvent*>(event);
        const int notches = we->angleDelta().y() / 120;
        QScrollBar* v = Cadre->verticalScrollBar();
        v->setValue(v->value() - 4 * (notches == 0 ? (we->angleDelta().y() > 0 ? 1 : -1) : notches));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPreviewImage::Btn_PrintClick()
{
    const int n = QueryImg.IsOpen() ? QueryImg.RecordCount() : 0;
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, qMax(1, n));
    dialog.setFromTo(1, qMax(1, n));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, n >= 2);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (n >= 2)
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
    if (ui::prompt().exec(&dialog) != QDialog::Accepted)
        return;
    const int copies = qMax(1, printer.copyCount());
    printer.setCopyCount(1);
    switch (printer.printRange()) {
    case QPrinter::PageRange: PrintRange(printer, printer.fromPage(), printer.toPage(), copies); break;
    case QPrinter::AllPages: PrintRange(printer, 1, n, copies); break;
    default: PrintRange(printer, 0, 0, copies); break;  // the current picture
    }
}

void TPreviewImage::PrintRange(QPrinter& printer, int from, int to, int copies)
{
    PicturePrinter out(printer);
    // The picture shown is the one decoded for its page: one picture in
    // memory at a time, however long the range.
    auto printCurrent = [&] {
        if (m_picture.isNull())
            return;
        for (int c = 0; c < copies; ++c)
            out.printPage(m_picture, windowTitle());
    };
    if (from <= 0) {
        if (!currentFileExists()) {
            ui::showError(core::LookupText(core::msg::PreviewImage_Message1).replace(QStringLiteral("%1"), m_file),
                          this);
            return;
        }
        printCurrent();
    } else {
        // A range walks the records from the first; the window closes
        // afterwards. Loading a record reports its missing picture once.
        hide();
        QueryImg.First();
        for (int pos = 1; !QueryImg.Eof() && (to <= 0 || pos <= to); ++pos) {
            if (pos >= from) {
                LoadCurrent();
                printCurrent();
                Q_EMIT pagePrinted(pos);
            }
            QueryImg.Next();
        }
    }
    {
        ui::HourglassCursor hourglass;
        if (!out.finish())
            ui::showError(QStringLiteral("L'impression n'a pas pu commencer sur « %1 ».").arg(printer.printerName()),
                          this);
    }
    if (from > 0)
        accept();
}

void TPreviewImage::Btn_SaveClick()
{
    if (!currentFileExists())
        return;
    const QString title =
        QueryImg.IsOpen() && !QueryImg.IsEmpty() ? QueryImg.FieldByName(QStringLiteral("Title")).AsString() : QString();
    SaveImageCopyAs(m_file, title.isEmpty() ? QStringLiteral("*.jpg") : title + QStringLiteral(".jpg"), this);
}

}  // namespace images
