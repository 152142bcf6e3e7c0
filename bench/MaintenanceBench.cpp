// Backup and restore of the large dossier with 500 photos of 200 KB, each
// against libgcab's own tool on the same files in the same run. Compaction
// is left out of both sides of the backup.
#include "BigDossierFixture.h"
#include "archive/Cabinet.h"
#include "maintenance/Backup.h"
#include "maintenance/Restore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <sys/stat.h>

namespace {

constexpr int kPhotos = 500;
constexpr int kPhotoBytes = 200 * 1024;

QString benchRoot()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/maintenance-bench-data/");
}

maintenance::DataPaths paths()
{
    const QString root = benchRoot() + QStringLiteral("root/");
    return {root + QStringLiteral("Data/Access/PLANNING.MDB"), root + QStringLiteral("Data/"),
            root + QStringLiteral("Backup/")};
}

// The data root: the fixture's database and the photos (random bytes, as
// incompressible as JPEG data). Built once.
const maintenance::DataPaths& dataRoot()
{
    static const maintenance::DataPaths p = [] {
        const maintenance::DataPaths d = paths();
        QDir().mkpath(d.dataDir + QStringLiteral("Access"));
        QDir().mkpath(d.dataDir + QStringLiteral("Images"));
        QDir().mkpath(d.dataDir + QStringLiteral("Files"));
        QDir().mkpath(d.backupDir);
        if (!QFile::exists(d.databasePath))
            QFile::copy(BigDossierFixturePath(), d.databasePath);
        QRandomGenerator gen(42);
        QByteArray photo(kPhotoBytes, Qt::Uninitialized);
        for (int i = 1; i <= kPhotos; ++i) {
            QFile f(d.dataDir + QStringLiteral("Images/People%1.jpg").arg(i));
            if (f.exists())
                continue;
            gen.fillRange(reinterpret_cast<quint32*>(photo.data()), photo.size() / 4);
            if (f.open(QIODevice::WriteOnly))
                f.write(photo);
        }
        return d;
    }();
    return p;
}

QString archivePath()
{
    return benchRoot() + QStringLiteral("big.bkp");
}

void runTool(benchmark::State& state, const QString& dir, const QStringList& args)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(QStringLiteral("gcab"), args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        state.SkipWithError("gcab failed");
}

void BM_GcabBaseline(benchmark::State& state)
{
    const maintenance::DataPaths& d = dataRoot();
    QStringList args{QStringLiteral("-c"), QStringLiteral("-n"), QStringLiteral("-z"),
                     benchRoot() + QStringLiteral("gcab.cab")};
    args << maintenance::BackupFileList(d);
    for (auto _ : state)
        runTool(state, benchRoot(), args);
    QFile::remove(benchRoot() + QStringLiteral("gcab.cab"));
}
BENCHMARK(BM_GcabBaseline)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Archive written, read back and moved over the target, as the command does
// after compacting.
void BM_BackupBigDossier(benchmark::State& state)
{
    const maintenance::DataPaths& d = dataRoot();
    for (auto _ : state) {
        maintenance::WriteBackupArchive(maintenance::BackupFileList(d), d, archivePath(),
                                        [](const archive::Progress&) {});
    }
}
BENCHMARK(BM_BackupBigDossier)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_GcabExtractBaseline(benchmark::State& state)
{
    dataRoot();
    if (!QFile::exists(archivePath()))
        maintenance::WriteBackupArchive(maintenance::BackupFileList(dataRoot()), dataRoot(), archivePath());
    const QString out = benchRoot() + QStringLiteral("gcab-x/");
    for (auto _ : state) {
        state.PauseTiming();
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        state.ResumeTiming();
        runTool(state, benchRoot(), {QStringLiteral("-x"), QStringLiteral("-C"), out, archivePath()});
    }
    QDir(out).removeRecursively();
}
BENCHMARK(BM_GcabExtractBaseline)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Unpacking, checks and swap; the archive of the replaced data is timed on
// its own below.
void BM_RestoreBigDossier(benchmark::State& state)
{
    dataRoot();
    if (!QFile::exists(archivePath()))
        maintenance::WriteBackupArchive(maintenance::BackupFileList(dataRoot()), dataRoot(), archivePath());
    maintenance::RestoreOptions options;
    options.keepReplacedData = state.range(0) != 0;
    for (auto _ : state) {
        const maintenance::RestoreOutcome o = maintenance::RestoreArchive(archivePath(), dataRoot(), {}, options);
        state.PauseTiming();
        // The replaced data is deleted in the background once the restore
        // has returned, as gcab's output is deleted untimed above.
        maintenance::FinishBackgroundRemoval();
        if (!o.safetyArchive.isEmpty())
            QFile::remove(o.safetyArchive);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RestoreBigDossier)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_RestoreBigDossier)
    ->Arg(1)
    ->Name("BM_RestoreBigDossierWithSafetyArchive")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
