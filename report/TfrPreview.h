#pragma once

#include "report/PreparedReport.h"

#include <QImage>
#include <QScrollArea>

class QPrinter;

namespace report {

class Report;

// The preview control: one prepared page at a time in a scroll area, with
// three zooms and the four page moves. The report is not owned.
class TfrPreview : public QScrollArea {
    Q_OBJECT
public:
    enum class Zoom { OnePage, PageWidth, Full };

    explicit TfrPreview(QWidget* parent = nullptr);

    // Shows the report's prepared pages from the first one.
    void setReport(const Report* report);
    const Report* report() const { return m_report; }

    int pageCount() const;
    int page() const { return m_page; }  // from 1; 0 without pages
    Zoom zoom() const { return m_zoom; }
    // The drawn page's size in pixels at the current zoom.
    QSize pageSizePx() const { return m_image.size(); }

    void OnePage();
    void PageWidth();
    void Zoom100();
    void First();
    void Prior();
    void Next();
    void Last();
    void setPage(int page);

Q_SIGNALS:
    void pageChanged(int page);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setZoom(Zoom zoom);
    void redraw();

    const Report* m_report = nullptr;
    int m_page = 0;
    Zoom m_zoom = Zoom::PageWidth;
    QImage m_image;
};

// Prints the range of the prepared pages on the printer with its copy count;
// the copies are drawn by the program when the driver cannot make them.
// Answers false when the printer cannot be opened.
bool PrintToPrinter(const PreparedReport& report, QPrinter& printer, PageRange range, int copies);

}  // namespace report
