// Writes the empty database of the installation: make_template_db <file> [version]
#include "db/DbError.h"
#include "db/Schema.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_template_db FILE [VERSION]\n");
        return 2;
    }
    try {
        const QString version = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString::fromLatin1(db::kDatabaseVersion);
        db::CreateDatabaseFile(QString::fromLocal8Bit(argv[1]), version);
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "make_template_db: %s\n", e.what());
        return 1;
    }
    return 0;
}
