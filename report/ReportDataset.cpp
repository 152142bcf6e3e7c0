#include "report/ReportDataset.h"

#include "db/Dataset.h"
#include "report/ReportTemplate.h"

namespace report {

ReportDataset::~ReportDataset() = default;

db::Dataset& DbReportDataset::require() const
{
    if (!m_dataset)
        throw ReportError(QStringLiteral("Le rapport n'est relié à aucun ensemble de données."));
    return *m_dataset;
}

void DbReportDataset::first()
{
    db::Dataset& ds = require();
    if (!ds.IsOpen()) {
        // Opening moves to the first record and raises the event itself.
        ds.Open();
        return;
    }
    const int before = ds.RecNo();
    ds.First();
    if (ds.RecNo() == before && !ds.IsEmpty() && ds.OnDataChange && !ds.ControlsDisabled())
        ds.OnDataChange(ds);
}

void DbReportDataset::next()
{
    require().Next();
}

bool DbReportDataset::eof() const
{
    return require().Eof();
}

bool DbReportDataset::isEmpty() const
{
    return require().IsEmpty();
}

QVariant DbReportDataset::value(const QString& field)
{
    if (liveField) {
        if (std::optional<QVariant> v = liveField(field))
            return *v;
    }
    db::Dataset& ds = require();
    if (!ds.HasField(field) || ds.IsEmpty())
        return {};
    const QVariant v = ds.FieldByName(field).Value();
    // A NULL reads as an empty text rather than as a missing field.
    return v.isValid() ? v : QVariant(QString());
}

}  // namespace report
