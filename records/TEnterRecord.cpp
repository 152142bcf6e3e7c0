#include "records/TEnterRecord.h"

#include "core/Globals.h"
#include "core/MessageCatalog.h"
#include "db/Connection.h"
#include "db/CustomLabels.h"
#include "db/Dataset.h"
#include "db/DbError.h"
#include "db/QueryHelpers.h"
#include "db/TDataModule1.h"
#include "images/ImageRoutines.h"
#include "images/TPreviewImage.h"
#include "images/TViewImage.h"
#include "planning/Swatch.h"
#include "records/ComboLists.h"
#include "records/DocumentsPage.h"
#include "records/EditControls.h"
#include "records/PhotoStorage.h"
#include "records/ShellLinks.h"
#include "records/TEnterDocument.h"
#include "ui/DialogButtons.h"
#include "ui/Prompt.h"
#include "ui/TPopupMenuMod.h"
#include "ui/WindowFrame.h"

#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace records {

using namespace planning;

namespace {

// A memo that does not break lines (the short description).
class SingleParagraphMemo : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
            return;
        QPlainTextEdit::keyPressEvent(e);
    }
    void insertFromMimeData(const QMimeData* source) override
    {
        QPlainTextEdit::insertFromMimeData(source);
        QString t = toPlainText();
        if (t.contains(QLatin1Char('\n'))) {
            t.replace(QLatin1Char('\n'), QLatin1Char(' '));
            setPlainText(t);
        }
    }
};

// A label that reports double clicks (the custom captions). It keeps its
// place with an empty caption, outlined, so an unnamed field can be named.
class CaptionLabel : public QLabel {
public:
    static constexpr int kMinimumWidth = 90;
    using QLabel::QLabel;
    std::function<void()> doubleClicked;

    QSize minimumSizeHint() const override
    {
        const QSize s = QLabel::minimumSizeHint();
        return {qMax(s.width(), kMinimumWidth), qMax(s.height(), fontMetrics().height() + 4)};
    }
    QSize sizeHint() const override { return minimumSizeHint().expandedTo(QLabel::sizeHint()); }

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override
    {
        if (doubleClicked)
            doubleClicked();
    }
    void paintEvent(QPaintEvent* e) override
    {
        QLabel::paintEvent(e);
        if (!text().isEmpty())
            return;
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(0, 2, -2, -3));
    }
};

// The photo frame: double-click views, right-click opens the photo menu.
class PhotoFrame : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void(const QPoint&)> contextMenu;
    std::function<void()> doubleClicked;

protected:
    void contextMenuEvent(QContextMenuEvent* e) override
    {
        if (contextMenu)
            contextMenu(e->globalPos());
    }
    void mouseDoubleClickEvent(QMouseEvent*) override
    {
        if (doubleClicked)
            doubleClicked();
    }
};

QPushButton* smallButton(const QString& text, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setFixedWidth(qMax(22, b->fontMetrics().horizontalAdvance(text) + 12));
    return b;
}

}  // namespace

TEnterStr::TEnterStr(const QString& prompt, const QString& text, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EnterStr"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QString title = QStringLiteral("  Saisie d'une chaine de caractère");
    layout->addWidget(new ui::TitleBar(title, ui::TitleBar::Close, this));
    setWindowTitle(ui::WindowCaptionFromTitle(title));
    // Placed controls under the bar, so nothing makes the window taller
    // than its 322 × 104 pixels.
    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("Pan_Main"));
    layout->addWidget(body, 1);
    auto* caption = new QLabel(prompt, body);
    caption->setObjectName(QStringLiteral("Lab_Title"));
    caption->setGeometry(8, 4, 306, 18);
    Ed_Str = new QLineEdit(text, body);
    Ed_Str->setObjectName(QStringLiteral("Ed_Str"));
    Ed_Str->setMaxLength(128);
    Ed_Str->setGeometry(8, 23, 306, 24);
    auto* buttons = new QWidget(body);
    buttons->setGeometry(0, 52, 322, 34);
    auto* row = new QVBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    QPushButton* cancel;
    ui::addOkCancelRow(this, row, &Btn_Ok, &cancel);
    Btn_Ok->setEnabled(!text.isEmpty());
    connect(Ed_Str, &QLineEdit::textChanged, this, [this](const QString& t) { Btn_Ok->setEnabled(!t.isEmpty()); });
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(322, 104);
    ui::SetUpWindow(this);
}

QString TEnterStr::text() const
{
    return Ed_Str->text();
}

TEnterRecord::TEnterRecord(const RecordKind& kind, db::DataSource& source, db::Dataset& query, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_source(source), m_query(query)
{
    setProperty("centredOnScreen", true);
    m_comboItems = new db::Dataset(query.connection(), QStringLiteral("ComboItems"));
    m_comboItems->setSQL({QStringLiteral("SELECT * FROM COMBOITEMS")});
    connect(this, &QObject::destroyed, [items = m_comboItems] { delete items; });
}

void TEnterRecord::makeComboField(QLineEdit* edit, QPushButton* button, const QString& column, const QString& caption)
{
    edit->setProperty("comboColumn", column);
    edit->setProperty("comboCaption", caption);
    edit->setToolTip(QStringLiteral("Double-cliquez pour ajouter"));
    edit->installEventFilter(this);
    if (button)
        connect(button, &QPushButton::clicked, this, [this, edit] { openPicker(edit); });
}

bool TEnterRecord::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && edit->property("comboColumn").isValid()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                openPicker(edit);
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            editList(edit);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TEnterRecord::openPicker(QLineEdit* edit)
{
    try {
        ShowItemPicker(edit, true, {}, &m_query, &m_source, m_comboItems, edit->property("comboColumn").toString());
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
}

void TEnterRecord::editList(QLineEdit* edit)
{
    QString caption = edit->property("comboCaption").toString();
    // The custom fields are titled with their label's caption, an unnamed
    // one with the default caption "Divers n".
    if (auto* label = findChild<QLabel*>(caption)) {
        caption = label->text();
        if (caption.isEmpty())
            caption = QStringLiteral("Divers %1").arg(label->objectName().right(2).toInt());
    }
    try {
        EditComboList(caption, edit->property("comboColumn").toString(), *m_comboItems, this);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
}

QLineEdit* TEnterRecord::addLine(QWidget* page, const QString& name, const QString& column, int maxLength,
                                 bool readOnly)
{
    auto* e = new QLineEdit(page);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    e->setReadOnly(readOnly);
    m_bindings.push_back({e, column});
    return e;
}

QPlainTextEdit* TEnterRecord::addMemo(QWidget* page, const QString& name, const QString& column, int maxLength,
                                      bool singleParagraph)
{
    QPlainTextEdit* m = singleParagraph ? new SingleParagraphMemo(page) : new QPlainTextEdit(page);
    m->setObjectName(name);
    if (maxLength > 0) {
        connect(m, &QPlainTextEdit::textChanged, m, [m, maxLength] {
            const QString t = m->toPlainText();
            if (t.size() > maxLength) {
                const QSignalBlocker block(m);
                m->setPlainText(t.left(maxLength));
                m->moveCursor(QTextCursor::End);
            }
        });
    }
    m_bindings.push_back({m, column});
    return m;
}

void TEnterRecord::buildCommon()
{
    auto* outer = ui::FramedLayout(this, m_kind.title, ui::TitleBar::Close);
    outer->setSpacing(4);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("TabNoteBook"));
    outer->addWidget(m_tabs, 1);

    m_general = new QWidget(m_tabs);
    m_general->setObjectName(QStringLiteral("Page_General"));
    m_tabs->addTab(m_general, QStringLiteral("Général"));
    auto* custom = new QWidget(m_tabs);
    custom->setObjectName(QStringLiteral("Page_Custom"));
    m_tabs->addTab(custom, QStringLiteral("Personnalisé"));
    buildCustomPage(custom);
    QWidget* documents;
    if (db::TDataModule1* dm = db::TDataModule1::instance()) {
        m_documents = new DocumentsPage(
            *dm, m_kind.person ? db::kOwnerPerson : db::kOwnerProject, [this] { return ownerId(); },
            [this] { return dossierId(); }, m_tabs);
        documents = m_documents;
    } else {
        documents = new QWidget(m_tabs);
        documents->setObjectName(QStringLiteral("Page_Documents"));
    }
    m_tabs->addTab(documents, QStringLiteral("Documents"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_documents) {
            if (m_tabs->widget(index) == m_documents)
                m_documents->LoadDocumentImages();
            else
                m_documents->ClearDocumentImages();
        }
        UpdateButtons();
    });

    QPushButton* cancel;
    ui::addOkCancelRow(this, outer, &m_ok, &cancel);
    connect(m_ok, &QPushButton::clicked, this, &TEnterRecord::Btn_OkClick);
    connect(cancel, &QPushButton::clicked, this, &TEnterRecord::Btn_CancelClick);
    resize(525, 468);
}

void TEnterRecord::buildCustomPage(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    const QString table = m_kind.person ? QStringLiteral("People_Misc") : QStringLiteral("Project_Misc");
    for (int i = 1; i <= 7; ++i) {
        const QString digits = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        auto* label = new CaptionLabel(QStringLiteral("Divers %1").arg(i), page);
        label->setObjectName(m_kind.labelPrefix + digits);
        label->setToolTip(QStringLiteral("Double-cliquez\npour modifier"));
        label->doubleClicked = [this, label] { editCustomLabel(label); };
        grid->addWidget(label, i - 1, 0);
        if (i <= 5) {
            QLineEdit* e = addLine(page, QStringLiteral("Ed_Misc") + digits, QStringLiteral("Misc") + digits, 128);
            grid->addWidget(e, i - 1, 1);
            auto* button = smallButton(QStringLiteral("..."), QStringLiteral("Btn_Misc") + digits, page);
            grid->addWidget(button, i - 1, 2);
            makeComboField(e, button, table + digits, m_kind.labelPrefix + digits);
        } else {
            QPlainTextEdit* m = addMemo(page, i == 6 ? QStringLiteral("Memo_Misc06") : QStringLiteral("Memo_Divers07"),
                                        QStringLiteral("Misc") + digits);
            m->setFixedHeight(60);
            grid->addWidget(m, i - 1, 1, 1, 2);
        }
    }
}

int TEnterRecord::dossierId() const
{
    // The record belongs to the dossier its row names.
    return m_query.FieldByName(QStringLiteral("Id_File")).AsInteger();
}

void TEnterRecord::loadCustomLabels()
{
    db::Connection* c = m_query.connection();
    if (!c)
        return;
    const QStringList captions = db::ReadCustomLabels(*c, dossierId(), m_kind.person);
    for (int i = 1; i <= 7; ++i) {
        const QString digits = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        if (auto* label = findChild<QLabel*>(m_kind.labelPrefix + digits))
            label->setText(captions.at(i - 1));
    }
}

void TEnterRecord::editCustomLabel(QLabel* label)
{
    TEnterStr ask(QStringLiteral("Modifiez le libellé"), label->text(), this);
    if (ui::prompt().exec(&ask) != QDialog::Accepted || ask.text().isEmpty())
        return;
    db::Connection* c = m_query.connection();
    try {
        if (!c)
            throw db::DbError(QStringLiteral("La connexion à la base de données est fermée."));
        // Lab_People_Misc03 names the column People_Misc03.
        db::WriteCustomLabel(*c, dossierId(), label->objectName().mid(4), ask.text());
        label->setText(ask.text());
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
}

void TEnterRecord::loadFields()
{
    for (const Binding& b : m_bindings) {
        const QString value = m_query.FieldByName(b.column).AsString();
        if (auto* line = qobject_cast<QLineEdit*>(b.control))
            line->setText(value);
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(b.control))
            memo->setPlainText(value);
    }
    m_pen = static_cast<quint32>(m_query.FieldByName(QStringLiteral("PenColor")).AsInteger());
    m_brush = static_cast<quint32>(m_query.FieldByName(QStringLiteral("BrushColor")).AsInteger());
    m_style = DecodeBrushStyle(m_query.FieldByName(QStringLiteral("BrushStyle")).AsInteger());
    m_thumbnail = images::ImageFromBlob(m_query.FieldByName(QStringLiteral("ImgMini1")).AsBlob());
}

void TEnterRecord::writeFields()
{
    db::EnsureEditing(m_source, m_query);
    for (const Binding& b : m_bindings) {
        QString value;
        if (auto* line = qobject_cast<QLineEdit*>(b.control))
            value = line->text();
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(b.control))
            value = memo->toPlainText();
        if (m_query.FieldByName(b.column).AsString() != value)
            m_query.FieldByName(b.column).SetValue(value);
    }
}

void TEnterRecord::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    UpdateButtons();
    DrawColorSample();
}

int TEnterRecord::ownerId() const
{
    return db::IsEmpty(m_query) ? -1 : m_query.FieldByName(QStringLiteral("Id")).AsInteger();
}

QString TEnterRecord::photoFile() const
{
    return core::globals().dataDir + QStringLiteral("Images/") + m_kind.imagePrefix
        + QString::number(m_query.FieldByName(QStringLiteral("Id")).AsInteger()) + QStringLiteral(".jpg");
}

void TEnterRecord::showThumbnail()
{
    if (photoShown())
        m_photo->setPixmap(QPixmap::fromImage(m_thumbnail));
    else
        m_photo->clear();
}

bool TEnterRecord::patternOverlayVisible() const
{
    return m_style != bsSolid;
}

void TEnterRecord::UpdateButtons()
{
    auto* required = findChild<QLineEdit*>(m_kind.requiredControl);
    m_ok->setEnabled(required && !required->text().isEmpty());
    m_email->setEnabled(!findChild<QLineEdit*>(QStringLiteral("Ed_Email"))->text().isEmpty());
    m_web->setEnabled(!findChild<QLineEdit*>(QStringLiteral("Ed_WebSite"))->text().isEmpty());
    m_deleteImage->setEnabled(photoShown());
    for (const char* item : {"_Delete", "_FullSize", "_Print", "_Save"})
        if (QAction* a = findChild<QAction*>(m_kind.popupPrefix + QString::fromLatin1(item)))
            a->setEnabled(photoShown());
    m_patternShape->setVisible(patternOverlayVisible());
    if (m_documents)
        m_documents->UpdateButtons();
}

void TEnterRecord::DrawColorSample()
{
    m_sample->setPixmap(QPixmap::fromImage(RenderSwatch(65, 16, 3, 12, 7, 2, m_pen, m_brush, m_style, 0)));
    auto* colorShape = findChild<QLabel*>(QStringLiteral("Shape_Color"));
    QImage color(colorShape->size(), QImage::Format_RGB32);
    color.fill(ColorFromRef(m_pen));
    colorShape->setPixmap(QPixmap::fromImage(color));
    // The hatch lines alone, on a transparent ground, in the hatch colour.
    QImage pattern(colorShape->size(), QImage::Format_ARGB32_Premultiplied);
    pattern.fill(Qt::transparent);
    QPainter painter(&pattern);
    painter.fillRect(pattern.rect(), QBrush(ColorFromRef(m_brush), QtBrushStyle(m_style)));
    painter.end();
    m_patternShape->setPixmap(QPixmap::fromImage(pattern));
}

void TEnterRecord::Btn_Shape_ColorClick()
{
    if (const auto c = ui::prompt().color(this, ColorFromRef(m_pen))) {
        m_pen = ColorRefFromColor(*c);
        DrawColorSample();
    }
}

void TEnterRecord::Btn_Shape_BrushClick()
{
    TBrushStyleDlg dialog(this);
    dialog.setBrush(m_style, m_brush);
    if (ui::prompt().exec(&dialog) == QDialog::Accepted) {
        m_style = dialog.style();
        m_brush = dialog.color();
        UpdateButtons();
        DrawColorSample();
    }
}

void TEnterRecord::Btn_Select_ImgClick()
{
    const QString file = ui::prompt().openFileName(this, core::LookupText(core::msg::EnterDocument_String2), QString(),
                                                   QStringLiteral("Tout (*.jpg;*.bmp)|*.jpg;*.bmp|Fichier image JPEG "
                                                                  "(*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp"));
    if (file.isEmpty())
        return;
    try {
        writeFields();
        StorePhotoFromFile(m_source, m_query, QStringLiteral("ImgMini1"), 105, 105, file, photoFile());
        db::EnsureEditing(m_source, m_query);
        m_thumbnail = images::ImageFromBlob(m_query.FieldByName(QStringLiteral("ImgMini1")).AsBlob());
        showThumbnail();
    } catch (const images::ImageError& e) {
        ui::showError(e.message(), this);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    UpdateButtons();
}

void TEnterRecord::Btn_Delete_ImgClick()
{
    if (!ui::confirm(QStringLiteral("Désirez-vous supprimer cette photo ?"), this))
        return;
    try {
        writeFields();
        ClearPhoto(m_source, m_query, QStringLiteral("Img1"), photoFile(), QStringLiteral("ImgMini1"));
        db::EnsureEditing(m_source, m_query);
        m_thumbnail = QImage();
        showThumbnail();
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    UpdateButtons();
}

void TEnterRecord::Popup_Img_SaveClick()
{
    const QString name = findChild<QLineEdit*>(m_kind.requiredControl)->text();
    SaveImageCopyAs(photoFile(), name.isEmpty() ? QStringLiteral("*.jpg") : name + QStringLiteral(".jpg"), this);
}

void TEnterRecord::Popup_Img_ScanClick()
{
    try {
        writeFields();
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
        return;
    }
    if (ScanPhoto(m_source, m_query, QStringLiteral("ImgMini1"), 105, 105, photoFile(), this)) {
        try {
            db::EnsureEditing(m_source, m_query);
        } catch (const db::DbError& e) {
            ui::showError(e.message(), this);
        }
        m_thumbnail = images::ImageFromBlob(m_query.FieldByName(QStringLiteral("ImgMini1")).AsBlob());
        showThumbnail();
    }
    UpdateButtons();
}

void TEnterRecord::Popup_Img_FullSizeClick()
{
    if (photoShown())
        images::ShowImageFile(photoFile(), this);
}

void TEnterRecord::Popup_Img_PrintClick()
{
    if (!photoShown())
        return;
    images::TPreviewImage preview(*m_query.connection(), this);
    preview.CaptionWord = m_kind.person ? QStringLiteral("Photo d'une personne") : QStringLiteral("Photo d'un projet");
    preview.FilePrefix = m_kind.imagePrefix;
    preview.ImageDir = core::globals().dataDir + QStringLiteral("Images/");
    preview.ZoomMode = images::TPreviewImage::FitWindow;
    preview.setQueryText(m_kind.person ? QStringLiteral("SELECT PEOPLE.Id as [Id], PEOPLE.Name as [Title] FROM PEOPLE "
                                                        "WHERE PEOPLE.Id=")
                                 + QString::number(ownerId())
                                       : QStringLiteral("SELECT PROJECT.Id as [Id], PROJECT.Title as [Title] FROM "
                                                        "PROJECT WHERE PROJECT.Id=")
                                 + QString::number(ownerId()));
    try {
        preview.OpenOn(-1, 2);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
        return;
    }
    ui::prompt().exec(&preview);
}

void TEnterRecord::SendMail()
{
    try {
        writeFields();
        db::PostIfEditing(m_source, m_query);
        db::EnsureEditing(m_source, m_query);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
        return;
    }
    SendMailTo(findChild<QLineEdit*>(QStringLiteral("Ed_Email"))->text(), this);
}

void TEnterRecord::OpenWebSite()
{
    try {
        writeFields();
        db::PostIfEditing(m_source, m_query);
        db::EnsureEditing(m_source, m_query);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
        return;
    }
    OpenWebAddress(findChild<QLineEdit*>(QStringLiteral("Ed_WebSite"))->text(), this);
}

void TEnterRecord::Btn_OkClick()
{
    try {
        writeFields();
        m_query.FieldByName(QStringLiteral("PenColor")).SetValue(static_cast<qint64>(m_pen));
        m_query.FieldByName(QStringLiteral("BrushColor")).SetValue(static_cast<qint64>(m_brush));
        m_query.FieldByName(QStringLiteral("BrushStyle")).SetValue(EncodeBrushStyle(m_style));
        db::PostIfEditing(m_source, m_query);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
        return;
    }
    m_closing = true;
    accept();
}

void TEnterRecord::Btn_CancelClick()
{
    reject();
}

void TEnterRecord::reject()
{
    if (!m_closing) {
        m_closing = true;
        try {
            if (m_query.Editing())
                m_query.Cancel();
            // A record made for this dialog goes again, with all it got.
            if (IsNewRecord && !db::IsEmpty(m_query))
                m_query.Delete();
        } catch (const db::DbError& e) {
            ui::showError(e.message(), this);
        }
    }
    QDialog::reject();
}

namespace {

QVBoxLayout* buildRightColumn(TEnterRecord* dialog, const RecordKind& kind, QLabel** photo, QLabel** sample,
                              QPushButton** deleteImage, QLabel** patternShape, ui::TPopupMenuMod** menu)
{
    auto* col = new QVBoxLayout;
    col->addWidget(new QLabel(QStringLiteral("Photo"), dialog));
    auto* frame = new PhotoFrame(dialog);
    frame->setObjectName(QStringLiteral("ImgDB_Photo_Mini"));
    frame->setFixedSize(105, 105);
    frame->setFrameShape(QFrame::Box);
    frame->setAlignment(Qt::AlignCenter);
    frame->setScaledContents(true);
    col->addWidget(frame);
    *photo = frame;
    auto* buttons = new QHBoxLayout;
    auto* select = smallButton(QStringLiteral("Sélectionner"), QStringLiteral("Btn_Select_Img"), dialog);
    *deleteImage = smallButton(QStringLiteral("X"), QStringLiteral("Btn_Delete_Img"), dialog);
    buttons->addWidget(select);
    buttons->addWidget(*deleteImage);
    col->addLayout(buttons);
    col->addWidget(new QLabel(QStringLiteral("Couleur et motif"), dialog));
    auto* sampleRow = new QHBoxLayout;
    *sample = new QLabel(dialog);
    (*sample)->setObjectName(QStringLiteral("Img_Brush"));
    (*sample)->setFixedSize(65, 16);
    sampleRow->addWidget(*sample);
    auto* pattern = smallButton(QStringLiteral("▦"), kind.patternButton, dialog);
    pattern->setToolTip(QStringLiteral("Motif"));
    auto* color = smallButton(QStringLiteral("■"), QStringLiteral("Btn_Shape_Color"), dialog);
    color->setToolTip(QStringLiteral("Couleur"));
    sampleRow->addWidget(pattern);
    sampleRow->addWidget(color);
    col->addLayout(sampleRow);
    // The colour shape with the pattern shape over it (hidden for a solid pattern).
    auto* colorShape = new QLabel(dialog);
    colorShape->setObjectName(QStringLiteral("Shape_Color"));
    colorShape->setFixedSize(65, 16);
    colorShape->setFrameShape(QFrame::Box);
    *patternShape = new QLabel(colorShape);
    (*patternShape)->setObjectName(QStringLiteral("Shape_Brush"));
    (*patternShape)->setGeometry(colorShape->rect());
    col->addWidget(colorShape);
    col->addStretch();

    *menu = new ui::TPopupMenuMod(dialog);
    (*menu)->setObjectName(kind.popupPrefix);
    auto add = [&](const QString& text, const char* suffix, std::function<void()> run) {
        QAction* a = (*menu)->addAction(text);
        a->setObjectName(kind.popupPrefix + QString::fromLatin1(suffix));
        if (run)
            QObject::connect(a, &QAction::triggered, dialog, std::move(run));
    };
    add(QStringLiteral("&Sélectionner une photo"), "_Select", [dialog] { dialog->Btn_Select_ImgClick(); });
    add(QStringLiteral("Su&pprimer cette photo"), "_Delete", [dialog] { dialog->Btn_Delete_ImgClick(); });
    add(QStringLiteral("&Acquérir une image"), "_Scan", [dialog] { dialog->Popup_Img_ScanClick(); });
    add(QStringLiteral("&Visualiser la photo"), "_FullSize", [dialog] { dialog->Popup_Img_FullSizeClick(); });
    add(QStringLiteral("&Imprimer la photo"), "_Print", [dialog] { dialog->Popup_Img_PrintClick(); });
    add(QStringLiteral("&Enregistrer la photo sous .."), "_Save", [dialog] { dialog->Popup_Img_SaveClick(); });
    frame->contextMenu = [m = *menu](const QPoint& pos) { m->popup(pos); };
    frame->doubleClicked = [dialog] { dialog->Popup_Img_FullSizeClick(); };
    QObject::connect(select, &QPushButton::clicked, dialog, &TEnterRecord::Btn_Select_ImgClick);
    QObject::connect(*deleteImage, &QPushButton::clicked, dialog, &TEnterRecord::Btn_Delete_ImgClick);
    QObject::connect(pattern, &QPushButton::clicked, dialog, &TEnterRecord::Btn_Shape_BrushClick);
    QObject::connect(color, &QPushButton::clicked, dialog, &TEnterRecord::Btn_Shape_ColorClick);
    return col;
}

QPushButton* runButton(QWidget* parent, const QString& name)
{
    auto* b = smallButton(QStringLiteral("»"), name, parent);
    b->setToolTip(QStringLiteral("Exécuter"));
    return b;
}

}  // namespace

void TEnterRecord::finishSetUp(const std::function<void(QLayout*)>& placeRightColumn,
                               std::initializer_list<const char*> watched)
{
    placeRightColumn(
        buildRightColumn(this, m_kind, &m_photo, &m_sample, &m_deleteImage, &m_patternShape, &m_photoMenu));
    connect(m_email, &QPushButton::clicked, this, &TEnterRecord::SendMail);
    connect(m_web, &QPushButton::clicked, this, &TEnterRecord::OpenWebSite);
    for (const char* name : watched)
        connect(findChild<QLineEdit*>(QString::fromLatin1(name)), &QLineEdit::textChanged, this,
                &TEnterRecord::UpdateButtons);
    loadFields();
    loadCustomLabels();
    if (m_documents)
        m_documents->OpenDocumentFiles();
    showThumbnail();
    UpdateButtons();
    DrawColorSample();
    ui::SetUpWindow(this);
}

QLineEdit* TEnterRecord::lineRow(QGridLayout* grid, int& row, const QString& label, const QString& name,
                                 const QString& column)
{
    grid->addWidget(new QLabel(label, m_general), row, 0);
    QLineEdit* e = addLine(m_general, name, column, 128);
    grid->addWidget(e, row++, 1, 1, 2);
    return e;
}

void TEnterRecord::comboRow(QGridLayout* grid, int& row, const QString& label, const QString& name,
                            const QString& column, const QString& buttonName, bool readOnly)
{
    grid->addWidget(new QLabel(label, m_general), row, 0);
    QLineEdit* e = addLine(m_general, name, column, 128, readOnly);
    grid->addWidget(e, row, 1);
    auto* button = smallButton(QStringLiteral("..."), buttonName, m_general);
    grid->addWidget(button, row++, 2);
    makeComboField(e, button, column, label);
}

void TEnterRecord::mailAndWebRows(QGridLayout* grid, int& row)
{
    const struct {
        const char* label;
        const char* edit;
        const char* column;
        const char* button;
        QPushButton** holder;
    } rows[] = {{"Email", "Ed_Email", "Email", "Btn_Email", &m_email},
                {"Site Web", "Ed_WebSite", "WebSite", "Btn_WebSite", &m_web}};
    for (const auto& r : rows) {
        grid->addWidget(new QLabel(QString::fromUtf8(r.label), m_general), row, 0);
        grid->addWidget(addLine(m_general, QString::fromLatin1(r.edit), QString::fromLatin1(r.column), 128), row, 1);
        *r.holder = runButton(m_general, QString::fromLatin1(r.button));
        grid->addWidget(*r.holder, row++, 2);
    }
}

QPlainTextEdit* TEnterRecord::memoRow(QGridLayout* grid, int& row, const QString& label, const QString& name,
                                      const QString& column, int height, int maxLength, bool singleParagraph)
{
    grid->addWidget(new QLabel(label, m_general), row, 0);
    QPlainTextEdit* m = addMemo(m_general, name, column, maxLength, singleParagraph);
    if (height > 0)
        m->setFixedHeight(height);
    grid->addWidget(m, row++, 1, 1, 2);
    return m;
}

TEnterPeople::TEnterPeople(db::DataSource& source, db::Dataset& query, QWidget* parent)
    : TEnterRecord({true, QStringLiteral("  Saisie d'une personne"), QStringLiteral("Ed_Name"),
                    QStringLiteral("People"), QStringLiteral("Lab_People_Misc"), QStringLiteral("Popup_People_Img"),
                    QStringLiteral("Btn_Shape_Brush")},
                   source, query, parent)
{
    setObjectName(QStringLiteral("EnterPeople"));
    buildCommon();
    auto* grid = new QGridLayout(m_general);
    int row = 0;
    lineRow(grid, row, QStringLiteral("Nom"), QStringLiteral("Ed_Name"), QStringLiteral("Name"));
    comboRow(grid, row, QStringLiteral("Fonction"), QStringLiteral("Ed_Function"), QStringLiteral("Function"),
             QStringLiteral("Btn_Function"));
    mailAndWebRows(grid, row);
    memoRow(grid, row, QStringLiteral("Adresse"), QStringLiteral("Memo_Address"), QStringLiteral("Address"), 48, 255);
    lineRow(grid, row, QStringLiteral("Code postal"), QStringLiteral("Ed_PostCode"), QStringLiteral("CP"));
    comboRow(grid, row, QStringLiteral("Ville"), QStringLiteral("Ed_City"), QStringLiteral("City"),
             QStringLiteral("Btn_City"));
    // The country can only be chosen from its list.
    comboRow(grid, row, QStringLiteral("Pays"), QStringLiteral("Ed_Country"), QStringLiteral("Country"),
             QStringLiteral("Btn_Country"), true);
    lineRow(grid, row, QStringLiteral("Téléphone"), QStringLiteral("Ed_Phone"), QStringLiteral("Phone"));
    lineRow(grid, row, QStringLiteral("Fax"), QStringLiteral("Ed_Fax"), QStringLiteral("Fax"));
    memoRow(grid, row, QStringLiteral("Notes"), QStringLiteral("Memo_Note"), QStringLiteral("Remark1"), 48);
    finishSetUp([grid](QLayout* column) { grid->addLayout(column, 0, 3, 12, 1); },
                {"Ed_Name", "Ed_Function", "Ed_Email", "Ed_WebSite"});
}

TEnterProject::TEnterProject(db::DataSource& source, db::Dataset& query, QWidget* parent)
    : TEnterRecord({false, QStringLiteral("  Saisie d'un projet"), QStringLiteral("Ed_Title"),
                    QStringLiteral("Project"), QStringLiteral("Lab_Project_Misc"), QStringLiteral("Popup_Img"),
                    QStringLiteral("LMDShapeButton1")},
                   source, query, parent)
{
    setObjectName(QStringLiteral("EnterProject"));
    buildCommon();
    // The fields and the photo column side by side at the top, packed
    // upwards; the two descriptions under both, the width of the page.
    auto* page = new QVBoxLayout(m_general);
    page->setContentsMargins(8, 6, 8, 6);
    page->setSpacing(4);
    auto* top = new QHBoxLayout;
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(4);
    // Title and responsible side by side, each under its label.
    auto* pair = new QGridLayout;
    pair->setVerticalSpacing(2);
    pair->addWidget(new QLabel(QStringLiteral("Titre"), m_general), 0, 0);
    pair->addWidget(new QLabel(QStringLiteral("Responsable"), m_general), 0, 1);
    pair->addWidget(addLine(m_general, QStringLiteral("Ed_Title"), QStringLiteral("Title"), 128), 1, 0);
    pair->addWidget(addLine(m_general, QStringLiteral("Ed_Name"), QStringLiteral("Name"), 128), 1, 1);
    grid->addLayout(pair, 0, 0, 1, 3);
    int row = 1;
    lineRow(grid, row, QStringLiteral("Téléphone"), QStringLiteral("Ed_Phone"), QStringLiteral("Phone"));
    lineRow(grid, row, QStringLiteral("Fax"), QStringLiteral("Ed_Fax"), QStringLiteral("Fax"));
    mailAndWebRows(grid, row);
    grid->setRowStretch(row, 1);
    top->addLayout(grid, 1);
    page->addLayout(top);
    page->addWidget(new QLabel(QStringLiteral("Description courte"), m_general));
    QPlainTextEdit* shortDescription =
        addMemo(m_general, QStringLiteral("Memo_ShortDescription"), QStringLiteral("ShortDescription"), 255, true);
    shortDescription->setFixedHeight(40);
    page->addWidget(shortDescription);
    page->addWidget(new QLabel(QStringLiteral("Description longue"), m_general));
    QPlainTextEdit* description = addMemo(m_general, QStringLiteral("Memo_Description"), QStringLiteral("Description"));
    description->setMinimumHeight(40);
    page->addWidget(description, 1);
    finishSetUp([top](QLayout* column) { top->addLayout(column); }, {"Ed_Title", "Ed_Email", "Ed_WebSite"});
}

}  // namespace records
