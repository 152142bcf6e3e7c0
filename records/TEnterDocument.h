#pragma once

#include "images/Scanner.h"
#include "records/DocumentStore.h"

#include <QDialog>
#include <QImage>

#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace db {
class DataSource;
class Dataset;
}  // namespace db

class QTimer;

namespace images {
class PictureFrame;
}

namespace records {

// "  Sélection d'un document": a title and a picture from a file or the
// scanner, which can be turned. The caller reads title(), picture() and
// ImageChanged.
class TEnterDocument : public QDialog {
    Q_OBJECT
public:
    explicit TEnterDocument(QWidget* parent = nullptr);

    bool ImageChanged = false;
    QString title() const;
    void setTitle(const QString& title);
    QImage picture() const;
    void setPicture(const QImage& picture);

    void Btn_ImgClick();
    void Btn_ScanClick();
    void rotate(int angle);
    // Looks whether the device listing started on showing has answered; the
    // scan button follows it. Run by a timer, public for tests.
    void probeAnswered();
    bool probing() const { return m_probe && !m_probe->ready(); }

protected:
    void showEvent(QShowEvent*) override;

private:
    void updateOk();
    QLineEdit* m_title;
    images::PictureFrame* m_frame;
    QPushButton* m_scan;
    QPushButton* m_ok;
    std::shared_ptr<const images::SourceProbe> m_probe;
    QTimer* m_probeTimer;
};

// The file chooser of the documents page: its routine asks for a file and
// reads name, type, size and icon; its window is never shown by the entry
// dialogs.
class TEnterObjectFile : public QDialog {
    Q_OBJECT
public:
    explicit TEnterObjectFile(QWidget* parent = nullptr);
    // False when nothing was chosen or the chosen file cannot be read (a
    // message then says so).
    bool ChooseFile();
    const ChosenFile& chosen() const { return m_chosen; }

private:
    ChosenFile m_chosen;
    QLabel* Lab_Name;
    QLabel* Lab_Type;
    QLabel* Lab_Size;
    QLabel* Img_Icon;
    QPlainTextEdit* Memo_Remark;
};

// A photo from the scanner: TTwainScan, and on OK the picture stored as the
// record's photo (full-size JPEG and thumbnail). False when nothing was stored.
bool ScanPhoto(const db::DataSource& source, db::Dataset& query, const QString& thumbnailColumn, int thumbnailWidth,
               int thumbnailHeight, const QString& targetFile, QWidget* parent);

}  // namespace records
