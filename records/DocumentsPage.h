#pragma once

#include "records/DocumentStore.h"

#include <QWidget>

#include <functional>

class QListWidget;
class QPushButton;
class QTableWidget;

namespace db {
class TDataModule1;
}

namespace ui {
class TPopupMenuMod;
}

namespace records {

// The "Documents" page of the entry dialogs: the owner's image documents
// with their thumbnails and titles above, its stored files below. Every
// operation is stored at once and survives Annuler of the dialog.
class DocumentsPage : public QWidget {
    Q_OBJECT
public:
    // kind 1 person, 2 project; owner and dossier are read when needed.
    DocumentsPage(db::TDataModule1& dm, int kind, std::function<int()> owner, std::function<int()> dossier,
                  QWidget* parent);
    ~DocumentsPage() override;

    // The file grid, opened with the dialog and closed with it.
    void OpenDocumentFiles();
    // The image list, filled when the page is entered, emptied when left.
    void LoadDocumentImages();
    void ClearDocumentImages();
    void UpdateButtons();

    void Btn_Document_Img_AddClick();
    void Btn_Document_Img_EditClick();
    void Btn_Document_Img_DeleteClick();
    void Btn_Document_Img_ExeClick();
    void Btn_Document_Img_SaveClick();
    void Btn_Document_File_AddClick();
    void Btn_Document_File_DeleteClick();
    void Btn_Document_File_ExeClick();
    void Btn_Document_File_SaveClick();

    QListWidget* ListView_Document_Img;
    QTableWidget* Grid_Document_File;
    // The Id of the selected image document, -1 without one.
    int selectedImageId() const;
    // Moves the file query onto the selected row; false without one.
    bool locateSelectedFile();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillFileGrid();
    QString missingArchiveMessage(const QString& lead, const QString& archive) const;

    db::TDataModule1& m_dm;
    DocumentStore m_store;
    std::function<int()> m_owner;
    std::function<int()> m_dossier;
    QPushButton* m_imgAdd;
    QPushButton* m_imgEdit;
    QPushButton* m_imgDelete;
    QPushButton* m_imgExe;
    QPushButton* m_imgSave;
    QPushButton* m_fileAdd;
    QPushButton* m_fileDelete;
    QPushButton* m_fileExe;
    QPushButton* m_fileSave;
    ui::TPopupMenuMod* m_imgMenu;
    ui::TPopupMenuMod* m_fileMenu;
};

}  // namespace records
