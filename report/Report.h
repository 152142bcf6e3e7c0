#pragma once

#include "report/PreparedReport.h"
#include "report/ReportDataset.h"
#include "report/ReportTemplate.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <functional>

namespace report {

// A banded report: a template, the datasets it names and the program's
// variables. Preparing it lays the bands out on pages in the template's
// order: the master band once per record of its dataset, followed each time
// by the detail bands over their datasets; a summary data band once per
// record of its dataset; page header and footer on every page.
//
// Expressions are "[Name]" or "[dataset.Name]" inside a text object. A name
// is looked up as PAGE#, TOTALPAGES, DATE, TIME or REPORTTITLE (Title), then asked of the program
// through OnGetValue, then read as a field of the band's dataset and of the
// main dataset; anything else prints as an empty text.
class Report {
public:
    // Throws ReportError naming the file; the previous template is kept then.
    void LoadFromFile(const QString& fileName);
    bool loaded() const { return m_loaded; }
    const ReportTemplate& reportTemplate() const { return m_template; }

    // The object of that name in the loaded template, or nullptr.
    ReportObject* FindObject(const QString& name) { return m_template.findObject(name); }
    // Loads a picture file into a picture object; false when the object is
    // not a picture or the file is not a readable picture.
    bool LoadPicture(ReportObject* object, const QString& fileName);

    // The report's title (the preview window shows it).
    QString Title;

    // Datasets are not owned. The main dataset is the one named here.
    void addDataset(const QString& name, ReportDataset* dataset) { m_datasets.insert(name.toLower(), dataset); }
    void setMainDataset(const QString& name) { m_main = name; }

    // Answers a template variable: sets value when the name is the program's.
    std::function<void(const QString& name, QVariant& value)> OnGetValue;

    // Lays out the pages. Throws ReportError (and lets the data layer's
    // DbError through); the pages prepared before stay unless it succeeds.
    void PrepareReport();
    const PreparedReport& prepared() const { return m_prepared; }
    bool isPrepared() const { return m_isPrepared; }

private:
    friend class Layout;
    ReportDataset* dataset(const QString& name) const;

    ReportTemplate m_template;
    bool m_loaded = false;
    QHash<QString, ReportDataset*> m_datasets;  // lower-case names
    QString m_main = QStringLiteral("frDBDataSet");
    PreparedReport m_prepared;
    bool m_isPrepared = false;
};

}  // namespace report
