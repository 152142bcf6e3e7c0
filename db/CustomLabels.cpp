#include "db/CustomLabels.h"

#include "db/Dataset.h"
#include "db/QueryHelpers.h"

namespace db {

namespace {

void openRow(Dataset& labels, int dossierId)
{
    labels.setSQL({QStringLiteral("SELECT * FROM CustomLab WHERE Id_File=%1").arg(dossierId)});
    labels.Open();
}

}  // namespace

QStringList ReadCustomLabels(Connection& connection, int dossierId, bool persons)
{
    Dataset labels(&connection);
    openRow(labels, dossierId);
    if (IsEmpty(labels)) {
        labels.Append();
        labels.FieldByName(QStringLiteral("Id_File")).SetValue(dossierId);
        labels.Post();
    }
    const QString prefix = persons ? QStringLiteral("People_Misc") : QStringLiteral("Project_Misc");
    QStringList captions;
    for (int i = 1; i <= 7; ++i)
        captions << labels.FieldByName(prefix + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'))).AsString();
    labels.Close();
    return captions;
}

void WriteCustomLabel(Connection& connection, int dossierId, const QString& column, const QString& text)
{
    Dataset labels(&connection);
    openRow(labels, dossierId);
    if (IsEmpty(labels)) {
        labels.Append();
        labels.FieldByName(QStringLiteral("Id_File")).SetValue(dossierId);
    } else {
        labels.Edit();
    }
    labels.FieldByName(column).SetValue(text);
    labels.Post();
    labels.Close();
}

}  // namespace db
