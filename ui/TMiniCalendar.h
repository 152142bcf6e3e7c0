#pragma once

#include <QDate>
#include <QImage>
#include <QWidget>

namespace ui {

// Today's date as a small calendar leaf: the two-digit day over the first
// three letters of the month. Colours are 0x00BBGGRR.
class TMiniCalendar : public QWidget {
    Q_OBJECT
public:
    enum class Language { English, French };

    explicit TMiniCalendar(QWidget* parent = nullptr);

    void setDayFontName(const QString& name);
    void setDayFontColor(quint32 color);
    void setMonthFontName(const QString& name);
    void setMonthFontColor(quint32 color);
    void setLanguage(Language language);

    // The texts shown for a date.
    static QString DayText(const QDate& date);
    QString MonthText(const QDate& date) const;
    const QImage& background() const { return m_background; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString m_dayFont = QStringLiteral("Arial");
    quint32 m_dayColor = 255;
    QString m_monthFont = QStringLiteral("Arial");
    quint32 m_monthColor = 0;
    Language m_language = Language::English;
    QImage m_background;
};

}  // namespace ui
