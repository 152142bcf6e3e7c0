#include "core/SaveFile.h"

#include <QSaveFile>

namespace core {

bool saveFileAtomically(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // QSaveFile may report success after a short write on a full disk, so
    // every write is checked and the file abandoned when one falls short.
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0) {
            if (error)
                *error = file.errorString();
            file.cancelWriting();
            return false;
        }
        done += n;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace core
