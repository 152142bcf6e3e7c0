#include "core/Globals.h"
#include "db/Schema.h"
#include "db/TDataModule1.h"
#include "images/ImageRoutines.h"
#include "records/DocumentStore.h"
#include "records/DocumentsPage.h"
#include "records/TEnterDocument.h"
#include "records/TEnterRecord.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Faults.h"
#include "../support/Sandbox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QUrl>

#include "../support/Cabextract.h"
#include "RecordsDbFixture.h"

#include <gtest/gtest.h>

using namespace records;
using testing_support::Sandbox;

namespace {

// Receives the files the shell would open.
class OpenedFiles : public QObject {
    Q_OBJECT
public:
    OpenedFiles() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedFiles() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList files;
public Q_SLOTS:
    void open(const QUrl& url) { files.append(url.toLocalFile()); }
};

using testing_support::CabextractAccepts;

class DocumentTest : public RecordsDbTest {
protected:
    QString file(const char* name, const QByteArray& bytes)
    {
        const QString path = sandbox->root() + QString::fromLatin1(name);
        Sandbox::writeFile(path, bytes);
        return path;
    }
    // A stored person, the people query on it in edit mode.
    int newPerson(const char* name)
    {
        dm->People.Open();
        dm->People.Insert();
        dm->People.FieldByName(QStringLiteral("Name")).SetValue(QString::fromLatin1(name));
        dm->People.Post();
        return dm->People.FieldByName(QStringLiteral("Id")).AsInteger();
    }
    QString filesDir() const { return core::globals().dataDir + QStringLiteral("Files/"); }

    ui::ScriptedPrompt prompt;
};

}  // namespace

TEST(DocumentNames, SizeTypeAndBareNames)
{
    const struct {
        qint64 bytes;
        const char* text;
    } sizes[] = {{0, "0 Ko"}, {999, "0 Ko"}, {1000, "1 Ko"}, {1'500'000, "1500 Ko"}};
    for (const auto& s : sizes)
        EXPECT_EQ(FileSizeText(s.bytes), QString::fromLatin1(s.text)) << s.bytes;
    EXPECT_EQ(FileTypeName(QStringLiteral("/x/plan.qzx7")), QStringLiteral("QZX7 file"));
    EXPECT_NE(FileTypeName(QStringLiteral("/x/a.pdf")), QStringLiteral("PDF file"));  // the system knows PDF
    const struct {
        const char* stored;
        const char* bare;
    } names[] = {{"rapport.pdf", "rapport.pdf"},
                 {"../../etc/passwd", "passwd"},
                 {"..\\..\\x.txt", "x.txt"},
                 {"..", "Document"},
                 {"a/", "Document"},
                 {"", "Document"}};
    for (const auto& n : names)
        EXPECT_EQ(BareDocumentName(QString::fromLatin1(n.stored)), QString::fromLatin1(n.bare)) << n.stored;
}

TEST_F(DocumentTest, FileRoundTripThroughThePage)
{
    const int id = newPerson("Alice");
    dm->People.Edit();
    QByteArray bytes;
    for (int i = 0; i < 50000; ++i)
        bytes += QByteArray::number(i * 7919 % 10007) + ' ';
    const QString source = file("devis.txt", bytes);
    OpenedFiles opened;
    {
        TEnterPeople dialog(dm->DSPeople, dm->People);
        DocumentsPage* page = dialog.documentsPage();
        ASSERT_NE(page, nullptr);
        auto* grid = page->Grid_Document_File;
        EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("Btn_Document_File_Exe"))->isEnabled());
        prompt.setNextFileName(source);
        page->Btn_Document_File_AddClick();
        ASSERT_TRUE(prompt.messages().isEmpty()) << prompt.messages().first().text.toStdString();
        ASSERT_EQ(grid->rowCount(), 1);
        EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral("devis.txt"));
        EXPECT_EQ(grid->item(0, 3)->text(), FileSizeText(bytes.size()));
        EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("Btn_Document_File_Exe"))->isEnabled());
        const int fileId = dm->DocumentFile.FieldByName(QStringLiteral("Id")).AsInteger();
        const QString archive = filesDir() + QStringLiteral("File%1.f").arg(fileId);
        ASSERT_TRUE(QFile::exists(archive));
        EXPECT_FALSE(QFile::exists(filesDir() + QStringLiteral("File.Tmp")));
        EXPECT_TRUE(CabextractAccepts(archive));

        // Opened: extracted read-only into the private folder, then handed to the shell.
        page->Btn_Document_File_ExeClick();
        ASSERT_EQ(opened.files.size(), 1);
        EXPECT_EQ(Sandbox::readFile(opened.files.first()), bytes);
        EXPECT_EQ(QFileInfo(opened.files.first()).fileName(), QStringLiteral("devis.txt"));
        EXPECT_FALSE(QFileInfo(opened.files.first()).permissions() & QFileDevice::WriteOwner);
        page->Btn_Document_File_ExeClick();  // the second opening replaces the first copy
        EXPECT_EQ(opened.files.size(), 2);

        // Saved elsewhere: asked before replacing; "Non" keeps the file there.
        const QString copy = file("copie.txt", "old");
        prompt.setNextFileName(copy);
        prompt.setNextAnswer(ui::Answer::No);
        page->Btn_Document_File_SaveClick();
        EXPECT_EQ(Sandbox::readFile(copy), QByteArray("old"));
        prompt.setNextFileName(copy);
        prompt.setNextAnswer(ui::Answer::Yes);
        page->Btn_Document_File_SaveClick();
        EXPECT_EQ(Sandbox::readFile(copy), bytes);
        // The second dialog opened where the first copy went.
        EXPECT_EQ(prompt.proposedFileNames().last(), QFileInfo(copy).absolutePath() + QStringLiteral("/devis.txt"));
        ASSERT_TRUE(prompt.messages().size() >= 2);
        EXPECT_TRUE(prompt.messages().last().text.startsWith(QStringLiteral("Souhaitez-vous remplacer le fichier ")));

        // The archive deleted by hand: the message, the row stays.
        QFile::rename(archive, archive + QStringLiteral(".x"));
        prompt.clear();
        page->Btn_Document_File_ExeClick();
        ASSERT_EQ(prompt.messages().size(), 1);
        EXPECT_TRUE(
            prompt.messages().first().text.startsWith(QStringLiteral("IMPOSSIBLE D'EXECUTER CE FICHIER !\r\r")));
        QFile::rename(archive + QStringLiteral(".x"), archive);

        // Removal asks first; "Non" keeps everything.
        prompt.setNextAnswer(ui::Answer::No);
        page->Btn_Document_File_DeleteClick();
        EXPECT_EQ(grid->rowCount(), 1);
        prompt.setNextAnswer(ui::Answer::Yes);
        page->Btn_Document_File_DeleteClick();
        EXPECT_EQ(grid->rowCount(), 0);
        EXPECT_FALSE(QFile::exists(archive));
        dialog.reject();  // the documents are stored at once and survive Annuler
    }
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTFILE WHERE Id_Ref=%1").arg(id)), 0);
}

TEST_F(DocumentTest, BadFilesStoreNothing)
{
    newPerson("Bob");
    dm->People.Edit();
    TEnterPeople dialog(dm->DSPeople, dm->People);
    DocumentsPage* page = dialog.documentsPage();
    // A file that does not exist.
    prompt.setNextFileName(sandbox->root() + QStringLiteral("absent.doc"));
    page->Btn_Document_File_AddClick();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().first().text, QStringLiteral("Fichier \"absent.doc\" introuvable."));
    // A file that cannot be read.
    const QString locked = file("secret.txt", "x");
    QFile::setPermissions(locked, {});
    if (!QFileInfo(locked).isReadable()) {
        prompt.setNextFileName(locked);
        page->Btn_Document_File_AddClick();
        EXPECT_EQ(prompt.messages().size(), 2);
    }
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTFILE")), 0);
    EXPECT_TRUE(QDir(filesDir()).entryList(QDir::Files).isEmpty());
}

TEST_F(DocumentTest, FullDiskStoresNeitherRowNorFile)
{
    testing_support::SmallDisk disk(filesDir(), 4 << 20);
    if (!disk.mounted())
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    const int id = newPerson("Carl");
    QByteArray noise(3 << 20, Qt::Uninitialized);
    quint32 x = 12345;
    for (char& c : noise)
        c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    const QString big = file("noise.bin", noise);
    disk.fillLeaving(1 << 20);
    DocumentStore store(*dm, db::kOwnerPerson);
    store.OpenDocumentFiles(id);
    EXPECT_THROW(store.AttachFile(3, id, ReadChosenFile(big)), DocumentError);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTFILE")), 0);
    disk.removeFiller();
    EXPECT_TRUE(QDir(filesDir()).entryList({QStringLiteral("File*")}, QDir::Files).isEmpty());
    // With room again the same file goes in whole.
    const int fileId = store.AttachFile(3, id, ReadChosenFile(big));
    EXPECT_TRUE(CabextractAccepts(filesDir() + QStringLiteral("File%1.f").arg(fileId)));
    store.CloseDocumentFiles();
}

// A name an archive entry may not hold (a backslash, a line break) is legal
// on this system: the file is packed under a safe name, opens and saves, and
// so does one stored under such a name by an earlier version.
TEST_F(DocumentTest, NamesWithBackslashesOrLineBreaksStayReadable)
{
    const int id = newPerson("Eve");
    DocumentStore store(*dm, db::kOwnerPerson);
    for (const char* name : {"rapport\\2009.pdf", "deux\nlignes.txt"}) {
        SCOPED_TRACE(name);
        store.OpenDocumentFiles(id);
        const ChosenFile chosen = ReadChosenFile(file(name, "contenu"));
        EXPECT_EQ(chosen.name, QString::fromUtf8(name));
        const int fileId = store.AttachFile(3, id, chosen);
        store.CloseDocumentFiles();
        const QString packed = filesDir() + QStringLiteral("File%1.f").arg(fileId);
        EXPECT_TRUE(CabextractAccepts(packed));
        EXPECT_EQ(Sandbox::readFile(ExtractForViewing(packed, chosen.name)), QByteArray("contenu"));
        const QString saved = sandbox->root() + QStringLiteral("enregistre.pdf");
        UnpackDocumentFile(packed, saved);
        EXPECT_EQ(Sandbox::readFile(saved), QByteArray("contenu"));
    }
    EXPECT_EQ(DocumentEntryName(QStringLiteral("a\\b/c\nd.pdf")), QStringLiteral("a_b_c_d.pdf"));
    EXPECT_EQ(DocumentEntryName(QStringLiteral("..")), QStringLiteral("Document"));

    // Stored by gcab under the bare, backslashed name.
    const QString old = sandbox->root() + QStringLiteral("ancien/");
    QDir().mkpath(old);
    Sandbox::writeFile(old + QStringLiteral("rapport\\2008.pdf"), "ancien contenu");
    QProcess gcab;
    gcab.setWorkingDirectory(old);
    gcab.start(QStringLiteral("gcab"),
               {QStringLiteral("-c"), QStringLiteral("-z"), old + QStringLiteral("File77.f"),
                QStringLiteral("rapport\\2008.pdf")});
    ASSERT_TRUE(gcab.waitForFinished(30000));
    ASSERT_EQ(gcab.exitCode(), 0);
    EXPECT_EQ(
        Sandbox::readFile(ExtractForViewing(old + QStringLiteral("File77.f"), QStringLiteral("rapport\\2008.pdf"))),
        QByteArray("ancien contenu"));
}

// Killed at every write, rename and flush: after the start-up's clean-up a
// document is stored whole with its row, or not at all.
TEST_F(DocumentTest, AttachKilledAtAnyPointLeavesRowAndFileTogether)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is missing";
    const int id = newPerson("Fay");
    dm->ADOConnection1.close();
    const QString source = file("piece.bin", QByteArray(300000, 'z'));
    const QString database = core::globals().dataDir + QStringLiteral("Access/PLANNING.MDB");
    const QString pristine = sandbox->root() + QStringLiteral("pristine.mdb");
    QFile::copy(database, pristine);
    int stored = 0;
    for (const char* call : {"write", "rename", "fsync", "unlink"}) {
        for (int n = 1; n < 300; ++n) {
            QFile::remove(database);
            QFile::copy(pristine, database);
            for (const QString& f : QDir(filesDir()).entryList(QDir::Files))
                QFile::remove(filesDir() + f);
            QProcess p;
            p.start(strace,
                    {QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-e"),
                     QStringLiteral("inject=%1:signal=SIGKILL:when=%2").arg(QLatin1String(call)).arg(n),
                     QStringLiteral(RECORDS_PROBE), QStringLiteral("attach-file"), core::globals().dataDir,
                     QString::number(id), source});
            ASSERT_TRUE(p.waitForFinished(60000));
            const bool finished = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
            QProcess recover;
            recover.start(QStringLiteral(RECORDS_PROBE), {QStringLiteral("recover"), core::globals().dataDir});
            ASSERT_TRUE(recover.waitForFinished(60000));
            ASSERT_EQ(recover.exitCode(), 0) << recover.readAllStandardError().toStdString();
            ASSERT_EQ(dm->OpenMainConnection(), QString());
            const int rows = count(QStringLiteral("SELECT count(*) FROM DOCUMENTFILE"));
            const QStringList files = QDir(filesDir()).entryList(QDir::Files);
            EXPECT_EQ(files.size(), rows) << call << " " << n << ": " << files.join(QLatin1Char(' ')).toStdString();
            if (rows == 1) {
                ++stored;
                const int fileId = count(QStringLiteral("SELECT Id FROM DOCUMENTFILE"));
                EXPECT_EQ(files, QStringList{QStringLiteral("File%1.f").arg(fileId)});
            }
            dm->ADOConnection1.close();
            if (finished)
                break;
        }
    }
    EXPECT_GT(stored, 0);
}

TEST_F(DocumentTest, HostileStoredNameNeverLeavesThePrivateFolder)
{
    const int id = newPerson("Dan");
    DocumentStore store(*dm, db::kOwnerPerson);
    store.OpenDocumentFiles(id);
    ChosenFile chosen = ReadChosenFile(file("note.txt", "contenu"));
    chosen.name = QStringLiteral("../../../escaped.txt");
    const int fileId = store.AttachFile(3, id, chosen);
    store.CloseDocumentFiles();
    const QString target = ExtractForViewing(filesDir() + QStringLiteral("File%1.f").arg(fileId), chosen.name);
    EXPECT_EQ(QFileInfo(target).absolutePath() + QLatin1Char('/'), DocumentTempDir());
    EXPECT_EQ(QFileInfo(target).fileName(), QStringLiteral("escaped.txt"));
    EXPECT_EQ(Sandbox::readFile(target), QByteArray("contenu"));
    EXPECT_FALSE(
        QFileInfo::exists(QFileInfo(DocumentTempDir() + QStringLiteral("../../../escaped.txt")).absoluteFilePath()));
}

TEST_F(DocumentTest, ImageDocumentsAddChangeViewRemove)
{
    const int id = newPerson("Eve");
    dm->People.Edit();
    QImage wide(300, 200, QImage::Format_RGB888);
    wide.fill(QColor(200, 40, 40));
    TEnterPeople dialog(dm->DSPeople, dm->People);
    DocumentsPage* page = dialog.documentsPage();
    dialog.findChild<QTabWidget*>(QStringLiteral("TabNoteBook"))->setCurrentWidget(page);
    prompt.setNextDialogHandler([&](QDialog* d) {
        auto* doc = qobject_cast<TEnterDocument*>(d);
        EXPECT_FALSE(d->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->isEnabled());
        doc->setTitle(QStringLiteral("Plan"));
        doc->setPicture(wide);
        doc->rotate(90);
        doc->rotate(270);
        EXPECT_TRUE(doc->ImageChanged);
        EXPECT_TRUE(d->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->isEnabled());
        EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("Lab_Image"))->text(), QStringLiteral("Image (300 x 200)"));
        return int(QDialog::Accepted);
    });
    page->Btn_Document_Img_AddClick();
    ASSERT_TRUE(prompt.messages().isEmpty()) << prompt.messages().first().text.toStdString();
    ASSERT_EQ(page->ListView_Document_Img->count(), 1);
    const int docId = page->ListView_Document_Img->item(0)->data(Qt::UserRole).toInt();
    const QString jpg = db::documentImageFile(docId);
    EXPECT_EQ(QImageReader(jpg).size(), QSize(300, 200));
    EXPECT_EQ(page->ListView_Document_Img->item(0)->icon().availableSizes().value(0), QSize(90, 90));

    // A changed title alone keeps the picture file as it was.
    const QByteArray before = Sandbox::readFile(jpg);
    page->ListView_Document_Img->setCurrentRow(0);
    prompt.setNextDialogHandler([](QDialog* d) {
        auto* doc = qobject_cast<TEnterDocument*>(d);
        EXPECT_EQ(doc->title(), QStringLiteral("Plan"));
        EXPECT_EQ(doc->picture().size(), QSize(300, 200));
        doc->setTitle(QStringLiteral("Plan B"));
        return int(QDialog::Accepted);
    });
    page->Btn_Document_Img_EditClick();
    EXPECT_EQ(page->ListView_Document_Img->item(0)->text(), QStringLiteral("Plan B"));
    EXPECT_EQ(Sandbox::readFile(jpg), before);

    // A project with the same Id never shows this person's documents.
    DocumentStore projects(*dm, db::kOwnerProject);
    projects.OpenDocumentImages(id);
    EXPECT_TRUE(dm->DocumentImg.IsEmpty());
    projects.CloseDocumentImages();

    prompt.setNextAnswer(ui::Answer::Yes);
    page->Btn_Document_Img_DeleteClick();
    EXPECT_EQ(page->ListView_Document_Img->count(), 0);
    EXPECT_FALSE(QFile::exists(jpg));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTIMG")), 0);
}

TEST_F(DocumentTest, RefusedPictureStoresNoRow)
{
    const int id = newPerson("Fay");
    DocumentStore store(*dm, db::kOwnerPerson);
    EXPECT_ANY_THROW(store.AddImage(id, QStringLiteral("vide"), QImage()));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTIMG")), 0);
    EXPECT_TRUE(QDir(core::globals().dataDir + QStringLiteral("Images/")).entryList(QDir::Files).isEmpty());
}

TEST_F(DocumentTest, DeletedPersonTakesItsDocumentsAlong)
{
    const int id = newPerson("Gus");
    const int other = newPerson("Hal");
    QImage picture(120, 80, QImage::Format_RGB888);
    picture.fill(Qt::darkGreen);
    DocumentStore store(*dm, db::kOwnerPerson);
    const int img1 = store.AddImage(id, QStringLiteral("un"), picture);
    const int img2 = store.AddImage(id, QStringLiteral("deux"), picture);
    const int kept = store.AddImage(other, QStringLiteral("autre"), picture);
    store.OpenDocumentFiles(id);
    const int f1 = store.AttachFile(3, id, ReadChosenFile(file("a.txt", "aaa")));
    store.CloseDocumentFiles();
    Sandbox::writeFile(db::personImageFile(id), "photo");
    dm->ADOConnection1.exec(QStringLiteral("INSERT INTO PLANNING (Id_File, Id_People, DatePlanning, AmPm) VALUES "
                                           "(3, ?, '2026-01-05', 1)"),
                            {id});
    dm->People.Close();
    dm->People.Open();
    ASSERT_TRUE(dm->People.Locate(QStringLiteral("Id"), id));
    dm->People.Delete();
    EXPECT_FALSE(QFile::exists(db::documentImageFile(img1)));
    EXPECT_FALSE(QFile::exists(db::documentImageFile(img2)));
    EXPECT_FALSE(QFile::exists(db::storedDocumentFile(f1)));
    EXPECT_FALSE(QFile::exists(db::personImageFile(id)));
    EXPECT_TRUE(QFile::exists(db::documentImageFile(kept)));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTIMG WHERE Id_Ref=%1").arg(id)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTFILE WHERE Id_Ref=%1").arg(id)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_People=%1").arg(id)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTIMG")), 1);
}

#include "DocumentTests.moc"
