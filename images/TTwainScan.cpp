#include "images/TTwainScan.h"

#include "core/Globals.h"
#include "core/MessageCatalog.h"
#include "images/ImageRoutines.h"
#include "images/Scanner.h"
#include "ui/DialogButtons.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace images {

PictureFrame::PictureFrame(const QString& pictureName, QLabel* sizeLabel, QWidget* parent)
    : QWidget(parent), m_sizeLabel(sizeLabel)
{
    setObjectName(QStringLiteral("Pan_Img_Cadre"));
    setFixedSize(300, 300);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    m_image = new QLabel(this);
    m_image->setObjectName(pictureName);
    setPicture({});
}

void PictureFrame::setPicture(const QImage& picture)
{
    m_picture = picture;
    QString caption = core::LookupText(core::msg::EnterDocument_String1);
    if (hasPicture()) {
        caption += QStringLiteral(" (%1 x %2)").arg(m_picture.width()).arg(m_picture.height());
        const Fit f = FitToBox(width(), height(), m_picture.width(), m_picture.height());
        m_image->setScaledContents(f.scaled);
        m_image->setGeometry(f.rect);
        m_image->setPixmap(QPixmap::fromImage(m_picture));
    } else {
        m_image->clear();
    }
    if (m_sizeLabel)
        m_sizeLabel->setText(caption);
    Q_EMIT pictureChanged();
}

void PictureFrame::rotate(int angle)
{
    if (!hasPicture())
        return;
    ui::HourglassCursor hourglass;
    QImage turned = m_picture;
    RotateBitmap(turned, angle);
    setPicture(turned);
}

QPushButton* RotationButton(bool right, QWidget* parent)
{
    auto* b = new QPushButton(right ? QStringLiteral("↻") : QStringLiteral("↺"), parent);
    b->setObjectName(right ? QStringLiteral("Btn_Rotation_Right") : QStringLiteral("Btn_Rotation_Left"));
    b->setToolTip(right ? QStringLiteral("Pivoter à droite") : QStringLiteral("Pivoter à gauche"));
    b->setFixedSize(26, 24);
    return b;
}

QImage ScanForDialog(QWidget* dialog)
{
    ui::HourglassCursor hourglass;
    const bool wasEnabled = dialog->isEnabled();
    dialog->setEnabled(false);
    ScanRequest request;
    request.source = core::globals().settings.twainSource;
    request.pump = [] { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    const ScanResult result = AcquireImage(request);
    dialog->setEnabled(wasEnabled);
    if (result.libraryMissing) {
        ui::showError(core::LookupText(core::msg::EnterDocument_Message1).replace(QLatin1Char('|'), QLatin1Char('\r')),
                      dialog);
        return {};
    }
    if (!result.error.isEmpty())
        ui::showError(result.error, dialog);
    return result.image;
}

TTwainScan::TTwainScan(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TwainScan"));
    const QString title = QStringLiteral("  Numérisation d'une image");
    auto* outer = ui::FramedLayout(this, title, ui::TitleBar::Close);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 4, 10, 0);
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Lab_Image"));
    top->addWidget(label, 1);
    auto* left = RotationButton(false, this);
    auto* right = RotationButton(true, this);
    top->addWidget(left);
    top->addWidget(right);
    body->addLayout(top);
    m_frame = new PictureFrame(QStringLiteral("Img_Scan"), label, this);
    body->addWidget(m_frame, 0, Qt::AlignHCenter);
    body->addStretch();
    outer->addLayout(body, 1);
    QPushButton* cancel;
    ui::addOkCancelRow(this, outer, &m_ok, &cancel);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(left, &QPushButton::clicked, this, [this] { m_frame->rotate(270); });
    connect(right, &QPushButton::clicked, this, [this] { m_frame->rotate(90); });
    connect(m_frame, &PictureFrame::pictureChanged, this, &TTwainScan::updateOk);
    m_frame->setPicture({});
    resize(320, 442);
    ui::SetUpWindow(this);
}

void TTwainScan::updateOk()
{
    m_ok->setEnabled(m_frame->hasPicture());
}

void TTwainScan::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_acquired)
        QTimer::singleShot(0, this, &TTwainScan::Acquire);
}

void TTwainScan::Acquire()
{
    if (m_acquired)
        return;
    m_acquired = true;
    m_frame->setPicture(ScanForDialog(this));
}

}  // namespace images
