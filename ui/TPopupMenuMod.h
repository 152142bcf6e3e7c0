#pragma once

#include <QImage>
#include <QMenu>

namespace ui {

// The drawn pop-up menu of the main window: an image column, a framed
// highlight, 10-pixel separators with one grey line, greyed pictures of
// disabled items. Colours are 0x00BBGGRR.
class TPopupMenuMod : public QMenu {
    Q_OBJECT
public:
    explicit TPopupMenuMod(QWidget* parent = nullptr);
    ~TPopupMenuMod() override;

    QImage CheckedImage;
    int ItemsHeight = 22;
    quint32 SelectBackGroundColor = 16313575;
    quint32 SelectBorderColor = 14722691;
    quint32 ImageBackGroundColor = 16053492;
    quint32 TextBackGroundColor = 0xFFFFFF;
    quint32 SeparatorColor = 12632256;
    // The menu has a picture list: the text starts after a 22-pixel image column.
    bool HasImages = false;

    // A disabled item's picture: every pixel but the magenta background grey.
    static QImage GreyedPicture(const QImage& picture);

protected:
    void actionEvent(QActionEvent* e) override;

private:
    void takeLook(const TPopupMenuMod& from);
    class Style;
    Style* m_style;
};

}  // namespace ui
