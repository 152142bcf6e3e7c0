#pragma once

#include "db/Dataset.h"

#include <QDialog>
#include <QImage>

class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;

namespace db {
class Connection;
}

namespace images {

// The preview of the pictures of a set of records, one at a time: three
// zoom modes, navigation, printing and saving a copy.
class TPreviewImage : public QDialog {
    Q_OBJECT
public:
    enum Zoom { FitWindow = 1, FitWidth = 2, ActualSize = 3 };

    TPreviewImage(db::Connection& connection, QWidget* parent = nullptr);

    QString CaptionWord;
    QString FilePrefix;
    QString ImageDir;
    int ZoomMode = FitWindow;

    // The record query, columns Id and Title.
    void setQueryText(const QString& sql);
    // Opens on the record id (the first for -1); window mode 2 fills the
    // work area, any other is 800 × 600 centred.
    void OpenOn(int id, int windowMode);

    void First();
    void Prior();
    void Next();
    void Last();
    void setZoom(int mode);
    void Btn_PrintClick();
    // Prints the current picture (from 0) or the records at positions from
    // to to (1-based; to 0: to the end), each copies times, decoding one
    // picture at a time; a range closes the window afterwards.
    void PrintRange(QPrinter& printer, int from, int to, int copies);
    void Btn_SaveClick();

    const QString& currentFile() const { return m_file; }
    bool currentFileExists() const;
    const QImage& picture() const { return m_picture; }
    QLabel* Image;
    QScrollArea* Cadre;
    db::Dataset QueryImg;

    void LoadCurrent();
    void LayoutImage();

Q_SIGNALS:
    // A record of a printed range was sent to the printer (its position).
    void pagePrinted(int position);

protected:
    void showEvent(QShowEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateButtons();
    QWidget* m_content;
    QWidget* Pan_F;
    QPushButton* m_first;
    QPushButton* m_prior;
    QPushButton* m_next;
    QPushButton* m_last;
    QPushButton* m_print;
    QPushButton* m_save;
    QString m_file;
    QImage m_picture;
    bool m_fillWorkArea = false;  // window mode 2, until the window is shown
    bool m_panning = false;
    bool m_layingOut = false;
    QPoint m_pressCursor;
    QPoint m_pressScroll;
};

}  // namespace images
