#include "records/DocumentsPage.h"

#include "core/Globals.h"
#include "db/DbError.h"
#include "db/QueryHelpers.h"
#include "db/TDataModule1.h"
#include "images/ImageRoutines.h"
#include "images/TPreviewImage.h"
#include "images/TViewImage.h"
#include "records/TEnterDocument.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/TPopupMenuMod.h"
#include "ui/TWait.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace records {

namespace {

// Files above this size are stored and extracted with a progress window.
constexpr qint64 kProgressBytes = 16LL << 20;

QPushButton* docButton(const QString& text, const QString& name, const QString& hint, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setFixedSize(26, 24);
    return b;
}

// Runs work with a wait window and its bar when the job is large.
template <typename Work> void withProgress(QWidget* owner, const QString& task, qint64 bytes, Work work)
{
    ui::HourglassCursor hourglass;
    std::unique_ptr<ui::TWait> wait;
    if (bytes > kProgressBytes) {
        wait = std::make_unique<ui::TWait>(owner ? owner->window() : nullptr);
        wait->setTask(task);
        wait->setGaugeVisible(true);
        wait->setMaximum(1000);
        wait->centerOn(owner ? owner->window() : nullptr);
        wait->showAndPump();
    }
    ui::TWait* w = wait.get();
    work([w](const archive::Progress& p) {
        if (!w || p.total <= 0)
            return;
        w->setPosition(static_cast<int>(p.done * 1000 / p.total));
        ui::TWait::pump();
    });
}

QString messageOf(const std::exception& e)
{
    if (auto* d = dynamic_cast<const DocumentError*>(&e))
        return d->message();
    if (auto* db = dynamic_cast<const db::DbError*>(&e))
        return db->message();
    if (auto* i = dynamic_cast<const images::ImageError*>(&e))
        return i->message();
    return QString::fromLocal8Bit(e.what());
}

}  // namespace

DocumentsPage::DocumentsPage(db::TDataModule1& dm, int kind, std::function<int()> owner, std::function<int()> dossier,
                             QWidget* parent)
    : QWidget(parent), m_dm(dm), m_store(dm, kind), m_owner(std::move(owner)), m_dossier(std::move(dossier))
{
    setObjectName(QStringLiteral("Page_Documents"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("Splitter_Documents"));
    layout->addWidget(splitter);

    auto panel = [splitter](const char* name, const QString& caption, QVBoxLayout** body) {
        auto* p = new QFrame(splitter);
        p->setObjectName(QString::fromLatin1(name));
        p->setFrameShape(QFrame::StyledPanel);
        auto* l = new QVBoxLayout(p);
        l->setContentsMargins(4, 2, 4, 4);
        auto* title = new QLabel(caption, p);
        QFont f = title->font();
        f.setBold(true);
        title->setFont(f);
        l->addWidget(title);
        *body = l;
        return p;
    };
    QVBoxLayout* imgBody;
    QFrame* imgPanel = panel("Pan_DocumentImg", QStringLiteral("I M A G E S"), &imgBody);
    auto* imgRow = new QHBoxLayout;
    ListView_Document_Img = new QListWidget(imgPanel);
    ListView_Document_Img->setObjectName(QStringLiteral("ListView_Document_Img"));
    ListView_Document_Img->setViewMode(QListView::IconMode);
    ListView_Document_Img->setIconSize(QSize(90, 90));
    ListView_Document_Img->setResizeMode(QListView::Adjust);
    ListView_Document_Img->setMovement(QListView::Static);
    ListView_Document_Img->setWordWrap(true);
    ListView_Document_Img->setGridSize(QSize(110, 120));
    ListView_Document_Img->viewport()->setCursor(Qt::PointingHandCursor);
    ListView_Document_Img->setContextMenuPolicy(Qt::CustomContextMenu);
    imgRow->addWidget(ListView_Document_Img, 1);
    auto* imgButtons = new QVBoxLayout;
    m_imgAdd = docButton(QStringLiteral("+"), QStringLiteral("Btn_Document_Img_Add"),
                         QStringLiteral("Ajouter une image"), imgPanel);
    m_imgEdit = docButton(QStringLiteral("✎"), QStringLiteral("Btn_Document_Img_Edit"),
                          QStringLiteral("Modifier cette image"), imgPanel);
    m_imgDelete = docButton(QStringLiteral("X"), QStringLiteral("Btn_Document_Img_Delete"),
                            QStringLiteral("Supprimer cette image"), imgPanel);
    m_imgExe =
        docButton(QStringLiteral("»"), QStringLiteral("Btn_Document_Img_Exe"), QStringLiteral("Visualiser"), imgPanel);
    m_imgSave = docButton(QStringLiteral("↓"), QStringLiteral("Btn_Document_Img_Save"),
                          QStringLiteral("Enregistrer le document sous .."), imgPanel);
    for (QPushButton* b : {m_imgAdd, m_imgEdit, m_imgDelete, m_imgExe, m_imgSave})
        imgButtons->addWidget(b);
    imgButtons->addStretch();
    imgRow->addLayout(imgButtons);
    imgBody->addLayout(imgRow, 1);

    QVBoxLayout* fileBody;
    QFrame* filePanel = panel("Pan_DocumentFile", QStringLiteral("F I C H I E R S"), &fileBody);
    auto* fileRow = new QHBoxLayout;
    Grid_Document_File = new QTableWidget(0, 4, filePanel);
    Grid_Document_File->setObjectName(QStringLiteral("Grid_Document_File"));
    Grid_Document_File->setHorizontalHeaderLabels(
        {QStringLiteral(" "), QStringLiteral("Nom"), QStringLiteral("Type"), QStringLiteral("Taille")});
    Grid_Document_File->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid_Document_File->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid_Document_File->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_Document_File->verticalHeader()->hide();
    Grid_Document_File->verticalHeader()->setDefaultSectionSize(18);
    Grid_Document_File->setIconSize(QSize(14, 14));
    Grid_Document_File->setContextMenuPolicy(Qt::CustomContextMenu);
    const int ch = Grid_Document_File->fontMetrics().averageCharWidth();
    const int widths[] = {2, 30, 25, 15};
    for (int c = 0; c < 4; ++c)
        Grid_Document_File->setColumnWidth(c, qMax(20, widths[c] * ch));
    Grid_Document_File->installEventFilter(this);
    fileRow->addWidget(Grid_Document_File, 1);
    auto* fileButtons = new QVBoxLayout;
    m_fileAdd = docButton(QStringLiteral("+"), QStringLiteral("Btn_Document_File_Add"),
                          QStringLiteral("Ajouter un fichier"), filePanel);
    m_fileDelete = docButton(QStringLiteral("X"), QStringLiteral("Btn_Document_File_Delete"),
                             QStringLiteral("Supprimer ce fichier"), filePanel);
    m_fileExe =
        docButton(QStringLiteral("»"), QStringLiteral("Btn_Document_File_Exe"), QStringLiteral("Exécuter"), filePanel);
    m_fileSave = docButton(QStringLiteral("↓"), QStringLiteral("Btn_Document_File_Save"),
                           QStringLiteral("Enregistrer le document sous .."), filePanel);
    for (QPushButton* b : {m_fileAdd, m_fileDelete, m_fileExe, m_fileSave})
        fileButtons->addWidget(b);
    fileButtons->addStretch();
    fileRow->addLayout(fileButtons);
    fileBody->addLayout(fileRow, 1);

    m_imgMenu = new ui::TPopupMenuMod(this);
    m_imgMenu->setObjectName(QStringLiteral("Popup_Document_Img"));
    auto item = [](ui::TPopupMenuMod* menu, const QString& text, const char* name, QWidget* receiver,
                   std::function<void()> run) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        QObject::connect(a, &QAction::triggered, receiver, std::move(run));
        return a;
    };
    item(m_imgMenu, QStringLiteral("&Ajouter un document"), "Popup_Document_Img_Add", this,
         [this] { Btn_Document_Img_AddClick(); });
    item(m_imgMenu, QStringLiteral("&Modifier ce document"), "Popup_Document_Img_Edit", this,
         [this] { Btn_Document_Img_EditClick(); });
    item(m_imgMenu, QStringLiteral("&Supprimer ce document"), "Popup_Document_Img_Delete", this,
         [this] { Btn_Document_Img_DeleteClick(); });
    item(m_imgMenu, QStringLiteral("&Visualiser  et imprimer"), "Popup_Document_Img_Exe", this,
         [this] { Btn_Document_Img_ExeClick(); });
    item(m_imgMenu, QStringLiteral("&Enregistrer le document sous .."), "Popup_Document_Img_Save", this,
         [this] { Btn_Document_Img_SaveClick(); });
    m_fileMenu = new ui::TPopupMenuMod(this);
    m_fileMenu->setObjectName(QStringLiteral("Popup_Document_File"));
    item(m_fileMenu, QStringLiteral("&Ajouter un fichier"), "Popup_Document_File_Add", this,
         [this] { Btn_Document_File_AddClick(); });
    item(m_fileMenu, QStringLiteral("&Modifier ce fichier"), "Popup_Document_File_Edit", this, {})->setVisible(false);
    item(m_fileMenu, QStringLiteral("&Supprimer ce fichier"), "Popup_Document_File_Delete", this,
         [this] { Btn_Document_File_DeleteClick(); });
    item(m_fileMenu, QStringLiteral("&Exécuter"), "Popup_Document_File_Exe", this,
         [this] { Btn_Document_File_ExeClick(); });
    item(m_fileMenu, QStringLiteral("&Enregistrer le document sous .."), "Popup_Document_File_Save", this,
         [this] { Btn_Document_File_SaveClick(); });

    connect(m_imgAdd, &QPushButton::clicked, this, &DocumentsPage::Btn_Document_Img_AddClick);
    connect(m_imgEdit, &QPushButton::clicked, this, &DocumentsPage::Btn_Document_Img_EditClick);
    connect(m_imgDelete, &QPushButton::clicked, this, &DocumentsPage::Btn_Document_Img_DeleteClick);
    connect(m_imgExe, &QPushButton::clicked, this, &DocumentsPage::Btn_Document_Img_ExeClick);
    connect(m_imgSave, &QPushButton::clicked, this, &DocumentsPage::Btn_Document_Img_SaveClick);
    connect(m_fileAdd, &QPushButton::clicked, this, &DocumentsPage::Btn_Document_File_AddClick);
    connect(m_fileDelete, &QPushButton::clicked, this, &DocumentsPage::Btn_Document_File_DeleteClick);
    connect(m_fileExe, &QPushButton::clicked, this, &DocumentsPage::Btn_Document_File_ExeClick);
    connect(m_fileSave, &QPushButton::clicked, this, &DocumentsPage::Btn_Document_File_SaveClick);
    connect(ListView_Document_Img, &QListWidget::itemSelectionChanged, this, &DocumentsPage::UpdateButtons);
    connect(ListView_Document_Img, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_imgExe->isEnabled())
            Btn_Document_Img_ExeClick();
    });
    connect(Grid_Document_File, &QTableWidget::cellDoubleClicked, this, [this] {
        if (m_fileExe->isEnabled())
            Btn_Document_File_ExeClick();
    });
    connect(ListView_Document_Img, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        UpdateButtons();
        m_imgMenu->popup(ListView_Document_Img->viewport()->mapToGlobal(pos));
    });
    connect(Grid_Document_File, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        UpdateButtons();
        m_fileMenu->popup(Grid_Document_File->viewport()->mapToGlobal(pos));
    });
}

DocumentsPage::~DocumentsPage()
{
    try {
        m_store.CloseDocumentFiles();
        m_store.CloseDocumentImages();
    } catch (...) {
    }
}

void DocumentsPage::OpenDocumentFiles()
{
    ui::HourglassCursor hourglass;
    try {
        m_store.OpenDocumentFiles(m_owner());
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    fillFileGrid();
    UpdateButtons();
}

void DocumentsPage::fillFileGrid()
{
    db::Dataset& q = m_dm.DocumentFile;
    Grid_Document_File->setUpdatesEnabled(false);
    Grid_Document_File->setRowCount(0);
    if (q.IsOpen()) {
        const int keep = db::IsEmpty(q) ? -1 : q.FieldByName(QStringLiteral("Id")).AsInteger();
        Grid_Document_File->setRowCount(q.RecordCount());
        q.DisableControls();
        int row = 0;
        int current = -1;
        for (q.First(); !q.Eof(); q.Next(), ++row) {
            const int id = q.FieldByName(QStringLiteral("Id")).AsInteger();
            auto* icon = new QTableWidgetItem;
            icon->setData(Qt::UserRole, id);
            QImage bitmap = images::ImageFromBlob(q.FieldByName(QStringLiteral("FileIcon")).AsBlob());
            if (!bitmap.isNull()) {
                images::ResampleBitmap(bitmap, 14, 14);
                icon->setIcon(QIcon(QPixmap::fromImage(bitmap)));
            }
            Grid_Document_File->setItem(row, 0, icon);
            Grid_Document_File->setItem(row, 1,
                                        new QTableWidgetItem(q.FieldByName(QStringLiteral("FileName")).AsString()));
            Grid_Document_File->setItem(row, 2,
                                        new QTableWidgetItem(q.FieldByName(QStringLiteral("FileType")).AsString()));
            Grid_Document_File->setItem(row, 3,
                                        new QTableWidgetItem(q.FieldByName(QStringLiteral("FileSize")).AsString()));
            if (id == keep)
                current = row;
        }
        if (keep >= 0)
            q.Locate(QStringLiteral("Id"), keep);
        else
            q.First();
        q.EnableControls();
        if (Grid_Document_File->rowCount() > 0)
            Grid_Document_File->selectRow(current >= 0 ? current : 0);
    }
    Grid_Document_File->setUpdatesEnabled(true);
}

void DocumentsPage::LoadDocumentImages()
{
    ClearDocumentImages();
    const int owner = m_owner();
    ListView_Document_Img->setUpdatesEnabled(false);
    try {
        m_store.OpenDocumentImages(owner);
        db::Dataset& q = m_dm.DocumentImg;
        for (; !q.Eof(); q.Next()) {
            auto* item = new QListWidgetItem(q.FieldByName(QStringLiteral("Title")).AsString());
            item->setData(Qt::UserRole, q.FieldByName(QStringLiteral("Id")).AsInteger());
            // A thumbnail that cannot be read leaves the item without an icon.
            const QImage thumb = images::ImageFromBlob(q.FieldByName(QStringLiteral("ImgMini")).AsBlob());
            if (!thumb.isNull())
                item->setIcon(QIcon(QPixmap::fromImage(thumb)));
            ListView_Document_Img->addItem(item);
        }
        m_store.CloseDocumentImages();
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    ListView_Document_Img->setUpdatesEnabled(true);
    UpdateButtons();
}

void DocumentsPage::ClearDocumentImages()
{
    ListView_Document_Img->clear();
}

int DocumentsPage::selectedImageId() const
{
    const QList<QListWidgetItem*> items = ListView_Document_Img->selectedItems();
    return items.isEmpty() ? -1 : items.first()->data(Qt::UserRole).toInt();
}

bool DocumentsPage::locateSelectedFile()
{
    db::Dataset& q = m_dm.DocumentFile;
    if (!q.IsOpen() || db::IsEmpty(q))
        return false;
    const int row = Grid_Document_File->currentRow();
    if (row < 0 || !Grid_Document_File->item(row, 0))
        return true;  // the query's current row
    return q.Locate(QStringLiteral("Id"), Grid_Document_File->item(row, 0)->data(Qt::UserRole).toInt());
}

void DocumentsPage::UpdateButtons()
{
    const bool image = ListView_Document_Img->count() > 0 && selectedImageId() >= 0;
    for (QPushButton* b : {m_imgEdit, m_imgDelete, m_imgExe, m_imgSave})
        b->setEnabled(image);
    const bool files = m_dm.DocumentFile.IsOpen() && !db::IsEmpty(m_dm.DocumentFile);
    for (QPushButton* b : {m_fileDelete, m_fileExe, m_fileSave})
        b->setEnabled(files);
    const struct {
        QMenu* menu;
        const char* name;
        QPushButton* button;
    } follow[] = {
        {m_imgMenu, "Popup_Document_Img_Edit", m_imgEdit},        {m_imgMenu, "Popup_Document_Img_Delete", m_imgDelete},
        {m_imgMenu, "Popup_Document_Img_Exe", m_imgExe},          {m_imgMenu, "Popup_Document_Img_Save", m_imgDelete},
        {m_fileMenu, "Popup_Document_File_Delete", m_fileDelete}, {m_fileMenu, "Popup_Document_File_Exe", m_fileDelete},
        {m_fileMenu, "Popup_Document_File_Save", m_fileDelete}};
    for (const auto& f : follow)
        if (auto* a = f.menu->findChild<QAction*>(QString::fromLatin1(f.name)))
            a->setEnabled(f.button->isEnabled());
}

bool DocumentsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Grid_Document_File && event->type() == QEvent::KeyRelease
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete && m_fileDelete->isEnabled()) {
        Btn_Document_File_DeleteClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void DocumentsPage::Btn_Document_Img_AddClick()
{
    TEnterDocument dialog(this);
    if (ui::prompt().exec(&dialog) != QDialog::Accepted || dialog.picture().isNull())
        return;
    try {
        ui::HourglassCursor hourglass;
        const int id = m_store.AddImage(m_owner(), dialog.title(), dialog.picture());
        m_store.OpenDocumentImage(id);
        auto* item = new QListWidgetItem(dialog.title());
        item->setData(Qt::UserRole, id);
        const QImage thumb = images::ImageFromBlob(m_dm.DocumentImg.FieldByName(QStringLiteral("ImgMini")).AsBlob());
        if (!thumb.isNull())
            item->setIcon(QIcon(QPixmap::fromImage(thumb)));
        m_store.CloseDocumentImages();
        ListView_Document_Img->addItem(item);
    } catch (const std::exception& e) {
        ui::showError(messageOf(e), this);
    }
    UpdateButtons();
}

void DocumentsPage::Btn_Document_Img_EditClick()
{
    QListWidgetItem* item = ListView_Document_Img->currentItem();
    const int id = selectedImageId();
    if (id < 0 || !item)
        return;
    TEnterDocument dialog(this);
    try {
        m_store.OpenDocumentImage(id);
        if (db::IsEmpty(m_dm.DocumentImg))
            throw DocumentError(QStringLiteral("Ce document n'existe plus."));
        dialog.setTitle(m_dm.DocumentImg.FieldByName(QStringLiteral("Title")).AsString());
        m_store.CloseDocumentImages();
        const QString file = db::documentImageFile(id);
        if (QFileInfo::exists(file)) {
            ui::HourglassCursor hourglass;
            dialog.setPicture(images::ReadPictureFile(file, true));
        }
    } catch (const std::exception& e) {
        m_store.CloseDocumentImages();
        ui::showError(messageOf(e), this);
        return;
    }
    dialog.ImageChanged = false;
    if (ui::prompt().exec(&dialog) != QDialog::Accepted)
        return;
    try {
        ui::HourglassCursor hourglass;
        const QImage picture = dialog.picture();
        m_store.ChangeImage(id, dialog.title(), dialog.ImageChanged ? &picture : nullptr);
        item->setText(dialog.title());
        if (dialog.ImageChanged) {
            m_store.OpenDocumentImage(id);
            const QImage thumb =
                images::ImageFromBlob(m_dm.DocumentImg.FieldByName(QStringLiteral("ImgMini")).AsBlob());
            item->setIcon(thumb.isNull() ? QIcon() : QIcon(QPixmap::fromImage(thumb)));
            m_store.CloseDocumentImages();
        }
    } catch (const std::exception& e) {
        ui::showError(messageOf(e), this);
    }
    UpdateButtons();
}

void DocumentsPage::Btn_Document_Img_DeleteClick()
{
    const int id = selectedImageId();
    if (id < 0 || !ui::confirm(QStringLiteral("Confirmez-vous la suppression de ce document ?"), this))
        return;
    try {
        m_store.RemoveImage(id);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    LoadDocumentImages();
}

void DocumentsPage::Btn_Document_Img_ExeClick()
{
    if (!m_imgExe->isEnabled())
        return;
    images::TPreviewImage preview(m_dm.ADOConnection1, this);
    preview.CaptionWord = QStringLiteral("Images");
    preview.FilePrefix = QStringLiteral("Doc");
    preview.ImageDir = core::globals().dataDir + QStringLiteral("Images/");
    preview.ZoomMode = images::TPreviewImage::FitWindow;
    preview.setQueryText(QStringLiteral("SELECT DOCUMENTIMG.Id as [Id], DOCUMENTIMG.Title as [Title] FROM DOCUMENTIMG "
                                        "WHERE DOCUMENTIMG.DoType=")
                         + QString::number(m_store.kind()) + QStringLiteral(" AND DOCUMENTIMG.Id_Ref=")
                         + QString::number(m_owner()));
    try {
        preview.OpenOn(selectedImageId(), 2);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
        return;
    }
    ui::prompt().exec(&preview);
}

void DocumentsPage::Btn_Document_Img_SaveClick()
{
    const int id = selectedImageId();
    if (id < 0)
        return;
    images::SaveImageCopyAs(db::documentImageFile(id),
                            ListView_Document_Img->currentItem() ? ListView_Document_Img->currentItem()->text()
                                                                 : QString());
}

void DocumentsPage::Btn_Document_File_AddClick()
{
    TEnterObjectFile chooser(this);
    if (!chooser.ChooseFile())
        return;
    const ChosenFile& file = chooser.chosen();
    try {
        withProgress(this, QStringLiteral("Enregistrement du fichier"), QFileInfo(file.path).size(),
                     [&](auto progress) { m_store.AttachFile(m_dossier(), m_owner(), file, progress); });
    } catch (const std::exception& e) {
        ui::showError(messageOf(e), this);
    }
    fillFileGrid();
    UpdateButtons();
}

void DocumentsPage::Btn_Document_File_DeleteClick()
{
    if (!locateSelectedFile() || !ui::confirm(QStringLiteral("Confirmez-vous la suppression de ce fichier ?"), this))
        return;
    try {
        m_store.RemoveCurrentFile();
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    fillFileGrid();
    UpdateButtons();
}

QString DocumentsPage::missingArchiveMessage(const QString& lead, const QString& archive) const
{
    return lead + QStringLiteral("\r\rLe fichier \"") + archive
        + QStringLiteral("\" a sans doute été supprimé manuellement et n'est plus accessible.");
}

void DocumentsPage::Btn_Document_File_ExeClick()
{
    if (!m_fileExe->isEnabled() || !locateSelectedFile())
        return;
    db::Dataset& q = m_dm.DocumentFile;
    const QString archive = db::storedDocumentFile(q.FieldByName(QStringLiteral("Id")).AsInteger());
    if (!QFileInfo::exists(archive)) {
        ui::showError(missingArchiveMessage(QStringLiteral("IMPOSSIBLE D'EXECUTER CE FICHIER !"), archive), this);
        return;
    }
    const QString name = q.FieldByName(QStringLiteral("FileName")).AsString();
    QString target;
    try {
        withProgress(this, QStringLiteral("Extraction du fichier"), QFileInfo(archive).size(),
                     [&](auto) { target = ExtractForViewing(archive, name); });
    } catch (const DocumentError& e) {
        ui::showError(e.message(), this);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(target)))
        ui::showError(QStringLiteral("Aucun programme n'a pu ouvrir le fichier \"%1\".").arg(target), this);
}

void DocumentsPage::Btn_Document_File_SaveClick()
{
    if (!m_fileSave->isEnabled() || !locateSelectedFile())
        return;
    db::Dataset& q = m_dm.DocumentFile;
    const QString archive = db::storedDocumentFile(q.FieldByName(QStringLiteral("Id")).AsInteger());
    if (!QFileInfo::exists(archive)) {
        ui::showError(missingArchiveMessage(QStringLiteral("IMPOSSIBLE DE TROUVER CE FICHIER !"), archive), this);
        return;
    }
    const QString name = BareDocumentName(q.FieldByName(QStringLiteral("FileName")).AsString());
    const QString ext = QFileInfo(name).suffix();
    QString chosen =
        ui::prompt().saveFileName(this, QStringLiteral("Enregistrer sous ..."), ui::UserSaveFolder() + name,
                                  q.FieldByName(QStringLiteral("FileType")).AsString() + QStringLiteral("|*")
                                      + (ext.isEmpty() ? QString() : QStringLiteral(".") + ext));
    if (chosen.isEmpty())
        return;
    ui::RememberSaveFolder(chosen);
    if (QFileInfo(chosen).suffix().isEmpty() && !ext.isEmpty())
        chosen += QLatin1Char('.') + ext;
    if (QFileInfo::exists(chosen)
        && !ui::confirm(QStringLiteral("Souhaitez-vous remplacer le fichier ") + chosen + QStringLiteral(" existant."),
                        this))
        return;
    try {
        withProgress(this, QStringLiteral("Extraction du fichier"), QFileInfo(archive).size(),
                     [&](auto progress) { UnpackDocumentFile(archive, chosen, progress); });
    } catch (const DocumentError& e) {
        ui::showError(e.message(), this);
    }
}

}  // namespace records
