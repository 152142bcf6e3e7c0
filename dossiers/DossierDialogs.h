#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;
class QTreeWidget;

namespace db {
class Dataset;
}

namespace dossiers {

// The dossier dialog, bound to the current row of the dossier query: " &Ok"
// (enabled while the name is not empty) stores the row, " &Annuler" and the
// close box drop its changes. The orientation group is enabled for a new
// dossier only.
class TEnterFile : public QDialog {
    Q_OBJECT
public:
    TEnterFile(db::Dataset& dossier, bool isNew, QWidget* parent = nullptr);

    int orientation() const;

    QLineEdit* Ed_File;
    QLineEdit* Ed_PassWord;
    QLineEdit* Ed_Name;
    QPlainTextEdit* Memo_Observation;
    QGroupBox* Group_Orientation;
    QRadioButton* Radio_PersonsProjects;
    QRadioButton* Radio_ProjectsPersons;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    void Btn_OkClick();

protected:
    void reject() override;

private:
    db::Dataset& m_dossier;
};

// The list of dossiers, names in French order; answers the chosen node's number and caption.
class TFileList : public QDialog {
    Q_OBJECT
public:
    TFileList(db::Dataset& dossier, QWidget* parent = nullptr);

    int chosenId() const { return m_id; }
    QString chosenName() const { return m_name; }

    QTreeWidget* Tree_Global;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    void Btn_OkClick();

private:
    int m_id = -1;
    QString m_name;
};

// Asks for a dossier's password; the typed characters show as "*".
class TEnterPassWord : public QDialog {
    Q_OBJECT
public:
    explicit TEnterPassWord(QWidget* parent = nullptr);
    QString password() const;

    QLineEdit* Ed_PassWord;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
};

// True only when the dialog was confirmed with exactly the stored password;
// a wrong one is told with "Mot de passe incorrect !".
bool AskDossierPassword(const QString& storedPassword, QWidget* parent = nullptr);

}  // namespace dossiers
