#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace db {
class Dataset;
}

namespace report {

// A dataset the engine walks while it prepares a report. first() and next()
// are moves: each raises the dataset's data-change event, once, before the
// engine reads the record, so that whatever the event writes is printed with
// that record. Failures throw ReportError or the data layer's DbError.
class ReportDataset {
public:
    virtual ~ReportDataset();
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    virtual bool isEmpty() const = 0;
    // An invalid value when the dataset has no such field.
    virtual QVariant value(const QString& field) = 0;
};

// A report dataset over one of the program's queries. It opens the query
// when the engine asks for its first record, and the first record counts as
// a move even when the query stands on it already.
class DbReportDataset : public ReportDataset {
public:
    explicit DbReportDataset(db::Dataset* dataset = nullptr) : m_dataset(dataset) { }

    db::Dataset* dataset() const { return m_dataset; }
    void setDataset(db::Dataset* dataset) { m_dataset = dataset; }

    // Answers a field before the query's row buffer does; used for columns
    // that change while the report is prepared (the pictures of TEMP).
    std::function<std::optional<QVariant>(const QString& field)> liveField;

    void first() override;
    void next() override;
    bool eof() const override;
    bool isEmpty() const override;
    QVariant value(const QString& field) override;

private:
    db::Dataset& require() const;
    db::Dataset* m_dataset;
};

}  // namespace report
