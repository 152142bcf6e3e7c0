#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;

namespace images {

// The white 300 × 300 frame "Pan_Img_Cadre" with its picture, placed by
// FitToBox, and the label "Lab_Image" that gives the picture's size.
class PictureFrame : public QWidget {
    Q_OBJECT
public:
    PictureFrame(const QString& pictureName, QLabel* sizeLabel, QWidget* parent);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull() && m_picture.width() > 0; }
    // 90 turns right, 270 left.
    void rotate(int angle);
    QLabel* pictureLabel() const { return m_image; }

Q_SIGNALS:
    void pictureChanged();

private:
    QImage m_picture;
    QLabel* m_image;
    QLabel* m_sizeLabel;
};

// The two rotation buttons, with their hints.
QPushButton* RotationButton(bool right, QWidget* parent);

// Acquires one image for a dialog from the source of the settings: the
// dialog is disabled meanwhile and its window messages keep running. A
// missing library shows the catalogue's message, a failure its own; both
// answer a null image.
QImage ScanForDialog(QWidget* dialog);

// "  Numérisation d'une image": one acquisition when shown, rotation, OK
// once an image is present.
class TTwainScan : public QDialog {
    Q_OBJECT
public:
    explicit TTwainScan(QWidget* parent = nullptr);
    // The acquisition the dialog runs once shown; public for tests.
    void Acquire();
    QImage picture() const { return m_frame->picture(); }
    PictureFrame* frame() const { return m_frame; }

protected:
    void showEvent(QShowEvent*) override;

private:
    void updateOk();
    PictureFrame* m_frame;
    QPushButton* m_ok;
    bool m_acquired = false;
};

}  // namespace images
