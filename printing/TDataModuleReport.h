#pragma once

#include "db/Dataset.h"
#include "db/QueryHelpers.h"
#include "planning/AnnualRenderer.h"
#include "planning/MonthRenderer.h"
#include "planning/PlanningModel.h"
#include "report/Report.h"
#include "report/ReportDataset.h"

#include <QHash>
#include <QImage>
#include <QString>

#include <functional>

namespace db {
class Connection;
}

namespace printing {

// The year of the annual view as the report draws it.
struct AnnualSource {
    const planning::AnnualModel* model = nullptr;
    bool showDayNumber = true;
};

// The month of the monthly view as the report draws its strips.
struct MonthSource {
    const planning::MonthModel* model = nullptr;
    bool showDayNumber = true;
    int firstWeekday = 1;  // Sunday = 1
    int days = 31;
    // The object Id of each row of the view: a record takes the strip of the
    // row holding its Id (empty when none does), whatever order the report
    // lists its records in. Without ids the strips follow the record order.
    QList<int> rowIds;
};

// Shows the prepared report (the preview window); tests capture the pages.
using ShowPreview = std::function<void(report::Report&)>;

// The report data module: the two report queries, their report datasets,
// the report and the values the templates ask for. Every record move of
// ReportQuery draws that record's picture (swatch or month strip) and writes
// it into the one-row table TEMP, which the queries join to every record.
// Preparation runs in a transaction rolled back afterwards, so the TEMP
// writes stay cheap and nothing is left locked by a failed report.
// Failures throw report::ReportError or db::DbError with a French message.
class TDataModuleReport {
public:
    explicit TDataModuleReport(db::Connection& connection);
    TDataModuleReport(const TDataModuleReport&) = delete;
    TDataModuleReport& operator=(const TDataModuleReport&) = delete;

    db::Dataset ReportQuery;
    db::DataSource DSReportQuery{&ReportQuery};
    db::Dataset ReportQueryKey;
    db::DataSource DSReportQueryKey{&ReportQueryKey};
    report::DbReportDataset frDBDataSet{&ReportQuery};
    report::DbReportDataset frDSKey{&ReportQueryKey};
    report::Report frReport;

    int ReportMode = 0;  // 0 annual planning, 1 list, 2 monthly planning
    int ReportRow = 0;   // the monthly view's row drawn at the next move
    QString ReportTitle;

    void DSReportQueryDataChange();
    void DSReportQueryKeyDataChange();
    void frReportGetValue(const QString& name, QVariant& value) const;

    // Writes a 24-bit bitmap into TEMP's column through a short-lived query.
    void WriteTempPicture(const QString& queryName, const QString& column, const QImage& picture);

    void PrintAnnualPlanning(const planning::PlanningContext& ctx, const AnnualSource& year, int id,
                             const QString& title, const ShowPreview& show);
    void PrintMonthlyPlanning(const planning::PlanningContext& ctx, const MonthSource& month, const QString& title,
                              const ShowPreview& show);
    // False when the list is empty (no preview shown).
    bool PrintPersonList(int dossierId, const ShowPreview& show);
    bool PrintProjectList(int dossierId, const ShowPreview& show);
    bool PrintListReport(db::Dataset& dataset, report::Report& report, const QString& name, const QString& from,
                         const QString& where, const QString& having, const QString& orderBy, const QString& title,
                         const ShowPreview& show);

    // The report's prepared pages (after the preview, for tests).
    const report::PreparedReport& prepared() const { return frReport.prepared(); }

    static QString reportsDirectory();
    // "Planning de l'année 2008" reads "PLANNING DE L'ANNEE 2008".
    static QString PlanningTitle(const QString& title);

private:
    void prepareInTransaction(report::Report& report);
    void closeDatasets();
    void attachTempColumns(report::DbReportDataset& ds, const db::Dataset& query);
    int monthRowOfCurrentRecord();

    db::Connection& m_connection;
    MonthSource m_month;
    planning::MonthModel m_monthCopy;
    QHash<int, int> m_rowOfId;  // from m_month.rowIds
};

// The default SQL texts of the two report queries.
QStringList DefaultReportQuerySql();
QStringList DefaultReportQueryKeySql();
// The text a list prints from when its SQL template is missing: the
// persons' (ReportQuery's default) for "PeopleList", the projects' for
// "ProjectList"; empty for another name.
QStringList DefaultListSql(const QString& name);

// The object Id of each entry, in the order of the view's rows.
QList<int> RowIdsOf(const QStringList& objectEntries);

// The TEMP columns a query's text joins, by the field name they take
// ("TEMP.Img1 as [Img1]" gives Img1 → Img1).
QHash<QString, QString> TempColumnsOf(const QStringList& sql);

}  // namespace printing
