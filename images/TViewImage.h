#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

namespace images {

// "  Visualisation d'une Image": one picture fitted into the window.
class TViewImage : public QDialog {
    Q_OBJECT
public:
    explicit TViewImage(QWidget* parent = nullptr);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    QLabel* Image;
    // FitToBox into the window less 10 pixels on each side.
    void layoutImage();

protected:
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QImage m_picture;
    QWidget* m_body;
    QPoint m_pressGlobal;
    QPoint m_pressPos;
    bool m_dragging = false;
};

// Shows a picture file in a TViewImage; a missing or unreadable file gives
// the catalogue's message.
void ShowImageFile(const QString& file, QWidget* parent = nullptr);

// Copies the stored picture to a place the user chooses; a missing file is
// reported with its catalogue message, a failed copy with a message that
// leaves the chosen file as it was.
void SaveImageCopyAs(const QString& storedFile, const QString& proposedName, QWidget* parent = nullptr);

}  // namespace images
