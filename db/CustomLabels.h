#pragma once

#include <QString>
#include <QStringList>

namespace db {

class Connection;

// The seven captions of a dossier's custom fields, People_Misc01..07 for
// persons or Project_Misc01..07 for projects. The dossier's CustomLab row is
// created when it has none. Throws DbError.
QStringList ReadCustomLabels(Connection& connection, int dossierId, bool persons);

// Stores one caption in its column (People_Misc03 ...), creating the row
// when missing. Throws DbError.
void WriteCustomLabel(Connection& connection, int dossierId, const QString& column, const QString& text);

}  // namespace db
