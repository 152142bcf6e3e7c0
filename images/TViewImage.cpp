#include "images/TViewImage.h"

#include "core/MessageCatalog.h"
#include "core/SaveFile.h"
#include "images/ImageRoutines.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace images {

TViewImage::TViewImage(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ViewImage"));
    const QString title = QStringLiteral("  Visualisation d'une Image");
    auto* outer = ui::FramedLayout(this, title, ui::TitleBar::Maximize | ui::TitleBar::Close);
    outer->setSpacing(0);
    m_body = new QWidget(this);
    m_body->setObjectName(QStringLiteral("Pan_Main"));
    outer->addWidget(m_body, 1);
    Image = new QLabel(m_body);
    Image->setObjectName(QStringLiteral("Image"));
    auto* grip = new ui::ResizeGrip(QStringLiteral("RezisePad"), 200, 200, this);
    grip->setFixedSize(14, 14);
    m_body->installEventFilter(this);
    Image->installEventFilter(this);
    resize(492, 473);
    ui::SetUpWindow(this);
}

void TViewImage::setPicture(const QImage& picture)
{
    m_picture = picture;
    Image->setPixmap(QPixmap::fromImage(picture));
    layoutImage();
}

void TViewImage::layoutImage()
{
    if (m_picture.isNull())
        return;
    const Fit f = FitToBox(m_body->width() - 20, m_body->height() - 20, m_picture.width(), m_picture.height());
    Image->setScaledContents(f.scaled);
    Image->setGeometry(f.rect.translated(10, 10));
    if (auto* grip = findChild<QWidget*>(QStringLiteral("RezisePad")))
        grip->move(width() - grip->width(), height() - grip->height());
}

void TViewImage::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    layoutImage();
}

void TViewImage::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    layoutImage();
}

bool TViewImage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_body && event->type() == QEvent::Resize)
        layoutImage();
    // Dragging the body or the picture moves the window.
    if (watched == m_body || watched == Image) {
        const auto mouse = [event] { return static_cast<QMouseEvent*>(event); };
        if (event->type() == QEvent::MouseButtonPress && mouse()->button() == Qt::LeftButton) {
            m_dragging = true;
            m_pressGlobal = mouse()->globalPosition().toPoint();
            m_pressPos = pos();
        } else if (event->type() == QEvent::MouseMove && m_dragging) {
            move(m_pressPos + mouse()->globalPosition().toPoint() - m_pressGlobal);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_dragging = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ShowImageFile(const QString& file, QWidget* parent)
{
    if (!QFileInfo::exists(file)) {
        ui::showError(core::LookupText(core::msg::LibBdGfx_Message1_View).replace(QStringLiteral("%1"), file), parent);
        return;
    }
    QImage picture;
    {
        ui::HourglassCursor hourglass;
        try {
            const QString suffix = QFileInfo(file).suffix().toUpper();
            picture = ReadPictureFile(file, suffix == QStringLiteral("JPG") || suffix == QStringLiteral("JPEG"));
        } catch (const ImageError& e) {
            ui::showError(e.message(), parent);
            return;
        }
    }
    TViewImage view(parent);
    view.setPicture(picture);
    ui::prompt().exec(&view);
}

void SaveImageCopyAs(const QString& storedFile, const QString& proposedName, QWidget* parent)
{
    if (!QFile::exists(storedFile)) {
        ui::showError(core::LookupText(core::msg::LibBdGfx_Message1_Save).replace(QStringLiteral("%1"), storedFile),
                      parent);
        return;
    }
    QString chosen = ui::prompt().saveFileName(parent, core::LookupText(core::msg::LibBdGfx_String2),
                                               ui::UserSaveFolder() + MakeFileNameSafe(proposedName),
                                               core::LookupText(core::msg::LibBdGfx_String1));
    if (chosen.isEmpty())
        return;
    ui::RememberSaveFolder(chosen);
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += QStringLiteral(".jpg");
    // The stored picture chosen as the target: it already is that file.
    if (QFileInfo(chosen).canonicalFilePath() == QFileInfo(storedFile).canonicalFilePath())
        return;
    // An existing file is replaced only by a whole copy.
    QString error;
    if (!core::copyFileAtomically(storedFile, chosen, &error))
        ui::showError(QStringLiteral("Impossible d'enregistrer la copie \"%1\".\r(%2)").arg(chosen, error), parent);
}

}  // namespace images
