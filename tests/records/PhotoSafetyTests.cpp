#include "core/Globals.h"
#include "db/DbError.h"
#include "db/Schema.h"
#include "db/TDataModule1.h"
#include "images/ImageRoutines.h"
#include "records/PhotoStorage.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Faults.h"
#include "../support/Sandbox.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

using namespace records;
using testing_support::Sandbox;

namespace {

// What a person's photo is made of: the full-size file and the thumbnail.
struct PhotoState {
    bool fileExists = false;
    QByteArray file;
    QByteArray thumbnail;
    bool operator==(const PhotoState& o) const
    {
        return fileExists == o.fileExists && file == o.file && thumbnail == o.thumbnail;
    }
};

QString fixture(const char* name)
{
    return QStringLiteral(PLANNING_SOURCE_DIR "/tests/images/fixtures/") + QString::fromLatin1(name);
}

// A picture whose JPEG does not compress to nothing.
QImage noisePicture(int w, int h, int seed)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, QColor((x * 37 + y * 11 + seed) % 256, (x * y + seed) % 256, (x ^ y) % 256));
    return img;
}

class PhotoSafetyTest : public ::testing::Test {
protected:
    void SetUp() override { sandbox = std::make_unique<Sandbox>(false); }
    void TearDown() override
    {
        dm.reset();
        disk.reset();
        sandbox.reset();
    }

    // A dossier with one person whose photo is already stored, under dataDir.
    void makeWorld(const QString& dataDir)
    {
        core::Globals& g = core::globals();
        g.dataDir = dataDir;
        for (const char* d : {"Access", "Images", "Files"})
            QDir().mkpath(g.dataDir + QString::fromLatin1(d));
        db::CreateDatabaseFile(g.dataDir + QStringLiteral("Access/PLANNING.MDB"));
        dm = std::make_unique<db::TDataModule1>();
        ASSERT_EQ(dm->OpenMainConnection(), QString());
        dm->setDossierSource([] { return 3; });
        dm->People.SQL()[2] = QStringLiteral("WHERE ID_FILE=3");
        dm->People.Open();
        dm->People.Insert();
        dm->People.FieldByName(QStringLiteral("Name")).SetValue(QStringLiteral("Alice"));
        dm->People.Post();
        id = dm->People.FieldByName(QStringLiteral("Id")).AsInteger();
        photo = g.dataDir + QStringLiteral("Images/People%1.jpg").arg(id);
        dm->People.Edit();
        const QString first = sandbox->root() + QStringLiteral("first.jpg");
        images::SaveBitmapAsJpeg(noisePicture(120, 90, 1), first, 90);
        store(first);
        oldState = state();
        ASSERT_TRUE(oldState.fileExists);
    }

    void store(const QString& source)
    {
        StorePhotoFromFile(dm->DSPeople, dm->People, QStringLiteral("ImgMini1"), 105, 105, source, photo);
    }

    // Read from the database file, not from the dataset's buffer.
    PhotoState state()
    {
        PhotoState s;
        s.fileExists = QFile::exists(photo);
        s.file = s.fileExists ? Sandbox::readFile(photo) : QByteArray();
        db::Connection c;
        c.setConnectionString(QStringLiteral("Provider=x;Data Source=") + core::globals().dataDir
                              + QStringLiteral("Access/PLANNING.MDB"));
        c.open();
        s.thumbnail = c.scalar(QStringLiteral("SELECT ImgMini1 FROM PEOPLE WHERE Id=?"), {id})->toByteArray();
        return s;
    }

    // Files in Images beside the photos themselves.
    QStringList leftovers()
    {
        QStringList names = QDir(core::globals().dataDir + QStringLiteral("Images")).entryList(QDir::Files);
        names.removeAll(QStringLiteral("People%1.jpg").arg(id));
        return names;
    }

    std::unique_ptr<Sandbox> sandbox;
    std::unique_ptr<testing_support::SmallDisk> disk;
    std::unique_ptr<db::TDataModule1> dm;
    ui::ScriptedPrompt prompt;
    int id = -1;
    QString photo;
    PhotoState oldState;
};

}  // namespace

TEST_F(PhotoSafetyTest, HostilePicturesChangeNothing)
{
    makeWorld(sandbox->root() + QStringLiteral("Data/"));
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"empty.jpg", "n'est pas une image lisible"},     {"not-an-image.jpg", "n'est pas une image lisible"},
        {"truncated.jpg", "incomplète ou endommagée"},    {"huge-header.jpg", "trop grande"},
        {"large-header.jpg", "incomplète ou endommagée"}, {"huge-header.bmp", "trop grande"},
    };
    for (const auto& c : cases) {
        dm->People.Edit();
        try {
            store(fixture(c.file));
            ADD_FAILURE() << c.file << " was stored";
        } catch (const images::ImageError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message))) << e.message().toStdString();
        }
        EXPECT_TRUE(dm->People.Editing()) << c.file;
        EXPECT_TRUE(state() == oldState) << c.file;
        EXPECT_EQ(leftovers(), QStringList()) << c.file;
    }
}

// The row is stored after the file is written: when that store fails, the
// old file and the old thumbnail stay, and the record is still editable.
TEST_F(PhotoSafetyTest, FailedRecordStoreKeepsTheOldPhoto)
{
    makeWorld(sandbox->root() + QStringLiteral("Data/"));
    const QString jpeg = sandbox->root() + QStringLiteral("new.jpg");
    images::SaveBitmapAsJpeg(noisePicture(200, 100, 2), jpeg, 90);
    const QString bmp = sandbox->root() + QStringLiteral("new.bmp");
    ASSERT_TRUE(noisePicture(90, 180, 3).save(bmp, "BMP"));
    for (const QString& source : {jpeg, bmp}) {
        int posts = 0;
        dm->People.BeforePost = [&posts](db::Dataset&) {
            if (++posts == 2)
                throw db::DbError(QStringLiteral("disk I/O error"));
        };
        dm->People.Edit();
        EXPECT_THROW(store(source), db::DbError);
        dm->People.BeforePost = nullptr;
        EXPECT_TRUE(state() == oldState);
        EXPECT_EQ(leftovers(), QStringList());
        EXPECT_TRUE(dm->People.Editing());
        EXPECT_EQ(dm->People.FieldByName(QStringLiteral("ImgMini1")).AsBlob(), oldState.thumbnail);
        // Confirming the dialog afterwards stores the old thumbnail, not a half change.
        dm->People.Post();
        EXPECT_TRUE(state() == oldState);
    }
    dm->People.Edit();
    store(jpeg);
    EXPECT_EQ(Sandbox::readFile(photo), Sandbox::readFile(jpeg));
    EXPECT_FALSE(state().thumbnail == oldState.thumbnail);
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(PhotoSafetyTest, TenThousandByFiveThousandBitmapIsStoredAtHalfSize)
{
    makeWorld(sandbox->root() + QStringLiteral("Data/"));
    const QString bmp = sandbox->root() + QStringLiteral("wide.bmp");
    {
        QImage wide(10000, 5000, QImage::Format_RGB888);
        wide.fill(QColor(30, 120, 200));
        ASSERT_TRUE(wide.save(bmp, "BMP"));
    }
    dm->People.Edit();
    store(bmp);
    EXPECT_EQ(QImageReader(photo).size(), QSize(5000, 2500));
    const QImage thumb = images::ImageFromBlob(state().thumbnail);
    EXPECT_EQ(thumb.size(), QSize(105, 105));
    EXPECT_EQ(thumb.pixelColor(50, 25), QColor(Qt::white));  // above the 105 × 52 picture
    EXPECT_EQ(thumb.pixelColor(50, 52), QColor(30, 120, 200));
}

// The data directory on a disk that fills up at any point: the old photo or
// the whole new one, and a failure reported as one.
TEST_F(PhotoSafetyTest, FullDiskKeepsOldOrNew)
{
    disk = std::make_unique<testing_support::SmallDisk>(sandbox->root() + QStringLiteral("Data"), 4 * 1024 * 1024);
    if (!disk->mounted())
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    makeWorld(disk->directory() + QStringLiteral("/"));
    const QString jpeg = sandbox->root() + QStringLiteral("new.jpg");
    images::SaveBitmapAsJpeg(noisePicture(400, 300, 4), jpeg, 100);
    const QString bmp = sandbox->root() + QStringLiteral("new.bmp");
    ASSERT_TRUE(noisePicture(300, 400, 5).save(bmp, "BMP"));
    int refused = 0;
    int stored = 0;
    for (const QString& source : {jpeg, bmp}) {
        for (int pages = 0; pages <= 90; pages += 6) {
            // Back to the old photo, then fill the disk.
            dm->People.Close();
            disk->removeFiller();
            dm->People.Open();
            dm->People.Locate(QStringLiteral("Id"), id);
            dm->People.Edit();
            store(fixture("small.jpg"));
            dm->People.Edit();
            store(sandbox->root() + QStringLiteral("first.jpg"));
            ASSERT_TRUE(state() == oldState);
            disk->fillLeaving(pages * 4096);
            dm->People.Edit();
            bool ok = true;
            try {
                store(source);
            } catch (const images::ImageError& e) {
                ok = false;
                EXPECT_TRUE(e.message().startsWith(QStringLiteral("L'image n'a pas pu être enregistrée")))
                    << e.message().toStdString();
            } catch (const db::DbError&) {
                ok = false;
            }
            const PhotoState now = state();
            if (ok) {
                ++stored;
                EXPECT_FALSE(now.thumbnail == oldState.thumbnail) << pages;
                EXPECT_EQ(QImageReader(photo).size(), source == jpeg ? QSize(400, 300) : QSize(300, 400)) << pages;
            } else {
                ++refused;
                EXPECT_TRUE(now == oldState) << pages << " free pages";
                EXPECT_TRUE(dm->People.Editing());
            }
            EXPECT_EQ(leftovers(), QStringList()) << pages;
            dm->People.Cancel();
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(stored, 0);
}

// A photo change killed at every write, sync, rename and removal, then the
// start's recovery: the old photo or the new one, never a mix.
TEST_F(PhotoSafetyTest, KilledAtEveryWriteLeavesOldOrNew)
{
    const QString dataDir = sandbox->root() + QStringLiteral("Data/");
    makeWorld(dataDir);
    dm.reset();
    const QString pristine = sandbox->root() + QStringLiteral("pristine/");
    QDir().mkpath(pristine);
    QFile::copy(dataDir + QStringLiteral("Access/PLANNING.MDB"), pristine + QStringLiteral("PLANNING.MDB"));
    QFile::copy(photo, pristine + QStringLiteral("photo.jpg"));
    auto restore = [&] {
        for (const QString& f : QDir(dataDir + QStringLiteral("Images")).entryList(QDir::Files))
            QFile::remove(dataDir + QStringLiteral("Images/") + f);
        for (const QString& f : QDir(dataDir + QStringLiteral("Access")).entryList(QDir::Files))
            QFile::remove(dataDir + QStringLiteral("Access/") + f);
        QFile::copy(pristine + QStringLiteral("PLANNING.MDB"), dataDir + QStringLiteral("Access/PLANNING.MDB"));
        QFile::copy(pristine + QStringLiteral("photo.jpg"), photo);
    };
    const QString probe = QStringLiteral(RECORDS_PROBE);
    const QString jpeg = sandbox->root() + QStringLiteral("new.jpg");
    images::SaveBitmapAsJpeg(noisePicture(150, 100, 6), jpeg, 90);
    const QString bmp = sandbox->root() + QStringLiteral("new.bmp");
    ASSERT_TRUE(noisePicture(100, 150, 7).save(bmp, "BMP"));
    for (const QString& source : {jpeg, bmp}) {
        const QStringList args{QStringLiteral("store-photo"), dataDir, QString::number(id), source};
        // The new state, from a run left alone.
        restore();
        ASSERT_TRUE(testing_support::runProgram(probe, args));
        const PhotoState newState = state();
        ASSERT_FALSE(newState == oldState);
        int newAfterKill = 0;
        const auto kills = testing_support::killAtEveryCall(
            probe, args, testing_support::fileWritingCalls(), restore, [&](const QString& call, int n) {
                // What the next start does first.
                {
                    db::Connection c;
                    c.setConnectionString(QStringLiteral("Provider=x;Data Source=") + dataDir
                                          + QStringLiteral("Access/PLANNING.MDB"));
                    c.open();
                    FinishInterruptedPhotoChanges(c, dataDir + QStringLiteral("Images/"));
                }
                const PhotoState now = state();
                EXPECT_TRUE(now == oldState || now == newState) << "killed at " << call.toStdString() << " " << n;
                if (now == newState)
                    ++newAfterKill;
                EXPECT_EQ(leftovers(), QStringList()) << "killed at " << call.toStdString() << " " << n;
            });
        if (!kills)
            GTEST_SKIP() << "strace is missing";
        restore();
        ASSERT_TRUE(testing_support::runProgram(probe, args));
        EXPECT_TRUE(state() == newState);
        EXPECT_GT(*kills, 5);
        EXPECT_GT(newAfterKill, 0);  // some kills fell after the commit, and recovery finished them
    }
}

TEST_F(PhotoSafetyTest, RecoveryFinishesOrUndoesPendingFiles)
{
    makeWorld(sandbox->root() + QStringLiteral("Data/"));
    const QString images = core::globals().dataDir + QStringLiteral("Images/");
    // A pending file whose thumbnail is in the row: the change went through.
    dm->People.Edit();
    const QString jpeg = sandbox->root() + QStringLiteral("next.jpg");
    images::SaveBitmapAsJpeg(noisePicture(64, 64, 8), jpeg, 90);
    store(jpeg);
    const PhotoState after = state();
    const QByteArray digest = QCryptographicHash::hash(after.thumbnail, QCryptographicHash::Sha1).toHex().left(16);
    QFile::rename(photo, photo + QLatin1Char('.') + QString::fromLatin1(digest) + QStringLiteral(".pending"));
    Sandbox::writeFile(photo, oldState.file);
    // One whose row never got its thumbnail, a cut copy and a stranger.
    Sandbox::writeFile(images + QStringLiteral("People%1.jpg.0123456789abcdef.pending").arg(id), "never stored");
    Sandbox::writeFile(images + QStringLiteral("Project77.jpg.0123456789abcdef.pending"), "row gone");
    Sandbox::writeFile(images + QStringLiteral("People%1.jpg.0123456789abcdef.pending.part").arg(id), "cut");
    Sandbox::writeFile(images + QStringLiteral("notes.txt"), "kept");
    FinishInterruptedPhotoChanges(dm->ADOConnection1, images);
    EXPECT_TRUE(state() == after);
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("notes.txt")});
}

TEST_F(PhotoSafetyTest, SaveCopyOntoTheStoredPictureOrOverAFileThatFailsKeepsBoth)
{
    makeWorld(sandbox->root() + QStringLiteral("Data/"));
    prompt.setNextFileName(photo);
    SaveImageCopyAs(photo, QStringLiteral("Alice.jpg"));
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_TRUE(state() == oldState);

    testing_support::SmallDisk full(sandbox->root() + QStringLiteral("usb"), 64 * 1024);
    if (!full.mounted())
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    const QString target = full.directory() + QStringLiteral("/Alice.jpg");
    Sandbox::writeFile(target, "an older copy");
    full.fillLeaving(0);
    prompt.setNextFileName(target);
    SaveImageCopyAs(photo, QStringLiteral("Alice.jpg"));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().first().text.startsWith(QStringLiteral("Impossible d'enregistrer la copie")));
    EXPECT_EQ(Sandbox::readFile(target), QByteArray("an older copy"));
    EXPECT_TRUE(state() == oldState);
}
