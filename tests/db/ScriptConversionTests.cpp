#include "core/Clock.h"
#include "core/Globals.h"
#include "core/TextFile.h"
#include "db/UpdateLog.h"
#include "db/UpdateScript.h"
#include "images/ImageRoutines.h"

#include "DbFixture.h"

#include <QDir>
#include <QFile>
#include <QImage>

using testing_support::Sandbox;

namespace {

QStringList logMessages()
{
    QStringList out;
    for (const QString& l : core::readTextFile(db::UpdateLogPath()).value_or(QStringList()))
        out << (l.indexOf(QStringLiteral(" : ")) == 19 ? l.mid(22) : l);
    return out;
}

QByteArray bitmap(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    return images::BitmapFileBytes(image);
}

}  // namespace

class ConversionTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        core::globals().dataRoot = sandbox->root();
        core::setProgramDirectory(sandbox->programDir());
        core::globals().dataRoot = sandbox->root();
        core::globals().dataDir = dataDir;
    }

    void run(const QString& line)
    {
        QFile::remove(db::UpdateLogPath());
        Sandbox::writeFile(sandbox->root() + QStringLiteral("C.maj"), line.toUtf8() + "\r\n");
        db::RunScript(*connection, sandbox->root(), QStringLiteral("C.maj"), false, nullptr);
    }

    void addPerson(int id, const QVariant& picture, const char* column = "Img1")
    {
        connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id, Id_File, Name, %1) VALUES (?, 1, 'P', ?)")
                             .arg(QString::fromLatin1(column)),
                         {id, picture});
    }

    QByteArray pictureOf(int id, const char* column = "Img1")
    {
        return connection
            ->scalar(QStringLiteral("SELECT %1 FROM PEOPLE WHERE Id=?").arg(QString::fromLatin1(column)), {id})
            .value_or(QVariant())
            .toByteArray();
    }
};

TEST_F(ConversionTest, ExtractImageToJpegCopyThenMove)
{
    run(QStringLiteral("ExtractImageToJpeg('PEOPLE','Img1','People')"));
    EXPECT_EQ(logMessages().mid(0, 2),
              (QStringList{QStringLiteral("OPTIMISATION:Extraction des images au format jpeg de la table PEOPLE"),
                           QStringLiteral("Pas d'images dans la base")}));

    for (int id = 1; id <= 3; ++id)
        addPerson(id, bitmap(40, 30, Qt::red));
    addPerson(4, QVariant());
    const QString images = dataDir + QStringLiteral("Images/");
    // A photo already in the store is never replaced.
    Sandbox::writeFile(images + QStringLiteral("People3.jpg"), "kept");
    run(QStringLiteral("ExtractImageToJpegCopy('PEOPLE','Img1','People')"));
    QImage first;
    EXPECT_TRUE(first.load(images + QStringLiteral("People1.jpg"), "JPG"));
    EXPECT_EQ(first.size(), QSize(40, 30));
    EXPECT_TRUE(QFile::exists(images + QStringLiteral("People2.jpg")));
    EXPECT_EQ(Sandbox::readFile(images + QStringLiteral("People3.jpg")), QByteArray("kept"));
    EXPECT_FALSE(QFile::exists(images + QStringLiteral("People4.jpg")));
    EXPECT_FALSE(pictureOf(1).isEmpty());
    EXPECT_EQ(logMessages().value(1),
              QStringLiteral("Conversion de l'image : ") + images + QStringLiteral("People1.jpg"));
    EXPECT_EQ(logMessages().value(4), QString());  // closing text empty after pictures

    run(QStringLiteral("ExtractImageToJpeg('PEOPLE','Img1','People')"));
    for (int id = 1; id <= 3; ++id)
        EXPECT_TRUE(pictureOf(id).isNull()) << id;
    EXPECT_EQ(QDir(images).entryList({QStringLiteral("*.jpg")}).size(), 3);
}

TEST_F(ConversionTest, ExtractJpegImageWritesTheBytes)
{
    addPerson(7, QByteArray("\xff\xd8 not really"));
    run(QStringLiteral("ExtractJpegImage('PEOPLE','Img1','People')"));
    EXPECT_EQ(Sandbox::readFile(dataDir + QStringLiteral("Images/People7.jpg")), QByteArray("\xff\xd8 not really"));
    EXPECT_TRUE(pictureOf(7).isNull());
    EXPECT_EQ(logMessages().value(1),
              QStringLiteral("Extraction de l'image : ") + dataDir + QStringLiteral("Images/People7.jpg"));
}

TEST_F(ConversionTest, ResizeIntoWhiteBoxAndPlain)
{
    addPerson(1, bitmap(400, 300, Qt::red), "ImgMini1");
    addPerson(2, bitmap(400, 300, Qt::red), "ImgMini1");
    addPerson(3, QByteArray("not a bitmap"), "ImgMini1");
    const QString command =
        QStringLiteral("ResizeBitmapInDataBase:ResizeBitmapDataBaseInWhiteRect('PEOPLE','ImgMini1','105','105')");
    run(command);
    const QStringList log = logMessages();
    EXPECT_EQ(log.value(1), QStringLiteral("Redimensionnement de l'image : 1.jpg"));
    EXPECT_TRUE(log.value(4).startsWith(QStringLiteral(" (error : "))) << log.value(4).toStdString();
    // The failed command changed no row, so that it can run whole again.
    EXPECT_EQ(images::ImageFromBlob(pictureOf(1, "ImgMini1")).size(), QSize(400, 300));

    connection->exec(QStringLiteral("DELETE FROM PEOPLE WHERE Id=3"));
    run(command);
    const QImage boxed = images::ImageFromBlob(pictureOf(1, "ImgMini1"));
    ASSERT_EQ(boxed.size(), QSize(105, 105));
    EXPECT_EQ(boxed.pixelColor(52, 3), QColor(Qt::white));
    EXPECT_EQ(boxed.pixelColor(52, 52), QColor(Qt::red));
    EXPECT_EQ(boxed.pixelColor(2, 52), QColor(Qt::red));

    connection->exec(QStringLiteral("UPDATE PEOPLE SET ImgMini1=? WHERE Id=2"), {bitmap(400, 300, Qt::red)});
    run(QStringLiteral("ResizeBitmapInDataBase('PEOPLE','ImgMini1','105','105')"));
    EXPECT_EQ(images::ImageFromBlob(pictureOf(1, "ImgMini1")).size(), QSize(105, 105));  // already inside
    EXPECT_EQ(images::ImageFromBlob(pictureOf(2, "ImgMini1")).size().width(), 105);
    EXPECT_LT(images::ImageFromBlob(pictureOf(2, "ImgMini1")).size().height(), 105);
}

TEST_F(ConversionTest, BitmapBecomesJpegData)
{
    addPerson(5, bitmap(20, 10, Qt::blue));
    run(QStringLiteral("ConvertBitmapToJpegInDataBase('PEOPLE','Img1')"));
    const QByteArray data = pictureOf(5);
    EXPECT_TRUE(data.startsWith("\xff\xd8"));
    EXPECT_EQ(QImage::fromData(data, "JPG").size(), QSize(20, 10));
    EXPECT_FALSE(QFile::exists(dataDir + QStringLiteral("Images/temp.jpg")));
    EXPECT_EQ(logMessages().value(1), QStringLiteral("Conversion de l'image : 5.jpg"));
}

TEST_F(ConversionTest, QueryAndStatisticTrees)
{
    const QString program = sandbox->programDir();
    Sandbox::writeFile(program + QStringLiteral("Stat/StatTree.def"), "Planning;0\r\n\tCharge;1\r\n\tAbsente;1\r\n");
    Sandbox::writeFile(program + QStringLiteral("Stat/Charge.stq"), "SELECT Id_People\r\nFROM PLANNING\r\n");
    Sandbox::writeFile(program + QStringLiteral("Query/QueryTree.def"), "Listes;0\r\n\tPersonnes;1\r\n");
    Sandbox::writeFile(program + QStringLiteral("Query/Personnes.req"), "SELECT Name FROM PEOPLE, PEOPLE AS P2\r\n");

    run(QStringLiteral("ConvertStatScript{2009}"));
    EXPECT_EQ(logMessages().value(0), QStringLiteral("CONVERSION:Statistiques (Ok)"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM STAT_TREE")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM STAT_TREE WHERE NodeType=2 AND NodeLevel=1 AND NodePos=2 "
                                   "AND NodeTitle='Absente' AND Id_File=-1")),
              1);
    EXPECT_EQ(connection->scalar(QStringLiteral("SELECT Query FROM STAT_QUERY"))->toString(),
              QStringLiteral("SELECT Id_People\r\nFROM PLANNING{2009}\r\n"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM STAT_QUERY q JOIN STAT_TREE t ON t.Id=q.Id_Tree "
                                   "WHERE t.NodeTitle='Charge'")),
              1);

    run(QStringLiteral("ConvertQueryScript"));
    EXPECT_EQ(logMessages().value(0), QStringLiteral("CONVERSION:Requêtes (Ok)"));
    run(QStringLiteral("ReplaceStringInQueryScript('PEOPLE','PERSONNES')"));
    EXPECT_EQ(logMessages().value(0), QStringLiteral("MODIFICATION:Requêtes(PEOPLE) (Ok)"));
    EXPECT_EQ(connection->scalar(QStringLiteral("SELECT Query FROM SQL_QUERY"))->toString(),
              QStringLiteral("SELECT Name FROM PERSONNES, PERSONNES AS P2\r\n"));
    run(QStringLiteral("ReplaceStringInStatScript('PLANNING','PLANNING2')"));
    EXPECT_EQ(logMessages().value(0), QStringLiteral("MODIFICATION:Statistiques(PLANNING) (Ok)"));
    EXPECT_TRUE(connection->scalar(QStringLiteral("SELECT Query FROM STAT_QUERY"))
                    ->toString()
                    .contains(QStringLiteral("PLANNING2{2009}")));
}
