#pragma once

#include "db/Dataset.h"

#include <QString>
#include <QStringList>

namespace db {

// What a dialog asks of the data source of its controls: is the dataset
// being edited or inserted.
class DataSource {
public:
    explicit DataSource(Dataset* dataset = nullptr) : m_dataset(dataset) { }
    Dataset* dataset() const { return m_dataset; }
    void setDataset(Dataset* dataset) { m_dataset = dataset; }
    Dataset::State state() const { return m_dataset ? m_dataset->state() : Dataset::State::Inactive; }
    bool editing() const { return m_dataset && m_dataset->Editing(); }

private:
    Dataset* m_dataset;
};

// Before the first and after the last record at once.
bool IsEmpty(const Dataset& query);

// Puts the dataset into edit mode unless the source is already editing or inserting.
void EnsureEditing(const DataSource& source, Dataset& dataset);

// Stores the current record when the source is editing or inserting.
void PostIfEditing(const DataSource& source, Dataset& query);

// Reopens and moves back to the record whose Id was current; the display
// follows only once, at the end. A row gone meanwhile leaves the first row.
void ReopenKeepingRecord(Dataset& query);

// Makes the statement the query's whole text, runs it and closes the query.
// A failure raises to the caller.
void ExecSql(Dataset& query, const QString& statement);

// Index of the first line holding the keyword (upper case, anywhere in the
// line); -1 when none does. An empty text answers -1.
int FindFromLine(const QStringList& sql);
int FindWhereLine(const QStringList& sql);
int FindHavingLine(const QStringList& sql);
int FindOrderByLine(const QStringList& sql);

// Replaces the line holding WHERE (or appends one when none) by whereLine.
void ReplaceWhereLine(QStringList& sql, const QString& whereLine);

// Builds a query text from a template file (see the report SQL templates).
// Throws DbError when the template cannot be read or lacks a line a given
// text needs.
QString BuildQueryFromTemplate(const QString& templateFile, bool dropFirstLine, const QString& fromText,
                               const QString& whereText, const QString& havingText, const QString& orderByText);

}  // namespace db
