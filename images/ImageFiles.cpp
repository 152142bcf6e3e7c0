#include "images/ImageFiles.h"

#include <QFile>

namespace images {

bool DeleteImageFile(const QString& fileName)
{
    if (!QFile::exists(fileName))
        return true;
    return QFile::remove(fileName);
}

}  // namespace images
