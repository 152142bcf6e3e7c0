// Attached documents: storing a 100 MB file against gcab on the same file in
// the same run, and filling the "Documents" page of a well-stocked person.
#include "core/Globals.h"
#include "db/Schema.h"
#include "db/TDataModule1.h"
#include "images/ImageRoutines.h"
#include "records/DocumentStore.h"
#include "records/DocumentsPage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

constexpr qint64 kBigFileBytes = 100LL * 1000 * 1000;

QString benchRoot()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/documents-bench-data/");
}

// The data directory with an empty database and the data module on it.
db::TDataModule1& dataModule()
{
    static std::unique_ptr<db::TDataModule1> dm = [] {
        core::Globals& g = core::globals();
        g.dataDir = benchRoot() + QStringLiteral("Data/");
        QDir(g.dataDir).removeRecursively();
        for (const char* d : {"Access", "Images", "Files"})
            QDir().mkpath(g.dataDir + QString::fromLatin1(d));
        db::CreateDatabaseFile(g.dataDir + QStringLiteral("Access/PLANNING.MDB"));
        auto m = std::make_unique<db::TDataModule1>();
        m->OpenMainConnection();
        return m;
    }();
    return *dm;
}

// Office-like content: words from a small vocabulary, as compressible as text.
QString bigFile()
{
    static const QString path = [] {
        const QString p = benchRoot() + QStringLiteral("rapport.txt");
        if (QFileInfo(p).size() == kBigFileBytes)
            return p;
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly))
            return p;
        static const char* const words[] = {"planning ", "projet ", "personne ",  "dossier ", "janvier ", "2026 ",
                                            "réunion ",  "budget ", "livraison ", "équipe ",  "\r\n",     "note "};
        QRandomGenerator gen(7);
        QByteArray chunk;
        qint64 written = 0;
        while (written < kBigFileBytes) {
            chunk.clear();
            while (chunk.size() < (1 << 20))
                chunk += words[gen.bounded(12)];
            chunk.truncate(static_cast<int>(qMin<qint64>(chunk.size(), kBigFileBytes - written)));
            written += f.write(chunk);
        }
        return p;
    }();
    return path;
}

void BM_GcabBaseline100MB(benchmark::State& state)
{
    const QString source = bigFile();
    const QString out = benchRoot() + QStringLiteral("gcab.cab");
    for (auto _ : state) {
        QProcess p;
        p.setWorkingDirectory(benchRoot());
        p.start(QStringLiteral("gcab"), {QStringLiteral("-c"), QStringLiteral("-z"), out, source});
        if (!p.waitForFinished(-1) || p.exitCode() != 0)
            state.SkipWithError("gcab failed");
    }
    QFile::remove(out);
}
BENCHMARK(BM_GcabBaseline100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_AttachFile100MB(benchmark::State& state)
{
    db::TDataModule1& dm = dataModule();
    const records::ChosenFile chosen = records::ReadChosenFile(bigFile());
    records::DocumentStore store(dm, db::kOwnerPerson);
    store.OpenDocumentFiles(1);
    for (auto _ : state) {
        store.AttachFile(1, 1, chosen);
        state.PauseTiming();
        store.RemoveCurrentFile();
        state.ResumeTiming();
    }
    store.CloseDocumentFiles();
}
BENCHMARK(BM_AttachFile100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Person 2 with 200 image documents and 200 files, inserted once.
void stockPerson()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    db::TDataModule1& dm = dataModule();
    QImage picture(400, 300, QImage::Format_RGB888);
    picture.fill(QColor(40, 90, 160));
    const QByteArray thumb = images::BitmapFileBytes(images::MakeThumbnail(picture, 90, 90));
    QImage iconImage(32, 32, QImage::Format_RGB888);
    iconImage.fill(Qt::white);
    const QByteArray icon = images::BitmapFileBytes(iconImage);
    db::Transaction t(dm.ADOConnection1);
    for (int i = 0; i < 200; ++i) {
        dm.ADOConnection1.exec(
            QStringLiteral("INSERT INTO DOCUMENTIMG (Id_Ref, DoType, Title, ImgMini) VALUES (2, 1, ?, ?)"),
            {QStringLiteral("Document %1").arg(i), thumb});
        dm.ADOConnection1.exec(QStringLiteral("INSERT INTO DOCUMENTFILE (Id_File, Id_Ref, DoType, FileName, FileType, "
                                              "FileSize, Remark, FileIcon) VALUES (1, 2, 1, ?, ?, ?, '', ?)"),
                               {QStringLiteral("fichier%1.pdf").arg(i), QStringLiteral("Document PDF"),
                                QStringLiteral("%1 Ko").arg(i * 13), icon});
    }
    t.commit();
}

void BM_DocumentListOpen(benchmark::State& state)
{
    stockPerson();
    db::TDataModule1& dm = dataModule();
    for (auto _ : state) {
        records::DocumentsPage page(
            dm, db::kOwnerPerson, [] { return 2; }, [] { return 1; }, nullptr);
        page.OpenDocumentFiles();
        page.LoadDocumentImages();
        benchmark::DoNotOptimize(page.ListView_Document_Img);
        state.PauseTiming();
        if (page.ListView_Document_Img->count() != 200)
            state.SkipWithError("the image list is incomplete");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DocumentListOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDir().mkpath(benchRoot());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
