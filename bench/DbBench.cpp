// Data-layer speed: opening and walking a large PEOPLE result, posting one
// edited row, compacting a large database file.
#include "core/Globals.h"
#include "db/Compaction.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

namespace {

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString peopleDb()
{
    static QString path = [] {
        const QString p = workDir().path() + QStringLiteral("/people.mdb");
        db::CreateDatabaseFile(p);
        db::Connection c;
        c.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + p);
        c.open();
        c.beginTransaction();
        for (int i = 0; i < 10000; ++i) {
            c.exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name, Function, City, Country, Phone, Email, "
                                  "Remark1, PenColor, BrushColor, BrushStyle) VALUES (1, ?, 'Technicien', 'Lyon', "
                                  "'France', '04 72 00 00 00', 'x@example.org', 'Notes', 255, 65280, 3)"),
                   {QStringLiteral("Personne %1").arg(i, 5, 10, QLatin1Char('0'))});
        }
        c.commit();
        return p;
    }();
    return path;
}

void BM_OpenWalkPeople10k(benchmark::State& state)
{
    db::Connection c;
    c.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + peopleDb());
    c.open();
    db::Dataset people(&c);
    people.setSQL({QStringLiteral("SELECT *"), QStringLiteral("FROM PEOPLE"), QStringLiteral("WHERE ID_FILE=1"),
                   QStringLiteral("ORDER BY Name")});
    for (auto _ : state) {
        people.Open();
        qint64 sum = 0;
        while (!people.Eof()) {
            sum += people.FieldByName(QStringLiteral("Name")).AsString().size();
            people.Next();
        }
        benchmark::DoNotOptimize(sum);
        people.Close();
    }
}
BENCHMARK(BM_OpenWalkPeople10k)->Unit(benchmark::kMillisecond);

void BM_PostEditedRow(benchmark::State& state)
{
    db::Connection c;
    c.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + peopleDb());
    c.open();
    db::Dataset people(&c);
    people.setSQL({QStringLiteral("SELECT *"), QStringLiteral("FROM PEOPLE"), QStringLiteral("WHERE Id=5000")});
    people.Open();
    int n = 0;
    for (auto _ : state) {
        people.Edit();
        people.FieldByName(QStringLiteral("City")).SetValue(QStringLiteral("Ville %1").arg(++n));
        people.Post();
    }
}
BENCHMARK(BM_PostEditedRow)->Unit(benchmark::kMicrosecond);

QString bigDb()
{
    static QString path = [] {
        const QString p = workDir().path() + QStringLiteral("/big.mdb");
        db::CreateDatabaseFile(p);
        sqlite3* h = nullptr;
        sqlite3_open(QFile::encodeName(p).constData(), &h);
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(
            h, "INSERT INTO DOCUMENTIMG (Id_File, Id_Ref, DoType, Title, ImgMini) VALUES (1, ?1, 1, 'Doc', ?2)", -1,
            &st, nullptr);
        QByteArray blob(64 * 1024, 'x');
        for (int i = 0; i < 250 * 16; ++i) {  // 250 MB of thumbnails
            blob[i % blob.size()] = static_cast<char>(i);
            sqlite3_bind_int(st, 1, i);
            sqlite3_bind_blob(st, 2, blob.constData(), static_cast<int>(blob.size()), SQLITE_STATIC);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        // Free pages scattered through the file give the compaction work to do.
        sqlite3_exec(h, "DELETE FROM DOCUMENTIMG WHERE Id % 10 = 0", nullptr, nullptr, nullptr);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(h);
        return p;
    }();
    return path;
}

// The reference: the sqlite3 shell's VACUUM INTO on the same file.
void BM_SqliteShellVacuumInto(benchmark::State& state)
{
    const QString target = workDir().path() + QStringLiteral("/shell-copy.mdb");
    bigDb();
    for (auto _ : state) {
        QFile::remove(target);
        QProcess::execute(QStringLiteral("sqlite3"), {bigDb(), QStringLiteral("VACUUM INTO '%1'").arg(target)});
    }
}
BENCHMARK(BM_SqliteShellVacuumInto)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CompactDatabaseFile250MB(benchmark::State& state)
{
    const QString target = workDir().path() + QStringLiteral("/compacted.mdb");
    bigDb();
    for (auto _ : state)
        db::CompactDatabaseFile(bigDb(), target);
}
BENCHMARK(BM_CompactDatabaseFile250MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
