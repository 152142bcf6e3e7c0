#pragma once

#include "planning/PlanningModel.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <initializer_list>
#include <vector>

class QGridLayout;
class QLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace db {
class DataSource;
class Dataset;
}  // namespace db

namespace ui {
class TPopupMenuMod;
}

namespace records {

class DocumentsPage;

// Asks for one line of text ("Modifiez le libellé"); OK needs a text.
class TEnterStr : public QDialog {
    Q_OBJECT
public:
    TEnterStr(const QString& prompt, const QString& text, QWidget* parent = nullptr);
    QString text() const;
    QLineEdit* Ed_Str;
    QPushButton* Btn_Ok;
};

// What differs between the person and the project dialog.
struct RecordKind {
    bool person = true;
    QString title;            // "  Saisie d'une personne"
    QString requiredControl;  // Ed_Name or Ed_Title
    QString imagePrefix;      // "People" or "Project"
    QString labelPrefix;      // "Lab_People_Misc" or "Lab_Project_Misc"
    QString popupPrefix;      // "Popup_People_Img" or "Popup_Img"
    QString patternButton;    // "Btn_Shape_Brush" or "LMDShapeButton1"
};

// The entry dialog of a person or a project: it edits the current row of
// the standing query, which the caller positions and puts in edit mode.
// Colour and pattern live in the dialog until OK; photo, mail, web and
// label operations store at once. Annuler (and the close box) deletes a new
// record with everything attached, or drops the pending edits.
class TEnterRecord : public QDialog {
    Q_OBJECT
public:
    TEnterRecord(const RecordKind& kind, db::DataSource& source, db::Dataset& query, QWidget* parent);

    bool IsNewRecord = false;

    void UpdateButtons();
    void DrawColorSample();
    void Btn_OkClick();
    void Btn_CancelClick();
    void Btn_Shape_ColorClick();
    void Btn_Shape_BrushClick();
    void Btn_Select_ImgClick();
    void Btn_Delete_ImgClick();
    void Popup_Img_SaveClick();
    void Popup_Img_ScanClick();
    void Popup_Img_FullSizeClick();
    void Popup_Img_PrintClick();
    void SendMail();
    void OpenWebSite();
    void editCustomLabel(QLabel* label);
    // The combo-list field of an edit: its picker and its list editor.
    void openPicker(QLineEdit* edit);
    void editList(QLineEdit* edit);

    quint32 penColor() const { return m_pen; }
    quint32 brushColor() const { return m_brush; }
    planning::TBrushStyle brushStyle() const { return m_style; }
    bool patternOverlayVisible() const;
    bool photoShown() const { return !m_thumbnail.isNull() && m_thumbnail.width() > 0; }
    QString photoFile() const;
    int ownerId() const;
    DocumentsPage* documentsPage() const { return m_documents; }

    // Annuler and the close box.
    void reject() override;

protected:
    void showEvent(QShowEvent*) override;

    struct Binding {
        QWidget* control;
        QString column;
    };
    QLineEdit* addLine(QWidget* page, const QString& name, const QString& column, int maxLength, bool readOnly = false);
    // maxLength 0: unbounded; singleParagraph: the Enter key breaks no line.
    QPlainTextEdit* addMemo(QWidget* page, const QString& name, const QString& column, int maxLength = 0,
                            bool singleParagraph = false);
    // Rows of the "Général" page: a label and its control.
    QLineEdit* lineRow(QGridLayout* grid, int& row, const QString& label, const QString& name, const QString& column);
    void comboRow(QGridLayout* grid, int& row, const QString& label, const QString& name, const QString& column,
                  const QString& buttonName, bool readOnly = false);
    void mailAndWebRows(QGridLayout* grid, int& row);
    QPlainTextEdit* memoRow(QGridLayout* grid, int& row, const QString& label, const QString& name,
                            const QString& column, int height, int maxLength = 0, bool singleParagraph = false);
    void buildCommon();
    void buildCustomPage(QWidget* page);
    void loadFields();
    void writeFields();
    void showThumbnail();
    int dossierId() const;
    void loadCustomLabels();
    // The right-hand column (placed by the caller), the watched edits, the
    // values and the frame.
    void finishSetUp(const std::function<void(QLayout* rightColumn)>& placeRightColumn,
                     std::initializer_list<const char*> watched);
    void makeComboField(QLineEdit* edit, QPushButton* button, const QString& column, const QString& caption);
    bool eventFilter(QObject* watched, QEvent* event) override;

    RecordKind m_kind;
    db::DataSource& m_source;
    db::Dataset& m_query;
    std::vector<Binding> m_bindings;
    QTabWidget* m_tabs = nullptr;
    QWidget* m_general = nullptr;
    QLabel* m_photo = nullptr;
    QLabel* m_sample = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_deleteImage = nullptr;
    QPushButton* m_email = nullptr;
    QPushButton* m_web = nullptr;
    QLabel* m_patternShape = nullptr;
    ui::TPopupMenuMod* m_photoMenu = nullptr;
    QImage m_thumbnail;
    quint32 m_pen = 255;
    quint32 m_brush = 255;
    planning::TBrushStyle m_style = planning::bsClear;
    bool m_closing = false;
    db::Dataset* m_comboItems = nullptr;
    DocumentsPage* m_documents = nullptr;
};

// The two dialogs, as the main window opens them.
class TEnterPeople : public TEnterRecord {
    Q_OBJECT
public:
    TEnterPeople(db::DataSource& source, db::Dataset& query, QWidget* parent = nullptr);
};

class TEnterProject : public TEnterRecord {
    Q_OBJECT
public:
    TEnterProject(db::DataSource& source, db::Dataset& query, QWidget* parent = nullptr);
};

}  // namespace records
