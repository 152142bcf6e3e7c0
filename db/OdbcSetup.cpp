#include "db/OdbcSetup.h"

#include <odbcinst.h>

namespace db {

bool RegisterOdbcDataSource(const QString& name, const QString& driver, const QString& databaseFile)
{
    const QByteArray n = name.toUtf8();
    const QByteArray d = driver.toUtf8();
    const QByteArray f = databaseFile.toUtf8();
    SQLSetConfigMode(ODBC_USER_DSN);
    bool ok = SQLWriteDSNToIni(n.constData(), d.constData());
    ok = ok && SQLWritePrivateProfileString(n.constData(), "Database", f.constData(), "odbc.ini");
    SQLSetConfigMode(ODBC_BOTH_DSN);
    return ok;
}

}  // namespace db
