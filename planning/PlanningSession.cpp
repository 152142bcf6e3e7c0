#include "planning/PlanningSession.h"

#include "db/Dataset.h"
#include "images/ImageRoutines.h"

namespace planning {

EntryList ReadEntryList(db::Dataset& q, int dossierId, bool persons, const QImage& defaultPicture, int idToSelect,
                        int* indexOfId)
{
    EntryList list;
    int index = 0;
    q.Close();
    q.clearBindings();
    q.setSQL({persons ? QStringLiteral("SELECT * FROM PEOPLE WHERE ID_FILE=%1 ORDER BY NAME").arg(dossierId)
                      : QStringLiteral("SELECT * FROM PROJECT WHERE ID_FILE=%1 ORDER BY TITLE").arg(dossierId)});
    q.Open();
    for (; !q.Eof(); q.Next()) {
        const int id = q.FieldByName(QStringLiteral("ID")).AsInteger();
        list.entries << MakeEntry(
            id, static_cast<quint32>(q.FieldByName(QStringLiteral("PenColor")).AsInteger()),
            static_cast<quint32>(q.FieldByName(QStringLiteral("BrushColor")).AsInteger()),
            q.FieldByName(QStringLiteral("BrushStyle")).AsInteger(),
            q.FieldByName(persons ? QStringLiteral("Name") : QStringLiteral("Title")).AsString(),
            q.FieldByName(persons ? QStringLiteral("Function") : QStringLiteral("ShortDescription")).AsString());
        QImage picture = images::ImageFromBlob(q.FieldByName(QStringLiteral("IMGMINI1")).AsBlob());
        if (picture.isNull() || picture.width() == 0)
            picture = defaultPicture;
        list.thumbnails.push_back(images::FitBitmapInto(picture, 35, 35));
        if (id == idToSelect)
            index = static_cast<int>(list.entries.size()) - 1;
    }
    q.Close();
    if (indexOfId)
        *indexOfId = index;
    return list;
}

}  // namespace planning
