// The large dossier: 500 persons, 200 projects, every half-day of every
// person assigned from 2016 to 2025 (3.65 million rows). Built once and kept
// beside the benchmarks for later runs.
#include "BigDossierFixture.h"

#include "db/Schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>

#include <sqlite3.h>

namespace {

constexpr int kPersons = 500;
constexpr int kProjects = 200;

}  // namespace

QString BigDossierFixturePath()
{
    static const QString path = [] {
        const QString p = QCoreApplication::applicationDirPath() + QStringLiteral("/planning-fixture-v2.mdb");
        if (QFile::exists(p))
            return p;
        const QString part = p + QStringLiteral(".building");
        QFile::remove(part);
        db::CreateDatabaseFile(part);
        sqlite3* h = nullptr;
        sqlite3_open(QFile::encodeName(part).constData(), &h);
        sqlite3_exec(h, "PRAGMA synchronous=OFF; PRAGMA journal_mode=OFF; BEGIN", nullptr, nullptr, nullptr);
        sqlite3_exec(h, "INSERT INTO PROFILES (ID, LoginName, PlanningMode) VALUES (1, 'Grand dossier', 0)", nullptr,
                     nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h,
                           "INSERT INTO PEOPLE (Id, Id_File, Name, PenColor, BrushColor, BrushStyle) VALUES (?1, 1, "
                           "'Personne ' || ?1, ?2, 0, ?1 % 8)",
                           -1, &st, nullptr);
        for (int i = 1; i <= kPersons; ++i) {
            sqlite3_bind_int(st, 1, i);
            sqlite3_bind_int(st, 2, (i * 2654435) & 0xFFFFFF);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_prepare_v2(h,
                           "INSERT INTO PROJECT (Id, Id_File, Title, PenColor, BrushColor, BrushStyle) VALUES (?1, 1, "
                           "'Projet ' || ?1, ?2, 16777215, ?1 % 8)",
                           -1, &st, nullptr);
        for (int i = 1; i <= kProjects; ++i) {
            sqlite3_bind_int(st, 1, i);
            sqlite3_bind_int(st, 2, (i * 7919 * 977) & 0xFFFFFF);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        // Without the indexes while filling, then built once.
        sqlite3_exec(h, "DROP INDEX IX_PLANNING_PEOPLE; DROP INDEX IX_PLANNING_PROJECT; DROP INDEX IX_PLANNING_MONTH",
                     nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(h, "INSERT INTO PLANNING VALUES (1, ?1, ?2, ?3, ?4)", -1, &st, nullptr);
        for (QDate d(2016, 1, 1); d < QDate(2026, 1, 1); d = d.addDays(1)) {
            const QByteArray date = d.toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
            for (int person = 1; person <= kPersons; ++person) {
                for (int half = 1; half <= 2; ++half) {
                    sqlite3_bind_int(st, 1, person);
                    sqlite3_bind_int(st, 2, (person + d.day() + half) % kProjects + 1);
                    sqlite3_bind_text(st, 3, date.constData(), static_cast<int>(date.size()), SQLITE_STATIC);
                    sqlite3_bind_int(st, 4, half);
                    sqlite3_step(st);
                    sqlite3_reset(st);
                }
            }
        }
        sqlite3_finalize(st);
        sqlite3_exec(h,
                     "CREATE INDEX IX_PLANNING_PEOPLE ON PLANNING (Id_File, Id_People, DatePlanning);"
                     "CREATE INDEX IX_PLANNING_PROJECT ON PLANNING (Id_File, Id_Project, DatePlanning);"
                     "CREATE INDEX IX_PLANNING_MONTH ON PLANNING (Id_File, DatePlanning, AmPm, Id_People, Id_Project);"
                     "COMMIT; ANALYZE;"
                     "PRAGMA journal_mode=DELETE",
                     nullptr, nullptr, nullptr);
        sqlite3_close(h);
        QFile::rename(part, p);
        return p;
    }();
    return path;
}
