#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace db {
class TDataModule1;
}

namespace maintenance {

// The backup history: the rows of BACKUP in table order, read-only, and the
// purge of the whole table after a confirmation. The archives named in the
// rows are never deleted.
class TBackupList : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 626;
    static constexpr int kClientHeight = 298;

    TBackupList(db::TDataModule1& dataModule, QWidget* parent = nullptr);

    QTableWidget* BFSDBGridColor2;
    QPushButton* Btn_Delete;
    QPushButton* Btn_Close;

    void Btn_DeleteClick();
    void Btn_CloseClick() { close(); }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void loadRows();

    db::TDataModule1& m_dm;
};

}  // namespace maintenance
