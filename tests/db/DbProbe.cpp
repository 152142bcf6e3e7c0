// Runs one data-layer operation in its own process, so that tests can kill
// it at chosen points: db_probe compact-in-place FILE | compact FILE TARGET
#include "db/Compaction.h"
#include "db/DbError.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        if (argc == 3 && std::strcmp(argv[1], "compact-in-place") == 0) {
            db::CompactInPlace(QString::fromLocal8Bit(argv[2]));
            return 0;
        }
        if (argc == 4 && std::strcmp(argv[1], "compact") == 0) {
            db::CompactDatabaseFile(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
            return 0;
        }
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: db_probe compact-in-place FILE | compact FILE TARGET\n");
    return 2;
}
