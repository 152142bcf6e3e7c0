#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace app {

// Borderless 420 × 170 start-up window centred on the screen: the picture on
// the left, the maker's notice, the version, a status line (info) and a thin
// progress bar (barre).
class TSplash : public QWidget {
    Q_OBJECT
public:
    explicit TSplash(QWidget* parent = nullptr);

    void setStatus(const QString& text);
    QString status() const;
    void setMaximum(int maximum);
    void setPosition(int position);
    int position() const;
    int maximum() const;
    QLabel* statusLabel() const { return m_info; }

    // The notice with every "2008" replaced by the year given.
    static QString noticeText(int year);

private:
    QLabel* m_info;
    QProgressBar* m_bar;
};

}  // namespace app
