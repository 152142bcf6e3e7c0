#include "records/TEnterDocument.h"

#include "core/MessageCatalog.h"
#include "db/DbError.h"
#include "images/ImageRoutines.h"
#include "images/Scanner.h"
#include "images/TTwainScan.h"
#include "records/PhotoStorage.h"
#include "ui/DialogButtons.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace records {

TEnterDocument::TEnterDocument(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EnterDocument"));
    const QString caption = QStringLiteral("  Sélection d'un document");
    auto* outer = ui::FramedLayout(this, caption, ui::TitleBar::Close);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 2, 10, 0);
    body->setSpacing(3);
    // The title beside its label: the picture frame needs the height.
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(new QLabel(QStringLiteral("Titre"), this));
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("Ed_Title"));
    m_title->setMaxLength(128);
    titleRow->addWidget(m_title, 1);
    body->addLayout(titleRow);
    auto* choose = new QHBoxLayout;
    auto* img = new QPushButton(QStringLiteral("Sélection d'une image"), this);
    img->setObjectName(QStringLiteral("Btn_Img"));
    m_scan = new QPushButton(QStringLiteral("Scanner une image"), this);
    m_scan->setObjectName(QStringLiteral("Btn_Scan"));
    choose->addWidget(img);
    choose->addWidget(m_scan);
    body->addLayout(choose);
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Lab_Image"));
    top->addWidget(label, 1);
    auto* left = images::RotationButton(false, this);
    auto* right = images::RotationButton(true, this);
    top->addWidget(left);
    top->addWidget(right);
    body->addLayout(top);
    m_frame = new images::PictureFrame(QStringLiteral("Img_Document"), label, this);
    body->addWidget(m_frame, 0, Qt::AlignHCenter);
    body->addStretch();
    outer->addLayout(body, 1);
    QPushButton* cancel;
    ui::addOkCancelRow(this, outer, &m_ok, &cancel);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(img, &QPushButton::clicked, this, &TEnterDocument::Btn_ImgClick);
    connect(m_scan, &QPushButton::clicked, this, &TEnterDocument::Btn_ScanClick);
    connect(left, &QPushButton::clicked, this, [this] { rotate(270); });
    connect(right, &QPushButton::clicked, this, [this] { rotate(90); });
    connect(m_title, &QLineEdit::textChanged, this, &TEnterDocument::updateOk);
    connect(m_frame, &images::PictureFrame::pictureChanged, this, &TEnterDocument::updateOk);
    m_frame->setPicture({});
    m_title->setFocus();
    m_probeTimer = new QTimer(this);
    m_probeTimer->setInterval(50);
    connect(m_probeTimer, &QTimer::timeout, this, &TEnterDocument::probeAnswered);
    resize(320, 442);
    ui::SetUpWindow(this);
}

void TEnterDocument::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    updateOk();
    m_title->setFocus();
    // SANE may take seconds to probe its backends: the dialog is usable
    // meanwhile and the button comes on once a device is known.
    m_scan->setEnabled(false);
    if (!m_probe)
        m_probe = images::SourceProbe::start();
    m_probeTimer->start();
}

void TEnterDocument::probeAnswered()
{
    if (!m_probe || !m_probe->ready())
        return;
    m_probeTimer->stop();
    m_scan->setEnabled(images::SourcesUsable(m_probe->sources()));
}

QString TEnterDocument::title() const
{
    return m_title->text();
}

void TEnterDocument::setTitle(const QString& title)
{
    m_title->setText(title);
}

QImage TEnterDocument::picture() const
{
    return m_frame->picture();
}

void TEnterDocument::setPicture(const QImage& picture)
{
    m_frame->setPicture(picture);
}

void TEnterDocument::updateOk()
{
    m_ok->setEnabled(!m_title->text().isEmpty() && m_frame->hasPicture());
}

void TEnterDocument::Btn_ImgClick()
{
    const QString file = ui::prompt().openFileName(this, core::LookupText(core::msg::EnterDocument_String2), QString(),
                                                   core::LookupText(core::msg::EnterDocument_String3));
    if (file.isEmpty())
        return;
    const QString suffix = QFileInfo(file).suffix().toUpper();
    try {
        ui::HourglassCursor hourglass;
        const QImage picture =
            images::ReadPictureFile(file, suffix == QStringLiteral("JPG") || suffix == QStringLiteral("JPEG"));
        m_frame->setPicture(picture);
        ImageChanged = true;
    } catch (const images::ImageError& e) {
        ui::showError(e.message(), this);
    }
}

void TEnterDocument::Btn_ScanClick()
{
    const QImage scan = images::ScanForDialog(this);
    if (scan.isNull())
        return;
    m_frame->setPicture(scan);
    ImageChanged = true;
}

void TEnterDocument::rotate(int angle)
{
    if (!m_frame->hasPicture())
        return;
    m_frame->rotate(angle);
    ImageChanged = true;
}

TEnterObjectFile::TEnterObjectFile(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EnterObjectFile"));
    const QString caption = QStringLiteral("  Sélection d'un document");
    auto* outer = ui::FramedLayout(this, caption, ui::TitleBar::Close);
    auto* grid = new QGridLayout;
    grid->setContentsMargins(10, 4, 10, 4);
    auto value = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    Lab_Name = value("Lab_Name");
    Lab_Type = value("Lab_Type");
    Lab_Size = value("Lab_Size");
    Img_Icon = value("Img_Icon");
    Memo_Remark = new QPlainTextEdit(this);
    Memo_Remark->setObjectName(QStringLiteral("Memo_Remark"));
    int row = 0;
    grid->addWidget(new QLabel(QStringLiteral("Nom du fichier"), this), row, 0);
    grid->addWidget(Lab_Name, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("Type du fichier"), this), row, 0);
    grid->addWidget(Lab_Type, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("Taille du fichier"), this), row, 0);
    grid->addWidget(Lab_Size, row++, 1);
    grid->addWidget(Img_Icon, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("Commentaire"), this), row++, 0);
    grid->addWidget(Memo_Remark, row++, 0, 1, 2);
    auto* choose = new QPushButton(QStringLiteral("Sélectionnez un fichier"), this);
    choose->setObjectName(QStringLiteral("Btn_Select"));
    grid->addWidget(choose, row++, 0, 1, 2);
    outer->addLayout(grid, 1);
    QPushButton* ok;
    QPushButton* cancel;
    ui::addOkCancelRow(this, outer, &ok, &cancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(choose, &QPushButton::clicked, this, &TEnterObjectFile::ChooseFile);
    connect(Memo_Remark, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = Memo_Remark->toPlainText();
        if (t.size() > 255) {
            const QSignalBlocker block(Memo_Remark);
            Memo_Remark->setPlainText(t.left(255));
        }
        m_chosen.remark = Memo_Remark->toPlainText();
    });
    resize(340, 300);
    ui::SetUpWindow(this);
}

bool TEnterObjectFile::ChooseFile()
{
    const QString file = ui::prompt().openFileName(this, QStringLiteral("Sélectionnez un fichier"), QString(),
                                                   QStringLiteral("Tous|*.*"));
    if (file.isEmpty())
        return false;
    try {
        const QString remark = m_chosen.remark;
        m_chosen = ReadChosenFile(file);
        m_chosen.remark = remark;
    } catch (const DocumentError& e) {
        ui::showError(e.message(), parentWidget() ? parentWidget() : this);
        return false;
    }
    Lab_Name->setText(m_chosen.name);
    Lab_Type->setText(m_chosen.type);
    Lab_Size->setText(m_chosen.sizeText);
    Img_Icon->setPixmap(m_chosen.icon.isNull() ? QPixmap() : QPixmap::fromImage(m_chosen.icon));
    return true;
}

bool ScanPhoto(const db::DataSource& source, db::Dataset& query, const QString& thumbnailColumn, int thumbnailWidth,
               int thumbnailHeight, const QString& targetFile, QWidget* parent)
{
    images::TTwainScan scan(parent);
    if (ui::prompt().exec(&scan) != QDialog::Accepted || scan.picture().isNull())
        return false;
    try {
        StorePhotoFromScan(source, query, thumbnailColumn, thumbnailWidth, thumbnailHeight, scan.picture(), targetFile);
    } catch (const images::ImageError& e) {
        ui::showError(e.message(), parent);
        return false;
    } catch (const db::DbError& e) {
        ui::showError(e.message(), parent);
        return false;
    }
    return true;
}

}  // namespace records
